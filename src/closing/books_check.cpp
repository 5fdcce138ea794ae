#include "closing/books_check.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <tuple>

#include "accounts/chart.h"
#include "closing/period.h"
#include "storage/ledger_convention.h"
#include "storage/outcome.h"
#include "storage/schemas.h"
#include "storage/table_check.h"

namespace tw {

namespace {

using Cents = long long;
Cents cents(double x) { return std::llround(x * 100); }
std::string money(Cents c) { return twoDecimals(static_cast<double>(c) / 100); }
// "借 100.00", "贷 50.00", "平"
std::string sided(Cents c) {
    if (c == 0) return "平";
    return std::string(c > 0 ? "借 " : "贷 ") + money(c > 0 ? c : -c);
}
const char* sideOfCents(Cents c) { return c > 0 ? "借" : c < 0 ? "贷" : "平"; }
int monthKey(double day) {
    const Ymd d = toYmd(day);
    return d.year * 12 + d.month - 1;
}
std::string monthText(int key) { return periodText(dayNumber(key / 12, key % 12 + 1, 1)); }

// A voucher line as posting books it, and as 账库 holds it.
struct Entry {
    long day;
    std::int64_t number;
    std::string account;
    Cents debit, credit;  // credit negative
    std::string where;    // the finding's place
    auto key() const { return std::tie(day, number, account, debit, credit); }
    bool operator<(const Entry& o) const { return key() < o.key(); }
};

struct Chain {
    Cents balance = 0, debit = 0, credit = 0;
    bool started = false;
};

class Checker {
public:
    Checker(RecordStore& store, const Session& session) : store_(store), session_(session) {}

    std::vector<std::string> run() {
        if (!tablesSound()) return findings_;
        readBasicInfo();
        if (!open(file::kAccounts)) return findings_;
        tables_.clear();
        for (const Account& a : loadAccounts(store_, session_)) categoryOf_[a.name] = a.category;
        if (!open(file::kLedger) || !open(file::kBalances) || !open(file::kVouchers) ||
            !open(file::kGeneralLedger))
            return findings_;
        checkLedger();
        checkBalances();
        checkVoucherLines();
        checkClosedMonths();
        checkPeriod();
        tables_.clear();
        return findings_;
    }

private:
    void note(std::string text) { findings_.push_back(std::move(text)); }

    bool tablesSound() {
        for (const DamagedTable& d : damagedTables(setFolder(session_.dataDir, session_.login.setName)))
            note("数据表“" + d.file + "”已损坏：" + d.problem);
        return findings_.empty();
    }

    // Opens a table of the set, until the check ends; one that cannot be read
    // is a finding.
    bool open(const char* file) {
        const Outcome opened = runCaught(
            [&] { tables_.push_back(std::make_unique<SetTable>(store_, session_, file)); });
        if (!opened.ok) note(std::string("数据表“") + file + "”无法读出（文件缺失、损坏，或字段与格式不符）");
        return opened.ok;
    }

    void readBasicInfo() {
        {
            const SetTable basic(store_, session_, file::kBasicInfo);
            store_.goFirst();
            if (store_.isPastEnd()) refuse(kUnreadableSet, "基本信息 is empty");
            start_ = std::floor(store_.readField(field::kStartDate).number());
            period_ = store_.readField(field::kPeriod).number();
        }
        firstClosed_ = monthKey(start_);
        open_ = monthKey(period_);
        if (open_ < firstClosed_)
            note("会计期间" + periodText(period_) + "早于启用日期" + formatDate(start_));
    }

    Table tableOf(const char* file) { return store_.table(tablePath(session_, file)); }

