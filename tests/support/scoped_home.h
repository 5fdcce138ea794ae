#pragma once
// HOME pointed at a folder of the test's own while the object lives, then put
// back: for commands that write into the home folder by default (report
// without --out), run from a test, which must not write into the real one.
// Commands started meanwhile (popen, spawn) inherit it.

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace tw::test {

class ScopedHome {
public:
    explicit ScopedHome(const std::filesystem::path& home) {
        if (const char* was = std::getenv("HOME")) earlier_ = was;
        ::setenv("HOME", home.c_str(), 1);
    }
    ~ScopedHome() {
        if (earlier_) ::setenv("HOME", earlier_->c_str(), 1);
        else ::unsetenv("HOME");
    }
    ScopedHome(const ScopedHome&) = delete;
    ScopedHome& operator=(const ScopedHome&) = delete;

private:
    std::optional<std::string> earlier_;
};

}  // namespace tw::test
