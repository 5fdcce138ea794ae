#pragma once
// Starts real programs side by side (the CLI, the desktop program) and waits
// for them: for tests of what two processes do to one account-set directory.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace tw::test {

struct Started {
    pid_t pid = -1;
    std::filesystem::path out, err;  // where its output goes
};

struct Finished {
    int status = -1;  // exit status; -1 when killed by a signal
    std::string out, err;
};

// Starts `argv` without waiting, with `env` ("NAME=value") added to this
// process's environment; stdin is /dev/null, stdout and stderr go to files
// in `outputDir` named after `tag`.
inline Started startProcess(const std::vector<std::string>& argv,
                            const std::vector<std::string>& env,
                            const std::filesystem::path& outputDir, const std::string& tag) {
    Started s;
    s.out = outputDir / (tag + ".out");
    s.err = outputDir / (tag + ".err");
    std::vector<std::string> envText = env;
    for (char** e = environ; *e; ++e) envText.emplace_back(*e);
    std::vector<char*> args, envp;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (const auto& e : envText) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, s.out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, s.err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (posix_spawn(&s.pid, args[0], &actions, nullptr, args.data(), envp.data()) != 0) s.pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return s;
}

// The same through fork and exec, with `inChild` run in the child first (a
// limit on file sizes, another user): for what posix_spawn cannot set up.
inline Started startProcessWith(const std::vector<std::string>& argv,
                                const std::vector<std::string>& env,
                                const std::filesystem::path& outputDir, const std::string& tag,
                                const std::function<void()>& inChild) {
    Started s;
    s.out = outputDir / (tag + ".out");
    s.err = outputDir / (tag + ".err");
    std::vector<std::string> envText = env;
    for (char** e = environ; *e; ++e) envText.emplace_back(*e);
    std::vector<char*> args, envp;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (const auto& e : envText) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    s.pid = ::fork();
    if (s.pid == 0) {
        const int in = ::open("/dev/null", O_RDONLY);
        const int out = ::open(s.out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        const int err = ::open(s.err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (in < 0 || out < 0 || err < 0) ::_exit(126);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        inChild();
        ::execve(args[0], args.data(), envp.data());
        ::_exit(127);
    }
    return s;
}

inline std::string fileText(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline Finished waitProcess(const Started& s) {
    Finished f;
    int status = 0;
    if (s.pid > 0 && ::waitpid(s.pid, &status, 0) == s.pid && WIFEXITED(status))
        f.status = WEXITSTATUS(status);
    f.out = fileText(s.out);
    f.err = fileText(s.err);
    return f;
}

}  // namespace tw::test
