// Fourteen months of seeded random books across a year end, whose cash
// vouchers the test makes knowing where each amount must go: counter
// accounts of every kind of the usual table, a sale or a purchase with its
// tax, tax on its own, refunds, transfers between cash accounts, vouchers of
// several pages and of several counters, shares in proportion, and vouchers
// assigned by hand; among them random vouchers without cash. After every
// close, the month's statement (and the quarter's, at a quarter's end):
//   - has on each line the sum the test made of its vouchers;
//   - 本年累计金额 is the sum of the year's months, 本期金额 of the quarter's;
//   - line 21 is the cash at the column's start and line 22 at the end, as
//     the test counted them from the openings and its vouchers, and as the
//     balance sheet's 货币资金 has them;
//   - its detail adds up to its lines.
// TALLOWICK_SEED picks another seed.
#include <algorithm>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <vector>

#include "accounts/account_names.h"
#include "closing/random_books.h"
#include "statements/cash_flow.h"

namespace tw::test {
namespace {

// The usual table, as the cash-flow statement's rules are to have it.
struct Kind {
    std::vector<const char*> accounts;
    int in, out;
};
const Kind kKinds[] = {
    {{"主营业务收入", "其他业务收入", "应收账款", "应收票据", "预收账款"}, 1, 1},
    {{"材料采购", "在途物资", "原材料", "库存商品", "周转材料", "委托加工物资", "生产成本", "制造费用",
      "主营业务成本", "其他业务成本", "应付账款", "应付票据", "预付账款"},
     3, 3},
    {{"应付职工薪酬"}, 4, 4},
    {{"税金及附加", "所得税费用"}, 2, 5},
    {{"短期投资", "长期债券投资", "长期股权投资"}, 8, 11},
    {{"投资收益"}, 9, 9},
    {{"固定资产", "在建工程", "工程物资", "无形资产", "固定资产清理", "长期待摊费用"}, 10, 12},
    {{"短期借款", "长期借款"}, 14, 16},
    {{"应付利息", "财务费用→利息费用"}, 2, 17},
    {{"实收资本", "资本公积"}, 15, 15},
    {{"应付利润", "利润分配"}, 2, 18},
    {{"管理费用", "销售费用", "财务费用", "其他应收款", "其他应付款", "营业外收入", "营业外支出"}, 2, 6},
};
// An account the table does not name: lines 2 and 6, and the statement names it.
constexpr const char* kUnnamed = "待处理财产损溢";

bool inflow(int line) { return std::set<int>{1, 2, 8, 9, 10, 14, 15}.count(line) > 0; }

// What a share of cash received (or paid) counts on `line`.
long long shown(int line, long long share, bool received) { return received == inflow(line) ? share : -share; }

constexpr int kFlowLines[] = {1, 2, 3, 4, 5, 6, 8, 9, 10, 11, 12, 14, 15, 16, 17, 18};

class CashFlowRandom : public RandomBookTest {
protected:
    struct Counter {
        std::string account;
        int in, out;
    };
    // A voucher as made, with where its cash must go.
    struct Voucher {
        std::vector<Line> lines;
        std::map<int, long long> onLines;  // line → cents as the line shows it
        long long moved = 0;               // cash debits less credits
    };

    struct Made {
        double number;
        Voucher voucher;
        bool assigned = false;
    };

    std::vector<Counter> counters;  // leaves of the chart the table names (taxes apart)
    std::map<int, std::vector<Made>> made;  // month index → its cash vouchers
    std::vector<std::string> cash, taxes;
    std::map<int, std::map<int, long long>> expected;  // month index → line → cents
    std::map<int, std::map<int, long long>> onStatement;  // the months' 本月金额 as shown
    std::map<int, long long> startOf;                  // month index → cash at its start
    std::map<int, std::set<int>> unnamedLines;         // year → lines 待处理财产损溢 went to
    long long cashNow = 0;

