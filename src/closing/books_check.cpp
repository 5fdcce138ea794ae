#include "closing/books_check.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <map>
#include <set>

#include "accounts/chart.h"
#include "closing/books_check_figures.h"
#include "shell/set_tables.h"
#include "storage/dates.h"
#include "storage/outcome.h"
#include "storage/schemas.h"
#include "storage/table_check.h"

namespace tw {

using namespace bookcheck;

namespace {

// The tables the books' figures are read from.
constexpr const char* kFigureTables[] = {file::kBasicInfo, file::kAccounts, file::kVouchers,
                                         file::kLedger,    file::kBalances, file::kGeneralLedger};

std::string faultText(const SetTableFault& fault, const fs::path& folder) {
    const std::string table = "数据表“" + fault.file + "”";
    using F = RecordStore::OpenFailure;
    switch (fault.failure) {
        case F::Missing: {
            std::error_code ec;
            const auto there = fs::symlink_status(folder / fs::u8path(fault.file), ec).type();
            return table + (there == fs::file_type::not_found
                                ? "缺失"
                                : "无法读出：是空文件、文件夹或失效的链接");
        }
        case F::NotATable:
            return table + "无法读出：已损坏，或不是本程序的数据表";
        case F::WrongPassword:
            return table + "无法读出：密码与本套账不符";
        case F::WrongSchema:
            return table + "无法读出：字段与格式不符";
        case F::NewerFormat:
            return table + "无法读出：是更新版本的程序保存的";
        case F::None:
            break;
    }
    return table + "没有记录";
}

// Every table file of the set, as a backup requires them; false when one the
// figures are read from fails.
bool tablesOpen(const Session& session, Findings& findings) {
    const fs::path folder = setFolder(session.dataDir, session.login.setName);
    std::set<std::string> failed;
    for (const DamagedTable& d : damagedTables(folder)) {
        findings.push_back("数据表“" + d.file + "”已损坏：" + d.problem);
        failed.insert(d.file);
    }
    for (const SetTableFault& f : setTableFaults(session.dataDir, folder)) {
        if (f.file.empty())
            findings.push_back("套账文件夹无法列出：" + pathText(folder));
        else if (failed.insert(f.file).second)
            findings.push_back(faultText(f, folder));
    }
    return std::none_of(std::begin(kFigureTables), std::end(kFigureTables),
                        [&](const char* t) { return failed.count(t) > 0; });
}

BookDates readDates(RecordStore& store, const Session& session, Findings& findings) {
    BookDates dates;
    {
        const SetTable basic(store, session, file::kBasicInfo);
        const auto info = basic->first();
        if (!info) refuse(kUnreadableSet, "基本信息 is empty");
        dates.start = std::floor((*info)[basic->position(field::kStartDate)].number());
        dates.period = (*info)[basic->position(field::kPeriod)].number();
    }
    dates.firstClosed = YearMonth::of(dates.start);
    dates.open = YearMonth::of(dates.period);
    dates.required = dates.open;  // until 总账库 is read: see requiredMonths
    if (dates.open < dates.firstClosed)
        findings.push_back("会计期间" + dates.open.text() + "早于启用日期" +
                           formatDate(dates.start));
    return dates;
}

// 账库辅1 per account against the account's opening and entries in 账库.
void checkBalances(const Table& t, const LedgerFigures& ledger, Findings& findings) {
    const int account = t.position(field::kAccount), debit = t.position(field::kDebit),
              credit = t.position(field::kCredit), side = t.position(field::kBalanceSide),
              balance = t.position(field::kBalance);
    static const LedgerAccount none{};
    std::set<std::string> seen;
    for (const Record& r : t.select()) {
        const std::string& name = r[account].text();
        seen.insert(name);
        const auto it = ledger.accounts.find(name);
        const LedgerAccount& a = it == ledger.accounts.end() ? none : it->second;
        Amounts total = a.entries;
        if (a.rows.start) total += a.rows.start->amounts;
        const std::string place = "账库辅1 " + name + "：";
        const auto differs = [&](const char* what, const std::string& stored,
                                 const std::string& sum, Cents by) {
            findings.push_back(place + what + " " + stored + "，账库为 " + sum + "，相差 " +
                               money(std::llabs(by)));
        };
        const Cents d = toCents(r[debit].number()), c = toCents(r[credit].number()),
                    bal = toCents(r[balance].number());
        if (d != total.debit) differs("借方", money(d), money(total.debit), d - total.debit);
        if (c != total.credit) differs("贷方", money(-c), money(-total.credit), c - total.credit);
        if (bal != a.chained && bal != a.summed)
            differs("余额", sided(bal), sided(a.chained), bal - a.chained);
        if (r[side].text() != sideOfCents(bal))
            findings.push_back(place + "方向为“" + r[side].text() + "”，应为“" + sideOfCents(bal) +
                               "”");
    }
    for (const auto& [name, a] : ledger.accounts)
        if (!seen.count(name))
            findings.push_back("账库辅1 缺少科目 " + name + " 的记录（账库余额 " +
                               sided(a.chained) + "）");
}

// The identities of every closed month.
void checkClosedMonths(const LedgerFigures& ledger, const GeneralRows& general,
                       const std::map<std::string, std::string>& categoryOf, const BookDates& dates,
                       Findings& findings) {
    for (const auto& [month, net] : ledger.monthNet)
        if (month >= dates.firstClosed && month < dates.open && net != 0)
            findings.push_back(month.text() + "：账库中凭证的借方与贷方相差 " +
                               money(std::llabs(net)));
    for (const auto& [account, a] : ledger.accounts) {
        const auto category = categoryOf.find(account);
        if (category == categoryOf.end() || category->second != kProfitAndLossCategory) continue;
        for (const auto& [month, r] : a.rows.months)
            if (month < dates.open && r.balance != 0)
                findings.push_back(month.text() + "：损益类科目 " + account + " 结账后余额为 " +
                                   sided(r.balance) + "，未结转为零");
    }
    for (const auto& [month, sums] : general.monthMoved)
        if (sums.net() != 0)
            findings.push_back(month.text() + "：总账库本月合计借方 " + money(sums.debit) +
                               "，贷方 " + money(-sums.credit) + "，相差 " +
                               money(std::llabs(sums.net())));
    for (const auto& [month, sum] : general.yearBalances)
        if (sum != 0)
            findings.push_back(month.text() + "：试算不平衡，总账库本年累计的期末余额合计为 " +
                               sided(sum));
}

// The dates with the months whose rows are required: when 会计期间 runs
// ahead of the closes, the months after the last one 总账库 holds are told
// once, by checkPeriod, not account by account.
BookDates requiredMonths(BookDates dates, const GeneralRows& general) {
    if (general.lastClosed && *general.lastClosed >= dates.firstClosed &&
        general.lastClosed->next() < dates.open)
        dates.required = general.lastClosed->next();
    return dates;
}

void checkPeriod(const GeneralRows& general, const BookDates& dates, Findings& findings) {
    if (!general.lastClosed) return;  // nothing closed with a balance yet
    if (general.lastClosed->next() != dates.open)
        findings.push_back("会计期间为" + dates.open.text() + "，总账库最后结账的月份却是" +
                           general.lastClosed->text());
}

}  // namespace

std::vector<std::string> checkBooks(RecordStore& store, const Session& session) {
    Findings findings;
    if (!tablesOpen(session, findings)) return findings;
    const BookDates read = readDates(store, session, findings);
    std::map<std::string, std::string> categoryOf;
    for (const Account& a : loadAccounts(store, session)) categoryOf[a.name] = a.category;

    const SetTable ledger(store, session, file::kLedger);
    const SetTable general(store, session, file::kGeneralLedger);
    const SetTable balances(store, session, file::kBalances);
    const SetTable vouchers(store, session, file::kVouchers);
    const LedgerFigures figures = readLedger(ledger.table(), read, findings);
    const GeneralRows generalRows = readGeneralLedger(general.table(), read, findings);
    const BookDates dates = requiredMonths(read, generalRows);

    checkBalances(balances.table(), figures, findings);
    checkVoucherLines(vouchers.table(), ledger.table(), figures, findings);
    checkLedgerSummaries(figures, dates, findings);
    checkGeneralSummaries(figures, generalRows, dates, findings);
    checkClosedMonths(figures, generalRows, categoryOf, dates, findings);
    checkPeriod(generalRows, dates, findings);
    return findings;
}

std::string checkSummary(const std::vector<std::string>& findings) {
    if (findings.empty()) return "核对完毕，未发现问题。";
    return "核对发现" + std::to_string(findings.size()) + "处问题！";
}

}  // namespace tw
