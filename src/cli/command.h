#pragma once
// The command-line companion: each command lives in its own file and adds
// itself through one registration function listed in commands.cpp. Commands
// call the same core operations as the windows. They describe their options
// through Commands, Options and Option below; only command.cpp knows the
// parser library (CLI11, header-only and costly to compile in every file).

#include <cstdint>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "shell/session.h"
#include "shell/set_lock.h"
#include "storage/dates.h"
#include "storage/directory_lock.h"
#include "storage/outcome.h"

namespace tw::cli {

// The exit status of a command refused because another process works on its
// set, or on the account-set directory: it may be tried again later.
inline constexpr int kExitDirectoryInUse = 5;

struct Context {
    std::string dataDirOption;      // --data-dir as given
    std::filesystem::path dataDir;  // resolved before a command runs (option, environment, default)
    std::ostream& out = std::cout;
    std::ostream& err = std::cerr;
    int exitCode = 0;
    // Filled by the login of a set command, with the set's lock: let go of
    // after the store below has closed the set's tables.
    Session session;
    std::unique_ptr<RecordStore> store;  // made once the directory is known

    // A refusal: the system's own message text on stderr, non-zero exit status.
    void refuse(const std::string& message, int code = 1) {
        err << message << "\n";
        exitCode = code;
    }
    // A refused outcome is printed as a refusal (with kExitDirectoryInUse when
    // another process has the set or the directory); a done one prints its
    // message, and its warning on stderr. A warning leaves the exit status 0:
    // the action is done, and a script that took a non-zero status for a
    // failure would do it a second time.
    bool report(const Outcome& outcome) {
        if (!outcome.ok) refuse(outcome.message, outcome.kind == &kInUse ? kExitDirectoryInUse : 1);
        else if (!outcome.message.empty()) out << outcome.message << "\n";
        if (outcome.ok && !outcome.warning.empty()) err << outcome.warning << "\n";
        return outcome.ok;
    }
};

// Reads the date option `label` given as `text` into `day`: an empty text
// leaves `day` as it is; a text that names no date is refused. False then.
bool readDateOption(Context& c, const char* label, const std::string& text, double& day);

// Reads the month option `text` (YYYY-MM) into `month`: an empty text leaves
// `month` as it is; any other text that names no month is refused
// ("月份应写成 YYYY-MM：…"). False then.
bool readMonthOption(Context& c, const std::string& text, YearMonth& month);

// Reads an amount option through the program's one amount reader
// (storage/amount_reader.h); a text it refuses is refused with its message.
// False then, and `amount` is left as it was.
bool readAmountOption(Context& c, const std::string& text, double& amount);

// One option of a command, as added to its Options.
class Option {
public:
    virtual Option& required() = 0;                                // must be given
    virtual Option& excludes(Option& other) = 0;                   // never with `other`
    virtual Option& oneOf(const std::vector<std::string>& values) = 0;  // only these texts

protected:
    ~Option() = default;
};

// The options of one command. A name with dashes ("--user") is an option,
// one without ("set") a positional argument, in the order added. A given
// value is written into `into`; a vector takes every occurrence.
class Options {
public:
    virtual Option& add(const std::string& name, std::string& into, const std::string& help) = 0;
    virtual Option& add(const std::string& name, std::optional<std::string>& into,
                        const std::string& help) = 0;
    virtual Option& add(const std::string& name, std::vector<std::string>& into,
                        const std::string& help) = 0;
    virtual Option& add(const std::string& name, int& into, const std::string& help) = 0;
    virtual Option& add(const std::string& name, std::int64_t& into, const std::string& help) = 0;
    virtual Option& add(const std::string& name, double& into, const std::string& help) = 0;
    // A switch without a value ("--undo").
    virtual void flag(const std::string& name, bool& into, const std::string& help) = 0;

protected:
    ~Options() = default;
};

// Where commands register themselves: the program's top level, or a group of
// commands ("set create", "set delete"; also "journal add" under the command
// "journal").
class Commands {
public:
    // Adds the command `name`: `options` describes its options; `body` runs
    // when it is chosen on the command line, once the start-up clean-up has
    // run (startup/start_up.h); when the directory cannot be locked at all,
    // the command is refused with kDirectoryInUse and touches nothing. A
    // command of a set takes the set's lock with its login (set_login.h). A
    // command with commands under it runs only when none of them is chosen.
    virtual void add(const std::string& name, const std::string& description,
                     const std::function<void(Options&)>& options,
                     const std::function<void(Context&)>& body) = 0;
    // The group (or command) `name` at this level, made on first use as a
    // group that needs one of its commands.
    virtual Commands& in(const std::string& name, const std::string& description) = 0;

protected:
    ~Commands() = default;
};

// Every command of the program; defined in commands.cpp.
void registerCommands(Commands& commands);

// Parses the command line and runs the chosen command; returns the process's
// exit status.
int runCommandLine(int argc, char** argv);

}  // namespace tw::cli
