// tallowick-cli phrases SET --user U --password P: the summary-phrase library
// in table order, one phrase a line: category, tab, phrase. A category without
// phrases shows as its name and a tab.
#include "accounts/phrases.h"
#include "cli/set_login.h"

namespace tw::cli {

namespace {
struct PhrasesOptions {
    std::string set, user, password;
};
}  // namespace

void addPhrasesCommand(CLI::App& app, Context& ctx) {
    auto o = std::make_shared<PhrasesOptions>();
    addCommand(
        app, ctx, "phrases", "列出常用摘要",
        [o](CLI::App& sub) {
            sub.add_option("set", o->set, "套账名称")->required();
            sub.add_option("--user", o->user, "用户名");
            sub.add_option("--password", o->password, "密码");
        },
        [o](Context& c) {
            Session session;
            session.dataDir = c.dataDir;
            if (!logInForCommand(c, session.login, o->set, o->user, o->password)) return;
            RecordStore store(c.dataDir);
            const auto phrases = loadPhrases(store, session);
            if (!phrases) {
                c.refuse("无法读出套账数据！  请检查后重试！");
                return;
            }
            for (const Phrase& p : *phrases) {
                if (!p.category.empty()) {
                    c.out << p.category << '\t' << p.text << '\n';
                    continue;
                }
                bool hasPhrases = false;
                for (const Phrase& q : *phrases) hasPhrases = hasPhrases || q.category == p.text;
                if (!hasPhrases) c.out << p.text << '\t' << '\n';
            }
        });
}

}  // namespace tw::cli
