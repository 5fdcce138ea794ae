#include "cli/command.h"

#include <CLI/CLI.hpp>
#include <clocale>
#include <deque>
#include <set>

#include "startup/start_up.h"
#include "storage/amount_reader.h"
#include "storage/dates.h"
#include "storage/paths.h"
#include "storage/record_store.h"

namespace tw::cli {

bool readDateOption(Context& c, const char* label, const std::string& text, double& day) {
    if (text.empty() || parseDate(text, day)) return true;
    c.refuse(std::string(label) + " 不是有效的日期：" + text);
    return false;
}

bool readMonthOption(Context& c, const std::string& text, YearMonth& month) {
    if (text.empty() || parseYearMonth(text, month)) return true;
    c.refuse("月份应写成 YYYY-MM：" + text);
    return false;
}

bool readAmountOption(Context& c, const std::string& text, double& amount) {
    const std::string refusal = readAmount(text, amount);
    if (!refusal.empty()) c.refuse(refusal);
    return refusal.empty();
}

namespace {

// Runs `body` for the chosen command: the start-up clean-up done (the
// directory lock let go of again), every failure turned into a refusal with
// its exit status.
void runCommand(Context& ctx, const std::function<void(Context&)>& body) {
    try {
        ctx.dataDir = ctx.dataDirOption.empty() ? defaultDataDir()
                                                : std::filesystem::path(ctx.dataDirOption);
        if (startUp(ctx.dataDir).state() == DirectoryLock::State::Unavailable) {
            ctx.refuse(kDirectoryInUse, kExitDirectoryInUse);
            return;
        }
        ctx.store = std::make_unique<RecordStore>(ctx.dataDir);
        ctx.session.dataDir = ctx.dataDir;
        body(ctx);
    } catch (const Refusal& e) {
        ctx.refuse(e.message(), 1);
    } catch (const StoreError& e) {
        ctx.refuse(e.userMessage(), 3);
    } catch (const std::exception& e) {
        ctx.refuse(std::string("程序内部错误，操作未完成：") + e.what(), 4);
    }
}

class CliOption final : public Option {
public:
    explicit CliOption(CLI::Option* option) : m_option(option) {}
    Option& required() override {
        m_option->required();
        return *this;
    }
    Option& excludes(Option& other) override {
        m_option->excludes(static_cast<CliOption&>(other).m_option);
        return *this;
    }
    Option& oneOf(const std::vector<std::string>& values) override {
        m_option->check(CLI::IsMember(values));
        return *this;
    }

private:
    CLI::Option* m_option;
};

class CliOptions final : public Options {
public:
    explicit CliOptions(CLI::App& app) : m_app(app) {}
    Option& add(const std::string& name, std::string& into, const std::string& help) override {
        return keep(m_app.add_option(name, into, help));
    }
    Option& add(const std::string& name, std::optional<std::string>& into,
                const std::string& help) override {
        return keep(m_app.add_option(name, into, help));
    }
    Option& add(const std::string& name, std::vector<std::string>& into,
                const std::string& help) override {
        return keep(m_app.add_option(name, into, help));
    }
    Option& add(const std::string& name, int& into, const std::string& help) override {
        return keep(m_app.add_option(name, into, help));
    }
    Option& add(const std::string& name, std::int64_t& into, const std::string& help) override {
        return keep(m_app.add_option(name, into, help));
    }
    Option& add(const std::string& name, double& into, const std::string& help) override {
        return keep(m_app.add_option(name, into, help));
    }
    void flag(const std::string& name, bool& into, const std::string& help) override {
        m_app.add_flag(name, into, help);
    }

private:
    Option& keep(CLI::Option* option) { return m_options.emplace_back(option); }

    CLI::App& m_app;
    std::deque<CliOption> m_options;  // handles stay where they are while options are added
};

class CliCommands final : public Commands {
public:
    CliCommands(CLI::App& app, Context& ctx) : m_app(app), m_ctx(ctx) {}

    void add(const std::string& name, const std::string& description,
             const std::function<void(Options&)>& options,
             const std::function<void(Context&)>& body) override {
        CLI::App* sub = m_app.add_subcommand(name, description);
        CliOptions described(*sub);
        options(described);
        Context& ctx = m_ctx;
        sub->callback([&ctx, body] { runCommand(ctx, body); });
        // A command under a command: when it is chosen, the one above does not run.
        if (m_isCommand) {
            CLI::App* above = &m_app;
            sub->preparse_callback([above](std::size_t) { above->callback(nullptr); });
        }
        m_commandNames.insert(name);
    }

    Commands& in(const std::string& name, const std::string& description) override {
        for (const auto& child : m_children)
            if (child->m_app.get_name() == name) return *child;
        CLI::App* sub = nullptr;
        for (CLI::App* existing : m_app.get_subcommands([](CLI::App*) { return true; }))
            if (existing->get_name() == name) sub = existing;
        const bool isCommand = sub != nullptr && m_commandNames.count(name) > 0;
        if (!sub) {
            sub = m_app.add_subcommand(name, description);
            sub->require_subcommand(1);
        }
        auto& child = m_children.emplace_back(std::make_unique<CliCommands>(*sub, m_ctx));
        child->m_isCommand = isCommand;
        return *child;
    }

private:
    CLI::App& m_app;
    Context& m_ctx;
    bool m_isCommand = false;  // m_app is a command itself, not only a group
    std::set<std::string> m_commandNames;
    std::vector<std::unique_ptr<CliCommands>> m_children;
};

}  // namespace

int runCommandLine(int argc, char** argv) {
    std::setlocale(LC_ALL, "C.UTF-8");
    Context ctx;
    CLI::App app{"Tallowick 账务处理 命令行工具", "tallowick-cli"};
    app.require_subcommand(1);
    app.add_option("--data-dir", ctx.dataDirOption, "套账目录 (默认同主程序)");
    CliCommands commands(app, ctx);
    registerCommands(commands);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e);
    }
    return ctx.exitCode;
}

}  // namespace tw::cli