    // 账库 in record order: the running balances, the sums per account and
    // month, and the voucher rows for matching with the vouchers.
    void checkLedger() {
        const Table t = tableOf(file::kLedger);
        const int date = t.position(field::kVoucherDate), no = t.position(field::kVoucherNo),
                  summary = t.position(field::kSummary), account = t.position(field::kAccount),
                  debit = t.position(field::kDebit), credit = t.position(field::kCredit),
                  side = t.position(field::kBalanceSide), balance = t.position(field::kBalance);
        long row = 0;
        t.forEach({}, [&](const Record& r) {
            ++row;
            const std::string& name = r[account].text();
            const std::string& text = r[summary].text();
            const double day = r[date].number();
            const std::int64_t number = r[no].integer();
            const Cents d = cents(r[debit].number()), c = cents(r[credit].number()),
                        bal = cents(r[balance].number());
            const std::string where = "账库第" + std::to_string(row) + "条记录（" + name + "，" +
                                      formatDate(day) + "，" +
                                      (number != 0 ? "凭证" + std::to_string(number) : text) + "）";
            Chain& ch = chains_[name];
            Cents expected = ch.balance;
            if (number != 0) {
                expected = ch.balance + d + c;
                ch.debit += d;
                ch.credit += c;
                entries_.push_back({static_cast<long>(std::floor(day)), number, name, d, c, where});
                monthNet_[monthKey(day)] += d + c;
            } else if (text == kOpeningSummary && !ch.started && std::floor(day) == start_) {
                expected = d + c;
                ch.debit = d;
                ch.credit = c;
            } else if (text == kMonthTotal) {
                monthEnd_[{monthKey(day), name}] = bal;
            }
            ch.started = true;
            if (bal != expected)
                note(where + "：余额 " + sided(bal) + "，应为 " + sided(expected) + "，相差 " +
                     money(std::llabs(bal - expected)));
            if (r[side].text() != sideOfCents(bal))
                note(where + "：方向为“" + r[side].text() + "”，余额 " + sided(bal) + " 应为“" +
                     sideOfCents(bal) + "”");
            ch.balance = bal;  // a break is told once; the chain goes on from the row
            return true;
        });
    }

    void checkBalances() {
        const Table t = tableOf(file::kBalances);
        const int account = t.position(field::kAccount), debit = t.position(field::kDebit),
                  credit = t.position(field::kCredit), side = t.position(field::kBalanceSide),
                  balance = t.position(field::kBalance);
        std::set<std::string> seen;
        for (const Record& r : t.select()) {
            const std::string& name = r[account].text();
            seen.insert(name);
            const auto it = chains_.find(name);
            const Chain ch = it == chains_.end() ? Chain{} : it->second;
            const std::string where = "账库辅1 " + name + "：";
            // Credits read as positive amounts; a balance with its side.
            const auto compare = [&](const char* what, Cents stored, Cents sum, bool isBalance) {
                const auto shown = [&](Cents c) { return isBalance ? sided(c) : money(std::llabs(c)); };
                if (stored != sum)
                    note(where + what + " " + shown(stored) + "，账库为 " + shown(sum) + "，相差 " +
                         money(std::llabs(stored - sum)));
            };
            compare("借方", cents(r[debit].number()), ch.debit, false);
            compare("贷方", cents(r[credit].number()), ch.credit, false);
            compare("余额", cents(r[balance].number()), ch.balance, true);
            if (r[side].text() != sideOfCents(cents(r[balance].number())))
                note(where + "方向为“" + r[side].text() + "”，应为“" +
                     sideOfCents(cents(r[balance].number())) + "”");
        }
        for (const auto& [name, ch] : chains_)
            if (!seen.count(name))
                note("账库辅1 缺少科目 " + name + " 的记录（账库余额 " + sided(ch.balance) + "）");
    }

    // Posted voucher lines against the voucher rows of 账库, as multisets.
    void checkVoucherLines() {
        const Table t = tableOf(file::kVouchers);
        const int date = t.position(field::kDate), no = t.position(field::kMonthNumber),
                  page = t.position(field::kPage), poster = t.position(field::kPoster);
        std::vector<Entry> lines;
        t.forEach({}, [&](const Record& r) {
            if (r[poster].text().empty()) return true;
            const double day = r[date].number();
            const std::int64_t number = std::llround(r[no].number());
            for (int i = 1; i <= 4; ++i) {
                const std::string& account = r[t.position(field::lineAccount(i))].text();
                if (account.empty()) continue;
                const Cents d = cents(r[t.position(field::lineDebit(i))].number());
                const Cents c = -cents(r[t.position(field::lineCredit(i))].number());
                const std::string where = "凭证" + std::to_string(number) + "（" + formatDate(day) +
                                          "）第" + std::to_string(r[page].integer()) + "页第" +
                                          std::to_string(i) + "行 " + account;
                const long d0 = static_cast<long>(std::floor(day));
                if (c == 0) lines.push_back({d0, number, account, d, c, where + " 借 " + money(d)});
                if (d == 0) lines.push_back({d0, number, account, d, c, where + " 贷 " + money(-c)});
            }
            return true;
        });
        std::sort(lines.begin(), lines.end());
        std::sort(entries_.begin(), entries_.end());
        auto l = lines.begin();
        auto e = entries_.begin();
        while (l != lines.end() || e != entries_.end()) {
            if (e == entries_.end() || (l != lines.end() && *l < *e)) {
                note(l++->where + "：已登账，账库中却没有它的记录");
            } else if (l == lines.end() || *e < *l) {
                note(e->where + "：借 " + money(e->debit) + "，贷 " + money(-e->credit) +
                     "，没有对应的已登账凭证行");
                ++e;
            } else {
                ++l;
                ++e;
            }
        }
    }

