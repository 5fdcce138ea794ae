#pragma once
// What the statement commands (statements, cash-flow) share: the month or
// quarter asked for by --year with --month or --quarter, and a statement
// printed as rows.

#include "cli/command.h"
#include "statements/statement.h"

namespace tw::cli {

struct PeriodOptions {
    int year = 0;
    int month = 0;
    int quarter = 0;
};

// Adds --year, --month and --quarter (never both of the last two).
// `yearRequired` false: the command checks --year itself (a command with
// commands under it, which share its options).
void addPeriodOptions(Options& sub, PeriodOptions& options, bool yearRequired = true);

// Refuses a command given neither --month nor --quarter: false then.
bool requirePeriod(Context& c, const PeriodOptions& options);

// The period asked for; refuses (Refusal, kBadQuarter) a quarter outside 1..4.
StatementPeriod periodOf(const PeriodOptions& options);

// A heading line (the statement's name, its date, the two column heads),
// then a line a numbered row: 行次, 项目 (without the form's indentation),
// the two amounts (two decimals, empty when zero), tab-separated; then each
// notice as a line starting with "注：".
void printStatement(Context& c, const Statement& s);

}  // namespace tw::cli
