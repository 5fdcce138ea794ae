#pragma once
// Books closed month by month for the statements: a real set, its vouchers
// posted and closed by the real operations, and the statements read back.
#include <string>

#include "closing/closing_fixture.h"
#include "statements/account_balances.h"
#include "statements/statement.h"

namespace tw::test {

class StatementTest : public ClosingTest {
protected:
    // Moves the start of the books (and the period) to the first day of y-m,
    // before the set is enabled.
    void startIn(int year, int month) { startBooksIn(dayNumber(year, month, 1)); }

    // A top-level account of category 1..5 ("借方" or "贷方").
    void addTop(const std::string& name, int category, const char* direction) {
        NewAccount r;
        r.mode = AddMode::Sibling;
        r.typed = name;
        r.direction = direction;
        r.category = category;
        r.selectedLevel = 1;
        const auto added = runAction(*store, [&] { return addAccount(*store, session, r); });
        ASSERT_TRUE(added.ok) << name << " " << added.message;
    }

    // Posts the month's vouchers and closes it.
    void closeMonth() {
        ASSERT_TRUE(post().ok);
        const auto closed = close();
        ASSERT_TRUE(closed.ok) << closed.message;
    }

    YearMonth month() const { return YearMonth::of(session.login.period); }
    double nextNumber() { return month().month * 10000.0 + (++numbered_); }
    // A voucher of two lines: `debit` debited, `credit` credited with `amount`.
    void book(const std::string& debit, const std::string& credit, double amount,
              const std::string& summary = "业务") {
        addVoucher(firstDayOfMonth(session.login.period) + 9, nextNumber(),
                   {{debit, amount, 0, summary}, {credit, 0, amount, summary}});
    }

    Result<Statement> sheetOf(YearMonth m) {
        return runCaught([&] { return balanceSheet(*store, session, m); });
    }
    Result<Statement> incomeOf(YearMonth m) {
        return runCaught([&] { return incomeStatement(*store, session, monthPeriod(m)); });
    }
    Statement sheet(YearMonth m) {
        auto made = sheetOf(m);
        EXPECT_TRUE(made.ok) << made.message;
        return made.value;
    }
    Statement income(YearMonth m) {
        auto made = incomeOf(m);
        EXPECT_TRUE(made.ok) << made.message;
        return made.value;
    }

private:
    int numbered_ = 0;
};

}  // namespace tw::test
