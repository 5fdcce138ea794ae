// tallowick-cli phrases SET --user U --password P: the summary-phrase library
// in table order, one phrase a line: category, tab, phrase. A category without
// phrases shows as its name and a tab.
#include "accounts/phrases.h"
#include "cli/set_login.h"

namespace tw::cli {

namespace {
struct PhrasesOptions : SetLogin {};
}  // namespace

void addPhrasesCommand(Commands& commands) {
    auto o = std::make_shared<PhrasesOptions>();
    commands.add(
        "phrases", "列出常用摘要", [o](Options& sub) { addSetLoginOptions(sub, *o); },
        [o](Context& c) {
            if (!logInForCommand(c, *o)) return;
            const auto phrases = loadPhrases(*c.store, c.session);
            for (const Phrase& p : phrases) {
                if (!p.category.empty()) {
                    c.out << p.category << '\t' << p.text << '\n';
                    continue;
                }
                bool hasPhrases = false;
                for (const Phrase& q : phrases) hasPhrases = hasPhrases || q.category == p.text;
                if (!hasPhrases) c.out << p.text << '\t' << '\n';
            }
        });
}

}  // namespace tw::cli
