#pragma once
// Every table of an account set: its file name, its fields in stored order and
// the fixed password. Declared once; everything else refers to these names.

#include "storage/record_store.h"

namespace tw {

// The fixed password of `基本信息` and of the template tables.
inline constexpr const char* kFixedPassword = "583916204718";

namespace file {
inline constexpr const char* kBasicInfo = "基本信息";
inline constexpr const char* kUsers = "用户";
inline constexpr const char* kAccounts = "会计科目.edb";
inline constexpr const char* kVouchers = "凭证库.edb";
inline constexpr const char* kSortedVouchers = "凭证排序库.edb";
inline constexpr const char* kLedger = "账库.edb";
inline constexpr const char* kGeneralLedger = "总账库.edb";
inline constexpr const char* kGeneralLedgerTemp = "总账库-temp.edb";
inline constexpr const char* kOpening = "账务初始化.edb";
inline constexpr const char* kJournal = "日记账库.edb";
inline constexpr const char* kBalances = "账库辅1.edb";
inline constexpr const char* kCarryForward = "结转损益.edb";
inline constexpr const char* kPhrases = "摘要库.edb";
inline constexpr const char* kReportScratch = "报表临时1.edb";
inline constexpr const char* kSetOptions = "套账选项.edb";
inline constexpr const char* kActionLog = "上机日志.edb";
inline constexpr const char* kAccountCodes = "科目编码.edb";
inline constexpr const char* kCashFlowAssignments = "现金流量指定.edb";
inline constexpr const char* kReportWorkbook = "报表.xlsx";
inline constexpr const char* kCoverWorkbook = "常用封面.xlsx";
inline constexpr const char* kVoucherPage = "标准凭证.grd";
inline constexpr const char* kLedgerPage = "账页.grd";
inline constexpr const char* kCalculator = "计算器";
}  // namespace file

// Field names used by more than one part of the program.
namespace field {
// 基本信息
inline constexpr const char* kCompany = "单位名称";
inline constexpr const char* kStartDate = "启用日期";
inline constexpr const char* kSetPassword = "本账密码";
inline constexpr const char* kEnabled = "是否启用";
inline constexpr const char* kPeriod = "会计期间";
// 用户
inline constexpr const char* kUserName = "用户名";
inline constexpr const char* kPassword = "密码";
inline constexpr const char* kPermission = "权限";
// 会计科目
inline constexpr const char* kAccountName = "科目名称";
inline constexpr const char* kParent = "上级科目";
inline constexpr const char* kCategory = "科目分类";
inline constexpr const char* kDirection = "余额方向";  // written by position only
inline constexpr const char* kAccountEnabled = "是否启用";
inline constexpr const char* kLevel = "科目级别";
// 科目编码 (with 科目名称)
inline constexpr const char* kAccountCode = "科目编码";
// 账库, 总账库, 账务初始化, 账库辅1
inline constexpr const char* kVoucherDate = "凭证日期";
inline constexpr const char* kVoucherNo = "凭证编号";
inline constexpr const char* kSummary = "摘要";
inline constexpr const char* kAccount = "科目";
inline constexpr const char* kDebit = "借方";
inline constexpr const char* kCredit = "贷方";
inline constexpr const char* kBalanceSide = "方向";
inline constexpr const char* kBalance = "余额";
inline constexpr const char* kSpare = "备用";
// 凭证库 (a voucher page; lines 1..4 through the functions below)
inline constexpr const char* kKind = "种类";
inline constexpr const char* kMonthNumber = "月编号";
inline constexpr const char* kPage = "第几";
inline constexpr const char* kPageCount = "共几";
inline constexpr const char* kDate = "日期";  // also 日记账库
inline constexpr const char* kDebitTotal = "借方合计";
inline constexpr const char* kCreditTotal = "贷方合计";
inline constexpr const char* kAttachments = "附件数";
inline constexpr const char* kPrintDate = "打印日期";
inline constexpr const char* kRemark = "备注";
inline constexpr const char* kPreparer = "编制";  // also 日记账库
inline constexpr const char* kReviewer = "审核";
inline constexpr const char* kPoster = "登账";
// 日记账库
inline constexpr const char* kJournalKind = "种类";
inline constexpr const char* kAmount = "金额";
inline constexpr const char* kCounterAccount = "对应";
// 结转损益
inline constexpr const char* kFromAccount = "需要结转的科目";
inline constexpr const char* kToAccount = "对应科目";
// 套账选项
inline constexpr const char* kOptionName = "选项";
inline constexpr const char* kOptionValue = "值";
// 上机日志 (also 用户名)
inline constexpr const char* kLogTime = "时间";
inline constexpr const char* kLogAction = "操作";
inline constexpr const char* kLogDetail = "内容";
// 现金流量指定 (also 凭证日期, 月编号 and 金额)
inline constexpr const char* kStatementLine = "行次";
// 摘要库
inline constexpr const char* kPhrase = "摘要名称";
inline constexpr const char* kPhraseCategory = "所在分类";
// Fields of voucher line `line` (1..4): 摘要1, 科目1, 借方金额1, 贷方金额1 …
std::string lineSummary(int line);
std::string lineAccount(int line);
std::string lineDebit(int line);
std::string lineCredit(int line);
// 科目1 … 科目4.
const std::vector<std::string>& lineAccounts();
}  // namespace field

// The five account categories, numbered 1 to 5 in this order.
inline constexpr const char* kCategories[5] = {"资产类", "负债类", "权益类", "成本类", "损益类"};
// The category whose accounts the close carries forward to 本年利润.
inline constexpr const char* kProfitAndLossCategory = "损益类";

const Schema& basicInfoSchema();
const Schema& usersSchema();
const Schema& accountsSchema();
const Schema& vouchersSchema();
const Schema& ledgerSchema();  // 账库, 总账库, 账务初始化
const Schema& balancesSchema();
const Schema& journalSchema();
const Schema& carryForwardSchema();
const Schema& phrasesSchema();
const Schema& reportScratchSchema();
// 套账选项.edb: one record per option a set has changed (name, value); a set
// without the file has every option at its default.
const Schema& setOptionsSchema();
// 上机日志.edb: one record per thing done in the set (time, user, what, on
// what), appended only (shell/action_log.h).
const Schema& actionLogSchema();
// 科目编码.edb: one record per account (code, full name); see accounts/account_codes.h.
const Schema& accountCodesSchema();
// 现金流量指定.edb: the cash-flow statement's lines a voucher was assigned
// to by hand, one record per line (vouchers/cash_flow_assignments.h); made
// by the first assignment.
const Schema& cashFlowAssignmentsSchema();

// The schema of a set's table file by its name (基本信息, 凭证库.edb, …);
// nullptr for a name that is not one of them.
const Schema* schemaOfFile(const std::string& fileName);

// The indexes a table file keeps for the look-ups the program makes, by its
// file name (each a list of fields, most significant first). A table whose
// fields do not include an index's fields does without it.
std::vector<std::vector<std::string>> tableIndexes(const std::string& fileName);

// The template tables made in the account-set directory, with their schemas and
// passwords (empty = none).
struct TemplateTable {
    const char* fileName;
    const Schema& (*schema)();
    const char* password;
};
const std::vector<TemplateTable>& templateTables();

}  // namespace tw