    void SetUp() override {
        RandomBookTest::SetUp();
        if (HasFatalFailure()) return;
        for (const char* name : {"长期债券投资", "工程物资"}) addTopLevel(name);
        addSub("财务费用", "利息费用");
        addSub("财务费用", "手续费");
        addSub("其他货币资金", "存出投资款");
        addSub("应付职工薪酬", "工资");

        const auto chart = loadAccounts(*store, session);
        leaves.clear();
        for (const Account& a : chart) {
            categoryOf[a.name] = a.category;
            if (hasSubAccounts(chart, a.name)) continue;
            const std::string top = topLevelAccount(a.name);
            if (top == "现金" || top == "银行存款" || top == "其他货币资金") {
                cash.push_back(a.name);
                continue;
            }
            if (a.name != "本年利润") leaves.push_back(a.name);  // the random vouchers without cash
            if (top == "应交税费") {
                taxes.push_back(a.name);
                continue;
            }
            if (a.name == kUnnamed) continue;
            for (std::string name = a.name; !name.empty(); name = parentOf(name)) {
                const Kind* kind = nullptr;
                for (const Kind& k : kKinds)
                    for (const char* n : k.accounts)
                        if (name == n) kind = &k;
                if (!kind) continue;
                counters.push_back({a.name, kind->in, kind->out});
                break;
            }
        }
    }

    void addTopLevel(const std::string& name) {
        NewAccount r;
        r.mode = AddMode::Sibling;
        r.typed = name;
        r.direction = "借方";
        r.category = 1;
        r.selectedLevel = 1;
        const auto added = runAction(*store, [&] { return addAccount(*store, session, r); });
        ASSERT_TRUE(added.ok) << name << " " << added.message;
    }

    long long someCents() { return 100 + pick(2000000); }  // 1.00 … 20,000.99
    const std::string& any(const std::vector<std::string>& from) { return from[pick(static_cast<int>(from.size()))]; }
    const Counter& anyCounter(const std::function<bool(const Counter&)>& fits = {}) {
        std::vector<const Counter*> found;
        for (const Counter& c : counters)
            if (!fits || fits(c)) found.push_back(&c);
        return *found[pick(static_cast<int>(found.size()))];
    }

    static double yuan(long long c) { return c / 100.0; }
    static void debit(Voucher& v, const std::string& a, long long c, const char* s) { v.lines.push_back({a, yuan(c), 0, s}); }
    static void credit(Voucher& v, const std::string& a, long long c, const char* s) { v.lines.push_back({a, 0, yuan(c), s}); }

    // `total` received (or paid) on one cash account, or on two.
    void cashLines(Voucher& v, bool received, long long total) {
        std::vector<std::pair<std::string, long long>> parts{{any(cash), total}};
        if (total > 1 && pick(3) == 0) {
            const long long first = 1 + pick(static_cast<int>(std::min<long long>(total - 1, 1000000000)));
            parts = {{any(cash), first}, {any(cash), total - first}};
        }
        for (const auto& [account, c] : parts) (received ? debit : credit)(v, account, c, "收付");
        v.moved += received ? total : -total;
    }

    void counterLine(Voucher& v, bool received, const std::string& account, int in, int out, long long c) {
        (received ? credit : debit)(v, account, c, "业务");
        const int line = received ? in : out;
        v.onLines[line] += shown(line, c, received);
    }

    // Cash against 1 … n counters on the other side, each taking its own amount.
    Voucher several(bool received, int n, int year) {
        Voucher v;
        long long total = 0;
        for (int i = 0; i < n; ++i) {
            const long long c = someCents();
            total += c;
            if (pick(10) == 0) {
                counterLine(v, received, kUnnamed, 2, 6, c);
                unnamedLines[year].insert(received ? 2 : 6);
            } else {
                const Counter& k = anyCounter();
                counterLine(v, received, k.account, k.in, k.out, c);
            }
        }
        cashLines(v, received, total);
        if (pick(2)) std::rotate(v.lines.begin(), v.lines.end() - 1, v.lines.end());  // cash first, at times
        return v;
    }

    // A sale (cash received) or a purchase (paid) with its tax: the tax goes
    // with it.
    Voucher taxed(bool received) {
        Voucher v;
        const Counter& k = received ? anyCounter([](const Counter& c) { return c.in == 1; })
                                    : anyCounter([](const Counter& c) { return c.out == 3 || c.out == 12; });
        const long long x = someCents(), t = x * 13 / 100;
        counterLine(v, received, k.account, k.in, k.out, x);
        (received ? credit : debit)(v, any(taxes), t, "税");
        const int line = received ? k.in : k.out;
        v.onLines[line] += shown(line, t, received);
        cashLines(v, received, x + t);
        return v;
    }

