#include "cli/command.h"

namespace tw::cli {

void addSetsCommand(CLI::App&, Context&);
void addTableCommand(CLI::App&, Context&);
void addSetCreateCommand(CLI::App&, Context&);
void addSetDeleteCommand(CLI::App&, Context&);
void addUserAddCommand(CLI::App&, Context&);
void addPasswdCommand(CLI::App&, Context&);
void addBackupCommand(CLI::App&, Context&);
void addRestoreCommand(CLI::App&, Context&);
void addLoginCommand(CLI::App&, Context&);
void addAccountsCommand(CLI::App&, Context&);
void addAccountAddCommand(CLI::App&, Context&);
void addAccountDeleteCommand(CLI::App&, Context&);
void addOpeningSetCommand(CLI::App&, Context&);
void addOpeningEnableCommand(CLI::App&, Context&);
void addPhrasesCommand(CLI::App&, Context&);
void addVoucherAddCommand(CLI::App&, Context&);
void addVoucherDeleteCommand(CLI::App&, Context&);
void addVouchersCommand(CLI::App&, Context&);
void addVouchersSortCommand(CLI::App&, Context&);
void addReviewCommand(CLI::App&, Context&);
void addReviewAllCommand(CLI::App&, Context&);
void addLedgerCommand(CLI::App&, Context&);
void addVoucherPrintCommand(CLI::App&, Context&);
void addJournalCommand(CLI::App&, Context&);
void addJournalAddCommand(CLI::App&, Context&);

void addStatusCommand(CLI::App&, Context&);
void addCheckCommand(CLI::App&, Context&);
void addPostCommand(CLI::App&, Context&);
void addUndoPostCommand(CLI::App&, Context&);
void addCloseCommand(CLI::App&, Context&);
void addUndoCloseCommand(CLI::App&, Context&);
void addCarryForwardCommands(CLI::App&, Context&);
void addReportCommand(CLI::App&, Context&);
void addSearchCommand(CLI::App&, Context&);
void addYearEndCommand(CLI::App&, Context&);
void addStatementsCommand(CLI::App&, Context&);
void addStatementRulesCommand(CLI::App&, Context&);
void addBalancesCommand(CLI::App&, Context&);

void registerCommands(CLI::App& app, Context& ctx) {
    addSetsCommand(app, ctx);
    addTableCommand(app, ctx);
    addSetCreateCommand(app, ctx);
    addSetDeleteCommand(app, ctx);
    addUserAddCommand(app, ctx);
    addPasswdCommand(app, ctx);
    addBackupCommand(app, ctx);
    addRestoreCommand(app, ctx);
    addLoginCommand(app, ctx);
    addAccountsCommand(app, ctx);
    addAccountAddCommand(app, ctx);
    addAccountDeleteCommand(app, ctx);
    addOpeningSetCommand(app, ctx);
    addOpeningEnableCommand(app, ctx);
    addPhrasesCommand(app, ctx);
    addStatusCommand(app, ctx);
    addCheckCommand(app, ctx);
    addPostCommand(app, ctx);
    addUndoPostCommand(app, ctx);
    addCloseCommand(app, ctx);
    addUndoCloseCommand(app, ctx);
    addCarryForwardCommands(app, ctx);
    addYearEndCommand(app, ctx);  // after carry-forward: it is in its group
    addReportCommand(app, ctx);
    addStatementsCommand(app, ctx);
    addStatementRulesCommand(app, ctx);
    addBalancesCommand(app, ctx);
    addSearchCommand(app, ctx);
    addVoucherAddCommand(app, ctx);
    addVoucherDeleteCommand(app, ctx);
    addVouchersCommand(app, ctx);
    addVouchersSortCommand(app, ctx);  // after vouchers: it is its subcommand
    addReviewCommand(app, ctx);
    addReviewAllCommand(app, ctx);
    addLedgerCommand(app, ctx);
    addVoucherPrintCommand(app, ctx);
    addJournalCommand(app, ctx);
    addJournalAddCommand(app, ctx);  // after journal: it is its subcommand
}

}  // namespace tw::cli
