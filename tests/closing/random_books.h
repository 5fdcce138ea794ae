#pragma once
// Seeded random books: a set started in January 2013 with sub-accounts under
// several top-level accounts, random balanced openings, and random balanced
// vouchers of one to four lines on the leaf accounts. The tests run the real
// operations on them and check the accounting identities.
//
// With closeTexts set, a fifth of the lines carry one of the texts the
// program writes on rows of its own ("本月合计", "期初余额", …) and a quarter
// of the vouchers fall on the month's last day, where the close dates its
// rows and vouchers: a user may type any of them, and nothing may take such
// a line for the program's.
//
// TALLOWICK_SEED picks another seed.
#include <cmath>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "accounts/chart.h"
#include "closing_fixture.h"

namespace tw::test {

inline long long cents(double x) { return std::llround(x * 100); }

class RandomBookTest : public ClosingTest {
protected:
    std::mt19937 rng;
    std::vector<std::string> leaves;
    std::map<std::string, std::string> categoryOf;  // every account's category
    int vouchers = 0;
    bool closeTexts = false;

    int pick(int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); }
    double amount() { return (1 + pick(2000000)) / 100.0; }  // 0.01 … 20,000.00

    // A line's summary; without closeTexts the same every time, drawing nothing.
    std::string randomSummary() {
        static const char* const own[] = {"本月合计", "本年累计", "结转损益", "期初余额", "结转本年利润"};
        if (!closeTexts || pick(5) != 0) return "随机业务";
        return own[pick(5)];
    }

    void SetUp() override {
        ClosingTest::SetUp();
        const char* seed = std::getenv("TALLOWICK_SEED");
        rng.seed(seed ? static_cast<unsigned>(std::atol(seed)) : 20130101u);
        // The books start in January, so that the year has twelve closes.
        startBooksIn(dayNumber(2013, 1, 1));

        for (const auto& [parent, subs] :
             std::vector<std::pair<std::string, std::vector<std::string>>>{
                 {"银行存款", {"工商银行", "建设银行"}},
                 {"应收账款", {"甲公司", "乙公司", "丙公司"}},
                 {"管理费用", {"办公费", "差旅费", "工资"}},
                 {"主营业务收入", {"商品销售", "技术服务"}},
                 {"应付账款", {"丁公司"}}})
            for (const auto& sub : subs) addSub(parent, sub);
        addSub("银行存款→工商银行", "活期");
        const auto chart = loadAccounts(*store, session);
        for (const Account& a : chart) {
            categoryOf[a.name] = a.category;
            bool parent = false;
            for (const Account& b : chart) parent = parent || b.parent == a.name;
            if (!parent) leaves.push_back(a.name);
        }
    }

    // Random balanced openings over some of the balance-sheet leaves.
    void openBooks() {
        std::vector<std::pair<std::string, double>> openings;
        long long net = 0;
        for (int i = 0; i < 12; ++i) {
            const std::string& a = leaves[pick(static_cast<int>(leaves.size()))];
            if (categoryOf[a] == "损益类" || a == "实收资本") continue;
            bool seen = false;
            for (const auto& o : openings) seen = seen || o.first == a;
            if (seen) continue;
            const double x = (pick(2) ? 1 : -1) * amount();
            openings.push_back({a, x});
            net += cents(x);
        }
        openings.push_back({"实收资本", -net / 100.0});
        enableWith(openings);
    }

    // A random balanced voucher of one to four lines on leaf accounts.
    void randomVoucher(bool reviewed) {
        const int n = 2 + pick(3);
        std::vector<Line> lines;
        long long net = 0;
        for (int i = 0; i < n - 1; ++i) {
            const double x = amount();
            const bool debit = pick(2) == 0;
            lines.push_back({leaves[pick(static_cast<int>(leaves.size()))], debit ? x : 0,
                             debit ? 0 : x, randomSummary()});
            net += debit ? cents(x) : -cents(x);
        }
        const std::string last = leaves[pick(static_cast<int>(leaves.size()))];
        if (net > 0)
            lines.push_back({last, 0, net / 100.0, randomSummary()});
        else
            lines.push_back({last, -net / 100.0, 0, randomSummary()});
        const int month = toYmd(session.login.period).month;
        const int days = daysInMonth(toYmd(session.login.period).year, month);
        const double day = firstDayOfMonth(session.login.period) +
                           (closeTexts && pick(4) == 0 ? days - 1 : pick(days));
        addVoucher(day, month * 10000.0 + (++vouchers), lines, reviewed);
    }

    void reviewAll() {
        Action a(*store);
        openSetTable(*store, session, file::kVouchers);
        Table t = store->table(tablePath(session, file::kVouchers));
        const int reviewer = t.position(field::kReviewer);
        for (const Record& r : t.select())
            if (r[reviewer].text().empty()) t.update(r, {{reviewer, std::string("李四")}});
        a.commit();
        store->closeTable();
    }
};

}  // namespace tw::test