    // Tax paid, or refunded, on its own: lines 5 and 2.
    Voucher taxAlone(bool received) {
        Voucher v;
        const long long t = someCents();
        counterLine(v, received, any(taxes), 2, 5, t);
        cashLines(v, received, t);
        return v;
    }

    // A sale and old equipment sold with one tax: the tax goes with the larger.
    Voucher twoToFollow() {
        Voucher v;
        const long long sale = someCents();
        long long equipment = someCents();
        while (equipment == sale) equipment = someCents();
        const Counter& s = anyCounter([](const Counter& c) { return c.in == 1; });
        const Counter& e = anyCounter([](const Counter& c) { return c.in == 10; });
        counterLine(v, true, s.account, s.in, s.out, sale);
        counterLine(v, true, e.account, e.in, e.out, equipment);
        const long long t = std::max(sale, equipment) * 13 / 100;
        credit(v, any(taxes), t, "税");
        v.onLines[sale > equipment ? 1 : 10] += t;
        cashLines(v, true, sale + equipment + t);
        return v;
    }

    // From one cash account to another, and the same with an expense on it.
    Voucher transfer() {
        Voucher v;
        const std::string from = any(cash);
        std::string to = any(cash);
        while (to == from) to = any(cash);
        const long long x = someCents();
        debit(v, to, x, "转账");
        if (pick(2)) {
            credit(v, from, x, "转账");
        } else {
            const Counter& k = anyCounter();
            const long long fee = someCents();
            counterLine(v, false, k.account, k.in, k.out, fee);
            credit(v, from, x + fee, "转账");
            v.moved -= fee;
        }
        return v;
    }

    // Cash of 2(a + b) against counters of 3a and 3b, with a+b more on the
    // cash's side: the counters take 2a and 2b exactly.
    Voucher inProportion(bool received) {
        Voucher v;
        const long long a = someCents(), b = someCents();
        const Counter& x = anyCounter();
        const Counter& y = anyCounter();
        (received ? debit : credit)(v, any(cash), 2 * (a + b), "收付");
        v.moved += received ? 2 * (a + b) : -2 * (a + b);
        (received ? debit : credit)(v, anyCounter().account, a + b, "手续费");
        (received ? credit : debit)(v, x.account, 3 * a, "业务");
        (received ? credit : debit)(v, y.account, 3 * b, "业务");
        const int lx = received ? x.in : x.out, ly = received ? y.in : y.out;
        v.onLines[lx] += shown(lx, 2 * a, received);
        v.onLines[ly] += shown(ly, 2 * b, received);
        return v;
    }

    // A voucher of any number of lines, four to a page, its totals on its
    // last page, reviewed.
    void addPages(double date, double number, const std::vector<Line>& lines) {
        Action a(*store);
        openSetTable(*store, session, file::kVouchers);
        Table t = store->table(tablePath(session, file::kVouchers));
        const int pages = static_cast<int>((lines.size() + 3) / 4);
        long long debits = 0, credits = 0;
        for (const Line& l : lines) {
            debits += cents(l.debit);
            credits += cents(l.credit);
        }
        for (int p = 1; p <= pages; ++p) {
            std::vector<Value> page;
            for (const FieldDef& f : vouchersSchema()) page.push_back(emptyValue(f.type));
            const auto at = [&](const std::string& f) { return t.position(f); };
            page[at(field::kMonthNumber)] = number;
            page[at(field::kPage)] = p;
            page[at(field::kPageCount)] = pages;
            page[at(field::kDate)] = date;
            for (int n = 1; n <= 4 && (p - 1) * 4 + n <= static_cast<int>(lines.size()); ++n) {
                const Line& l = lines[(p - 1) * 4 + n - 1];
                page[at(field::lineSummary(n))] = l.summary;
                page[at(field::lineAccount(n))] = l.account;
                page[at(field::lineDebit(n))] = l.debit;
                page[at(field::lineCredit(n))] = l.credit;
            }
            if (p == pages) {
                page[at(field::kDebitTotal)] = yuan(debits);
                page[at(field::kCreditTotal)] = yuan(credits);
            }
            page[at(field::kPreparer)] = std::string("张三");
            page[at(field::kReviewer)] = std::string("李四");
            t.append(page);
        }
        a.commit();
        store->closeTable();
    }

