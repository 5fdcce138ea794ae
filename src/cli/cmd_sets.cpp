// tallowick-cli sets: the account sets, one name a line.
#include "cli/command.h"
#include "shell/set_list.h"

namespace tw::cli {

void addSetsCommand(Commands& commands) {
    commands.add(
        "sets", "列出全部套账", [](Options&) {},
        [](Context& c) {
            for (const auto& name : listAccountSets(c.dataDir)) c.out << name << "\n";
        });
}

}  // namespace tw::cli