    void checkClosedMonths() {
        for (const auto& [month, net] : monthNet_)
            if (month >= firstClosed_ && month < open_ && net != 0)
                note(monthText(month) + "：账库中凭证的借方与贷方相差 " + money(std::llabs(net)));
        for (const auto& [key, bal] : monthEnd_) {
            const auto& [month, account] = key;
            const auto cat = categoryOf_.find(account);
            if (month < open_ && bal != 0 && cat != categoryOf_.end() && cat->second == kCategories[4])
                note(monthText(month) + "：损益类科目 " + account + " 结账后余额为 " + sided(bal) +
                     "，未结转为零");
        }

        const Table t = tableOf(file::kGeneralLedger);
        const int date = t.position(field::kVoucherDate), no = t.position(field::kVoucherNo),
                  summary = t.position(field::kSummary), debit = t.position(field::kDebit),
                  credit = t.position(field::kCredit), balance = t.position(field::kBalance);
        std::map<int, std::pair<Cents, Cents>> moved;  // month → 本月合计 debits, credits
        std::map<int, Cents> balances;
        long row = 0;
        t.forEach({}, [&](const Record& r) {
            ++row;
            const std::string& text = r[summary].text();
            // The close's month rows: 凭证编号 0 and their text.
            if (r[no].integer() != 0 || (text != kMonthTotal && text != kYearTotal)) return true;
            const int month = monthKey(r[date].number());
            lastClosed_ = std::max(lastClosed_, month);
            if (month >= open_)
                note("总账库第" + std::to_string(row) + "条记录（" + formatDate(r[date].number()) + "，" +
                     text + "）在会计期间" + periodText(period_) + "或其后");
            if (text == kMonthTotal) {
                moved[month].first += cents(r[debit].number());
                moved[month].second += cents(r[credit].number());
            } else {
                balances[month] += cents(r[balance].number());
            }
            return true;
        });
        for (const auto& [month, sums] : moved)
            if (sums.first + sums.second != 0)
                note(monthText(month) + "：总账库本月合计借方 " + money(sums.first) + "，贷方 " +
                     money(-sums.second) + "，相差 " + money(std::llabs(sums.first + sums.second)));
        for (const auto& [month, sum] : balances)
            if (sum != 0)
                note(monthText(month) + "：试算不平衡，总账库本年累计的期末余额合计为 " + sided(sum));
    }

    void checkPeriod() {
        if (lastClosed_ < 0) return;  // nothing closed with a balance yet
        if (lastClosed_ + 1 != open_)
            note("会计期间为" + periodText(period_) + "，总账库最后结账的月份却是" +
                 monthText(lastClosed_));
    }

    RecordStore& store_;
    const Session& session_;
    std::vector<std::string> findings_;
    double start_ = 0, period_ = 0;
    int firstClosed_ = 0, open_ = 0, lastClosed_ = -1;
    std::vector<std::unique_ptr<SetTable>> tables_;  // open while the check reads them
    std::map<std::string, std::string> categoryOf_;
    std::map<std::string, Chain> chains_;
    std::vector<Entry> entries_;
    std::map<int, Cents> monthNet_;
    std::map<std::pair<int, std::string>, Cents> monthEnd_;
};

}  // namespace

std::vector<std::string> checkBooks(RecordStore& store, const Session& session) {
    return Checker(store, session).run();
}

std::string checkSummary(const std::vector<std::string>& findings) {
    if (findings.empty()) return "核对完毕，未发现问题。";
    return "核对发现" + std::to_string(findings.size()) + "处问题！";
}

}  // namespace tw
