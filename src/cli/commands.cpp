#include "cli/command.h"

namespace tw::cli {

void addSetsCommand(Commands&);
void addTableCommand(Commands&);
void addSetCreateCommand(Commands&);
void addSetDeleteCommand(Commands&);
void addSetOptionCommand(Commands&);
void addUserAddCommand(Commands&);
void addPasswdCommand(Commands&);
void addBackupCommand(Commands&);
void addRestoreCommand(Commands&);
void addLoginCommand(Commands&);
void addAccountsCommand(Commands&);
void addAccountAddCommand(Commands&);
void addAccountDeleteCommand(Commands&);
void addOpeningSetCommand(Commands&);
void addOpeningEnableCommand(Commands&);
void addPhrasesCommand(Commands&);
void addVoucherAddCommand(Commands&);
void addVoucherDeleteCommand(Commands&);
void addVouchersCommand(Commands&);
void addVouchersSortCommand(Commands&);
void addReviewCommand(Commands&);
void addReviewAllCommand(Commands&);
void addLedgerCommand(Commands&);
void addVoucherPrintCommand(Commands&);
void addJournalCommand(Commands&);
void addJournalAddCommand(Commands&);
void addJournalImportCommand(Commands&);

void addStatusCommand(Commands&);
void addCheckCommand(Commands&);
void addPostCommand(Commands&);
void addUndoPostCommand(Commands&);
void addCloseCommand(Commands&);
void addUndoCloseCommand(Commands&);
void addCarryForwardCommands(Commands&);
void addReportCommand(Commands&);
void addSearchCommand(Commands&);
void addYearEndCommand(Commands&);
void addStatementsCommand(Commands&);
void addStatementRulesCommand(Commands&);
void addCashFlowCommand(Commands&);
void addCashFlowAssignCommand(Commands&);
void addCashFlowRulesCommand(Commands&);
void addBalancesCommand(Commands&);
void addLogCommand(Commands&);

void registerCommands(Commands& commands) {
    addSetsCommand(commands);
    addTableCommand(commands);
    addSetCreateCommand(commands);
    addSetDeleteCommand(commands);
    addSetOptionCommand(commands);
    addUserAddCommand(commands);
    addPasswdCommand(commands);
    addBackupCommand(commands);
    addRestoreCommand(commands);
    addLogCommand(commands);
    addLoginCommand(commands);
    addAccountsCommand(commands);
    addAccountAddCommand(commands);
    addAccountDeleteCommand(commands);
    addOpeningSetCommand(commands);
    addOpeningEnableCommand(commands);
    addPhrasesCommand(commands);
    addStatusCommand(commands);
    addCheckCommand(commands);
    addPostCommand(commands);
    addUndoPostCommand(commands);
    addCloseCommand(commands);
    addUndoCloseCommand(commands);
    addCarryForwardCommands(commands);
    addYearEndCommand(commands);  // after carry-forward: it is in its group
    addReportCommand(commands);
    addStatementsCommand(commands);
    addStatementRulesCommand(commands);
    addCashFlowCommand(commands);
    addCashFlowAssignCommand(commands);  // after cash-flow: it is its subcommand
    addCashFlowRulesCommand(commands);
    addBalancesCommand(commands);
    addSearchCommand(commands);
    addVoucherAddCommand(commands);
    addVoucherDeleteCommand(commands);
    addVouchersCommand(commands);
    addVouchersSortCommand(commands);  // after vouchers: it is its subcommand
    addReviewCommand(commands);
    addReviewAllCommand(commands);
    addLedgerCommand(commands);
    addVoucherPrintCommand(commands);
    addJournalCommand(commands);
    addJournalAddCommand(commands);  // after journal: it is its subcommand
    addJournalImportCommand(commands);  // so is this
}

}  // namespace tw::cli
