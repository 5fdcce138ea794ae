#include "storage/schemas.h"

namespace tw {

namespace {
constexpr int kNameLength = 100;     // user, company and set names
constexpr int kAccountLength = 255;  // full account names
constexpr int kTextLength = 255;
constexpr FieldType T = FieldType::Text, D = FieldType::Double, I = FieldType::Int32,
                    B = FieldType::Byte, L = FieldType::Boolean, DT = FieldType::DateTime;
}  // namespace

namespace field {
std::string lineSummary(int line) { return "摘要" + std::to_string(line); }
std::string lineAccount(int line) { return "科目" + std::to_string(line); }
std::string lineDebit(int line) { return "借方金额" + std::to_string(line); }
std::string lineCredit(int line) { return "贷方金额" + std::to_string(line); }
const std::vector<std::string>& lineAccounts() {
    static const std::vector<std::string> a{lineAccount(1), lineAccount(2), lineAccount(3),
                                            lineAccount(4)};
    return a;
}
}  // namespace field

const Schema& basicInfoSchema() {
    static const Schema s{{field::kCompany, T, 100},
                          {field::kStartDate, DT},
                          {field::kSetPassword, T, 100},
                          {field::kEnabled, L},
                          {field::kPeriod, DT}};
    return s;
}

const Schema& usersSchema() {
    static const Schema s{
        // 密码 holds an Argon2id hash string (crypto_pwhash_STRBYTES); the typed
        // password itself is limited to 20 GBK bytes where it is entered.
        {field::kUserName, T, kNameLength}, {field::kPassword, T, 128}, {field::kPermission, B}};
    return s;
}

const Schema& accountsSchema() {
    static const Schema s{{field::kAccountName, T, kAccountLength},
                          {field::kParent, T, kAccountLength},
                          {field::kCategory, T, 10},
                          {field::kDirection, T, 10},
                          {field::kAccountEnabled, T, 10},
                          {field::kLevel, I}};
    return s;
}

const Schema& vouchersSchema() {
    static const Schema s = [] {
        using namespace field;
        Schema v{{kKind, T, 20}, {kMonthNumber, D}, {kPage, I}, {kPageCount, I}, {kDate, DT}};
        for (int i = 1; i <= 4; ++i) v.push_back({lineSummary(i), T, kTextLength});
        for (int i = 1; i <= 4; ++i) v.push_back({lineAccount(i), T, kAccountLength});
        for (int i = 1; i <= 4; ++i) v.push_back({lineDebit(i), D});
        for (int i = 1; i <= 4; ++i) v.push_back({lineCredit(i), D});
        v.push_back({kDebitTotal, D});
        v.push_back({kCreditTotal, D});
        v.push_back({kAttachments, I});
        v.push_back({kPrintDate, DT});
        v.push_back({kRemark, T, kTextLength});
        v.push_back({kPreparer, T, kNameLength});
        v.push_back({kReviewer, T, kNameLength});
        v.push_back({kPoster, T, kNameLength});
        return v;
    }();
    return s;
}

const Schema& ledgerSchema() {
    static const Schema s{{field::kVoucherDate, DT},      {field::kVoucherNo, I},
                          {field::kSummary, T, kTextLength}, {field::kAccount, T, kAccountLength},
                          {field::kDebit, D},             {field::kCredit, D},
                          {field::kBalanceSide, T, 10},   {field::kBalance, D},
                          {field::kSpare, T, kTextLength}};
    return s;
}

const Schema& balancesSchema() {
    static const Schema s{{field::kAccount, T, kAccountLength},
                          {field::kDebit, D},
                          {field::kCredit, D},
                          {field::kBalanceSide, T, 10},
                          {field::kBalance, D}};
    return s;
}

const Schema& journalSchema() {
    static const Schema s{{field::kDate, DT},
                          {field::kAccount, T, kAccountLength},
                          {field::kJournalKind, T, 10},
                          {field::kAmount, D},
                          {field::kBalance, D},
                          {field::kPreparer, T, kNameLength},
                          {field::kSummary, T, kTextLength},
                          {field::kCounterAccount, T, kAccountLength}};
    return s;
}

const Schema& carryForwardSchema() {
    static const Schema s{{field::kFromAccount, T, kAccountLength},
                          {field::kToAccount, T, kAccountLength}};
    return s;
}

const Schema& phrasesSchema() {
    static const Schema s{{field::kPhrase, T, kTextLength}, {field::kPhraseCategory, T, kTextLength}};
    return s;
}

const Schema& reportScratchSchema() {
    static const Schema s{{field::kAccount, T, kAccountLength}, {field::kDebit, D},
                          {field::kCredit, D}};
    return s;
}

const Schema& setOptionsSchema() {
    static const Schema s{{field::kOptionName, T, kNameLength}, {field::kOptionValue, T, kTextLength}};
    return s;
}

const Schema& actionLogSchema() {
    static const Schema s{{field::kLogTime, DT},
                          {field::kUserName, T, kNameLength},
                          {field::kLogAction, T, 20},
                          {field::kLogDetail, T, kTextLength}};
    return s;
}

const Schema& accountCodesSchema() {
    static const Schema s{{field::kAccountCode, T, 40}, {field::kAccountName, T, kAccountLength}};
    return s;
}

const Schema& cashFlowAssignmentsSchema() {
    static const Schema s{{field::kVoucherDate, DT},
                          {field::kMonthNumber, D},
                          {field::kStatementLine, I},
                          {field::kAmount, D}};
    return s;
}

const Schema* schemaOfFile(const std::string& name) {
    static const std::pair<const char*, const Schema& (*)()> kFiles[] = {
        {file::kBasicInfo, basicInfoSchema},     {file::kUsers, usersSchema},
        {file::kAccounts, accountsSchema},       {file::kVouchers, vouchersSchema},
        {file::kSortedVouchers, vouchersSchema}, {file::kLedger, ledgerSchema},
        {file::kGeneralLedger, ledgerSchema},    {file::kGeneralLedgerTemp, ledgerSchema},
        {file::kOpening, ledgerSchema},          {file::kJournal, journalSchema},
        {file::kBalances, balancesSchema},       {file::kCarryForward, carryForwardSchema},
        {file::kPhrases, phrasesSchema},         {file::kReportScratch, reportScratchSchema},
        {file::kSetOptions, setOptionsSchema},   {file::kActionLog, actionLogSchema},
        {file::kAccountCodes, accountCodesSchema},
        {file::kCashFlowAssignments, cashFlowAssignmentsSchema},
    };
    for (const auto& [file, schema] : kFiles)
        if (name == file) return &schema();
    return nullptr;
}

std::vector<std::vector<std::string>> tableIndexes(const std::string& fileName) {
    using I = std::vector<std::vector<std::string>>;
    const std::string name = fileName;
    // The ledger layout: an account's rows between two dates, a month's rows.
    if (name == file::kLedger || name == file::kGeneralLedger || name == file::kGeneralLedgerTemp ||
        name == file::kOpening)
        return I{{field::kAccount, field::kVoucherDate}, {field::kVoucherDate}};
    // A month's vouchers; the vouchers that name an account.
    if (name == file::kVouchers || name == file::kSortedVouchers)
        return I{{field::kDate, field::kMonthNumber}, {field::lineAccount(1)},
                 {field::lineAccount(2)}, {field::lineAccount(3)}, {field::lineAccount(4)}};
    if (name == file::kJournal)
        return I{{field::kAccount, field::kDate}, {field::kCounterAccount}};
    if (name == file::kBalances) return I{{field::kAccount}};
    // A range of days of the log.
    if (name == file::kActionLog) return I{{field::kLogTime}};
    if (name == file::kCashFlowAssignments) return I{{field::kVoucherDate}};
    return {};
}

const std::vector<TemplateTable>& templateTables() {
    static const std::vector<TemplateTable> t{
        {file::kAccounts, accountsSchema, kFixedPassword},
        {file::kVouchers, vouchersSchema, kFixedPassword},
        {file::kLedger, ledgerSchema, kFixedPassword},
        {file::kJournal, journalSchema, kFixedPassword},
        {file::kBalances, balancesSchema, kFixedPassword},
        {file::kCarryForward, carryForwardSchema, kFixedPassword},
        {file::kPhrases, phrasesSchema, ""},
        {file::kReportScratch, reportScratchSchema, ""},
        {file::kActionLog, actionLogSchema, kFixedPassword},
    };
    return t;
}

}  // namespace tw
