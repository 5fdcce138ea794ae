#pragma once
// The command-line companion: each command lives in its own file and adds
// itself to the parser through one registration function listed in
// commands.cpp. Commands call the same core operations as the windows.

#include <CLI/CLI.hpp>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <string>

#include "shell/session.h"
#include "storage/directory_lock.h"
#include "storage/outcome.h"

namespace tw::cli {

struct Context {
    std::string dataDirOption;      // --data-dir as given
    std::filesystem::path dataDir;  // resolved before a command runs (option, environment, default)
    std::ostream& out = std::cout;
    std::ostream& err = std::cerr;
    int exitCode = 0;
    DirectoryLock lock;                  // the account-set directory, held until the process ends
    std::unique_ptr<RecordStore> store;  // made once the directory is known
    Session session;                     // filled by the login of a set command

    // A refusal: the system's own message text on stderr, non-zero exit status.
    void refuse(const std::string& message, int code = 1) {
        err << message << "\n";
        exitCode = code;
    }
    // A refused outcome is printed as a refusal; a done one prints its message,
    // and its warning on stderr. A warning leaves the exit status 0: the
    // action is done, and a script that took a non-zero status for a failure
    // would do it a second time.
    bool report(const Outcome& outcome) {
        if (!outcome.ok) refuse(outcome.message);
        else if (!outcome.message.empty()) out << outcome.message << "\n";
        if (outcome.ok && !outcome.warning.empty()) err << outcome.warning << "\n";
        return outcome.ok;
    }
};

// Reads the date option `label` given as `text` into `day`: an empty text
// leaves `day` as it is; a text that names no date is refused. False then.
bool readDateOption(Context& c, const char* label, const std::string& text, double& day);

// Reads an amount option through the program's one amount reader
// (storage/amount_reader.h); a text it refuses is refused with its message.
// False then, and `amount` is left as it was.
bool readAmountOption(Context& c, const std::string& text, double& amount);

// Returns the subcommand `name` of `parent`, making it on first use (for
// command groups such as "set create" and "set delete").
CLI::App* group(CLI::App& parent, const std::string& name, const std::string& description);

// The exit status of a command refused because another process works on the
// account-set directory: it may be tried again later.
inline constexpr int kExitDirectoryInUse = 5;

// Registers one command: `body` runs when it is chosen on the command line,
// once this process holds the account-set directory and the start-up clean-up
// has run (shell/start_up.h); when another process holds it, or it cannot be
// taken at all, the command is refused with kDirectoryInUse and touches nothing.
void addCommand(CLI::App& parent, Context& ctx, const std::string& name,
                const std::string& description, const std::function<void(CLI::App&)>& options,
                const std::function<void(Context&)>& body);

// Every command of the program; defined in commands.cpp.
void registerCommands(CLI::App& app, Context& ctx);

}  // namespace tw::cli
