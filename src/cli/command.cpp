#include "cli/command.h"

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

bool readAmountOption(Context& c, const std::string& text, double& amount) {
    const std::string refusal = readAmount(text, amount);
    if (!refusal.empty()) c.refuse(refusal);
    return refusal.empty();
}

CLI::App* group(CLI::App& parent, const std::string& name, const std::string& description) {
    for (CLI::App* sub : parent.get_subcommands([](CLI::App*) { return true; }))
        if (sub->get_name() == name) return sub;
    CLI::App* g = parent.add_subcommand(name, description);
    g->require_subcommand(1);
    return g;
}

void addCommand(CLI::App& parent, Context& ctx, const std::string& name,
                const std::string& description, const std::function<void(CLI::App&)>& options,
                const std::function<void(Context&)>& body) {
    CLI::App* sub = parent.add_subcommand(name, description);
    options(*sub);
    sub->callback([&ctx, body] {
        try {
            ctx.dataDir = ctx.dataDirOption.empty() ? defaultDataDir()
                                                    : std::filesystem::path(ctx.dataDirOption);
            ctx.lock = startUp(ctx.dataDir);
            if (ctx.lock.refused()) {
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
    });
}

}  // namespace tw::cli
