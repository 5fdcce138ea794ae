#pragma once
// Runs tallowick-cli as a user would from a shell and collects what it prints.

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/built_programs.h"

namespace tw::test {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string shellQuoted(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// `tallowick-cli --data-dir DIR ARGS...`
inline CliResult runCli(const std::filesystem::path& dataDir, const std::vector<std::string>& args) {
    const auto errFile = std::filesystem::temp_directory_path() /
                         ("tallowick-cli-err-" + std::to_string(::getpid()));
    std::string cmd = shellQuoted(kCliPath) + " --data-dir " + shellQuoted(dataDir.string());
    for (const auto& a : args) cmd += " " + shellQuoted(a);
    cmd += " 2>" + shellQuoted(errFile.string()) + " </dev/null";
    CliResult r;
    if (FILE* p = ::popen(cmd.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
        const int st = ::pclose(p);
        r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    }
    std::ifstream in(errFile);
    std::stringstream ss;
    ss << in.rdbuf();
    r.err = ss.str();
    std::filesystem::remove(errFile);
    return r;
}

// 月编号 第几/共几 of each page `vouchers` printed, in its order: "30001 1/2;30001 2/2;".
inline std::string listedPages(const std::string& vouchersOut) {
    std::string shown;
    std::istringstream lines(vouchersOut);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string n, k, c;
        std::getline(fields, n, '\t');
        std::getline(fields, k, '\t');
        std::getline(fields, c, '\t');
        shown += n + " " + k + "/" + c + ";";
    }
    return shown;
}

}  // namespace tw::test
