#pragma once
// Reading the check's findings in tests.

#include <algorithm>
#include <string>
#include <vector>

namespace tw::test {

// The findings as one text, a finding a line, for readable failures.
inline std::string lines(const std::vector<std::string>& findings) {
    std::string text;
    for (const std::string& f : findings) text += f + "\n";
    return text;
}
inline bool has(const std::vector<std::string>& findings, const std::string& finding) {
    return std::find(findings.begin(), findings.end(), finding) != findings.end();
}
inline bool hasPart(const std::vector<std::string>& findings, const std::string& part) {
    return std::any_of(findings.begin(), findings.end(),
                       [&](const std::string& f) { return f.find(part) != std::string::npos; });
}

}  // namespace tw::test