    // One voucher with cash, of a kind drawn from the seed, booked.
    void cashVoucher(YearMonth m) {
        const bool received = pick(2) == 0;
        Voucher v;
        switch (pick(9)) {
            case 0: case 1: case 2: v = several(received, 1 + pick(3), m.year); break;
            case 3: v = several(received, 5 + pick(3), m.year); break;  // two pages
            case 4: v = taxed(received); break;
            case 5: v = taxAlone(received); break;
            case 6: v = twoToFollow(); break;
            case 7: v = transfer(); break;
            default: v = inProportion(received); break;
        }
        bookVoucher(m, std::move(v));
    }

    // Books a voucher on a day of the month drawn from the seed.
    void bookVoucher(YearMonth m, Voucher v) {
        const double day = m.firstDay() + pick(daysInMonth(m.year, m.month));
        const double number = m.month * 10000.0 + (++vouchers);
        addPages(day, number, v.lines);
        for (const auto& [line, c] : v.onLines) expected[m.index()][line] += c;
        cashNow += v.moved;
        made[m.index()].push_back({number, std::move(v)});
    }

    // Each kind of the table once, whatever the seed draws: cash received
    // against every other kind, paid against the rest.
    void everyKind(YearMonth m) {
        for (std::size_t i = 0; i < std::size(kKinds); ++i) {
            const Kind& kind = kKinds[i];
            const Counter& k = anyCounter([&](const Counter& c) { return c.in == kind.in && c.out == kind.out; });
            const bool received = i % 2 == (m.year % 2 == 0 ? 0u : 1u);
            Voucher v;
            const long long c = someCents();
            counterLine(v, received, k.account, k.in, k.out, c);
            cashLines(v, received, c);
            bookVoucher(m, std::move(v));
        }
    }

    // A voucher or two of the month, posted, put on other lines by hand:
    // cash received on lines 9 and 2, with 1.00 more on line 1 and on line 3
    // (which lowers it); cash paid on lines 17 and 6.
    void assignSome(YearMonth m) {
        for (int k = pick(3); k > 0; --k) {
            std::vector<Made*> moving;
            for (Made& x : made[m.index()])
                if (x.voucher.moved != 0 && !x.assigned) moving.push_back(&x);
            if (moving.empty()) return;
            Made& x = *moving[pick(static_cast<int>(moving.size()))];
            const long long moved = x.voucher.moved, size = moved > 0 ? moved : -moved;
            const long long part = pick(static_cast<int>(std::min<long long>(size, 1000000000)));
            const std::map<int, long long> parts =
                moved > 0 ? std::map<int, long long>{{9, part}, {2, size - part}, {1, 100}, {3, 100}}
                          : std::map<int, long long>{{17, part}, {6, size - part}};
            std::vector<std::pair<int, double>> inYuan;
            for (const auto& [line, c] : parts) inYuan.emplace_back(line, yuan(c));
            const Outcome done = runAction(*store, [&] { assignCashFlow(*store, session, m, x.number, inYuan); });
            ASSERT_TRUE(done.ok) << done.message;
            for (const auto& [line, c] : x.voucher.onLines) expected[m.index()][line] -= c;
            for (const auto& [line, c] : parts) expected[m.index()][line] += c;
            x.assigned = true;
        }
    }

    Statement statementOf(const StatementPeriod& period, std::vector<CashFlowEntry>* entries = nullptr) {
        const auto made = runCaught([&] { return cashFlow(*store, session, period); });
        EXPECT_TRUE(made.ok) << made.message;
        if (entries) *entries = made.value.entries;
        return made.value.statement;
    }

