#pragma once
// What is printed in a PDF, read back with poppler's pdftotext (and its
// title with pdfinfo), for tests that check a written PDF by its texts.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/cli_runner.h"

namespace tw::test {

// What the shell command `cmd` prints on its standard output; empty when it
// cannot be started.
inline std::string commandOutput(const std::string& cmd) {
    std::string text;
    if (FILE* p = ::popen(cmd.c_str(), "r")) {
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) text.append(buf, n);
        ::pclose(p);
    }
    return text;
}

// The text of a PDF as laid out on its pages (pdftotext -layout), the pages
// separated by form feeds; empty when it cannot be read.
inline std::string pdfText(const std::filesystem::path& pdf) {
    return commandOutput("pdftotext -layout " + shellQuoted(pdf.string()) + " - 2>/dev/null");
}

// The text of each page of a PDF (pdfText split at its form feeds), in order.
inline std::vector<std::string> pdfPages(const std::filesystem::path& pdf) {
    std::vector<std::string> pages;
    const std::string text = pdfText(pdf);
    for (std::size_t at = 0, next = 0; at < text.size(); at = next + 1) {
        next = text.find('\f', at);
        if (next == std::string::npos) next = text.size();
        pages.push_back(text.substr(at, next - at));
    }
    return pages;
}

// What pdfinfo says of a PDF: its title, page count and the rest; empty when
// it cannot be read.
inline std::string pdfInfo(const std::filesystem::path& pdf) {
    return commandOutput("pdfinfo " + shellQuoted(pdf.string()) + " 2>/dev/null");
}

}  // namespace tw::test