    void checkMonth(YearMonth m) {
        SCOPED_TRACE(m.text());
        std::vector<CashFlowEntry> entries;
        const Statement s = statementOf(monthPeriod(m), &entries);
        const YearMonth january{m.year, 1};
        std::map<int, long long> detail;
        for (const CashFlowEntry& e : entries) detail[e.line] += cents(e.amount);
        for (const int line : kFlowLines) {
            const long long month = cents(s.amount(line, 1));
            onStatement[m.index()][line] = month;
            EXPECT_EQ(month, expected[m.index()][line]) << "line " << line;
            long long year = 0;
            for (YearMonth x = january; x <= m; x = x.next()) year += onStatement[x.index()][line];
            EXPECT_EQ(cents(s.amount(line, 0)), year) << "line " << line << " 本年累计金额";
            EXPECT_EQ(detail[line], month) << "line " << line << " detail";
        }
        const long long start = startOf[m.index()], yearStart = startOf[january.index()];
        EXPECT_EQ(cents(s.amount(20, 1)), cashNow - start);
        EXPECT_EQ(cents(s.amount(21, 1)), start);
        EXPECT_EQ(cents(s.amount(22, 1)), cashNow);
        EXPECT_EQ(cents(s.amount(21, 0)), yearStart);
        EXPECT_EQ(cents(s.amount(22, 0)), cashNow);

        const auto sheet = runCaught([&] { return balanceSheet(*store, session, m); });
        ASSERT_TRUE(sheet.ok) << sheet.message;
        EXPECT_EQ(cents(sheet.value.amount(1, 0)), cashNow) << "货币资金 期末余额";
        EXPECT_EQ(cents(sheet.value.amount(1, 1)), yearStart) << "货币资金 年初余额";
        ASSERT_TRUE(runCaught([&] { return incomeStatement(*store, session, monthPeriod(m)); }).ok);

        std::vector<std::string> notices;
        for (const int line : unnamedLines[m.year])
            notices.push_back(std::string("科目“") + kUnnamed + "”不在现金流量项目中，已计入第" + std::to_string(line) +
                              (line == 2 ? "行“收到其他与经营活动有关的现金”。" : "行“支付其他与经营活动有关的现金”。"));
        EXPECT_EQ(s.notices, notices);
    }

    void checkQuarter(YearMonth last) {
        const int quarter = quarterOf(last);
        SCOPED_TRACE(std::to_string(last.year) + " Q" + std::to_string(quarter));
        const Statement q = statementOf(quarterPeriod(last.year, quarter));
        const Statement month = statementOf(monthPeriod(last));
        const YearMonth first{last.year, 3 * quarter - 2};
        for (const int line : kFlowLines) {
            long long sum = 0;
            for (YearMonth x = first; x <= last; x = x.next()) sum += onStatement[x.index()][line];
            EXPECT_EQ(cents(q.amount(line, 1)), sum) << "line " << line;
            EXPECT_EQ(q.amount(line, 0), month.amount(line, 0)) << "line " << line;
        }
        EXPECT_EQ(cents(q.amount(21, 1)), startOf[first.index()]);
        EXPECT_EQ(cents(q.amount(22, 1)), cashNow);
    }

    void runFourteenMonths() {
        enableWith({{"现金", 5000},
                    {"银行存款→工商银行→活期", 80000},
                    {"银行存款→建设银行", 20000},
                    {"其他货币资金→存出投资款", 1000},
                    {"实收资本", -106000}});
        cashNow = 10600000;
        for (int i = 0; i < 14; ++i) {
            const YearMonth m = YearMonth::of(session.login.period);
            startOf[m.index()] = cashNow;
            if (m.month == 1) everyKind(m);
            const int count = 8 + pick(8);
            for (int k = 0; k < count; ++k) cashVoucher(m);
            for (int k = 0; k < 4; ++k) randomVoucher(true);  // no cash account among the leaves
            ASSERT_TRUE(post().ok);
            assignSome(m);
            const auto closed = close();
            ASSERT_TRUE(closed.ok) << m.text() << " " << closed.message;
            checkMonth(m);
            if (m.month % 3 == 0) checkQuarter(m);
            if (HasFailure()) return;
        }
        EXPECT_EQ(YearMonth::of(session.login.period), (YearMonth{2014, 3}));
    }
};

TEST_F(CashFlowRandom, FourteenMonthsAcrossAYearEndReconcile) { runFourteenMonths(); }

}  // namespace
}  // namespace tw::test
