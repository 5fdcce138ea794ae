#pragma once
// A real account set (started 2013-3-1) with vouchers written straight into
// 凭证库, and the posting and closing operations run as the window runs them:
// one action each.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "accounts/account_set_fixture.h"
#include "accounts/opening_balances.h"
#include "closing/carry_forward.h"
#include "closing/period_close.h"
#include "closing/posting.h"
#include "storage/dates.h"
#include "storage/number_text.h"
#include "storage/outcome.h"
#include "storage/schemas.h"

namespace tw::test {

struct Line {
    std::string account;
    double debit = 0;
    double credit = 0;
    std::string summary = "摘要";
};

class ClosingTest : public AccountSetTest {
protected:
    // Runs SQL on a table file of the set, as another program could.
    void runSql(const char* file, const std::string& statement) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(path(file).c_str(), &db), SQLITE_OK);
        char* err = nullptr;
        EXPECT_EQ(sqlite3_exec(db, statement.c_str(), nullptr, nullptr, &err), SQLITE_OK)
            << (err ? err : "");
        sqlite3_free(err);
        sqlite3_close(db);
    }

    // Moves the start of the books (and the period) to `period`, the first
    // day of a month, before the set is enabled.
    void startBooksIn(double period) {
        session.login.period = period;
        Action a(*store);
        openSetTable(*store, session, file::kBasicInfo);
        store->writeField(field::kStartDate, period);
        store->writeField(field::kPeriod, period);
        a.commit();
        store->closeTable();
    }

    // One voucher page of the open month (or `date`), unposted.
    void addVoucher(double date, double number, const std::vector<Line>& lines,
                    bool reviewed = true) {
        ASSERT_LE(lines.size(), 4u);
        Action a(*store);
        openSetTable(*store, session, file::kVouchers);
        Table t = store->table(tablePath(session, file::kVouchers));
        std::vector<Value> page;
        for (const FieldDef& f : vouchersSchema()) page.push_back(emptyValue(f.type));
        const auto at = [&](const std::string& f) { return t.position(f); };
        page[at(field::kMonthNumber)] = number;
        page[at(field::kPage)] = 1;
        page[at(field::kPageCount)] = 1;
        page[at(field::kDate)] = date;
        double debit = 0, credit = 0;
        for (size_t i = 0; i < lines.size(); ++i) {
            const int n = static_cast<int>(i) + 1;
            page[at(field::lineSummary(n))] = lines[i].summary;
            page[at(field::lineAccount(n))] = lines[i].account;
            page[at(field::lineDebit(n))] = lines[i].debit;
            page[at(field::lineCredit(n))] = lines[i].credit;
            debit += lines[i].debit;
            credit += lines[i].credit;
        }
        page[at(field::kDebitTotal)] = debit;
        page[at(field::kCreditTotal)] = credit;
        page[at(field::kPreparer)] = std::string("张三");
        page[at(field::kReviewer)] = std::string(reviewed ? "李四" : "");
        t.append(page);
        a.commit();
        store->closeTable();
    }
    void addVoucher(double number, const std::vector<Line>& lines, bool reviewed = true) {
        addVoucher(lastDayOfMonth(session.login.period), number, lines, reviewed);
    }

    // Enables the set with these opening amounts (debit positive, credit negative).
    void enableWith(const std::vector<std::pair<std::string, double>>& openings) {
        std::vector<OpeningRow> rows;
        ASSERT_TRUE(runAction(*store, [&] { rows = loadOpeningList(*store, session); }).ok);
        for (const auto& [account, amount] : openings)
            for (OpeningRow& r : rows)
                if (r.account == account)
                    setRowAmounts(r, amount > 0 ? amount : 0.0, amount < 0 ? -amount : 0.0);
        const Outcome out = runAction(*store, [&] {
            saveOpeningList(*store, session, rows);
            enableSet(*store, session, rows);
        });
        ASSERT_TRUE(out.ok) << out.message;
    }

    Result<int> post() {
        return runAction(*store, [&] { return postReviewedVouchers(*store, session); });
    }
    Outcome undoPost() { return runAction(*store, [&] { undoPosting(*store, session); }); }
    Result<Closed> close() {
        auto out = runAction(*store, [&] { return closePeriod(*store, session); });
        if (out.ok) session.login.period = out.value.period;
        return out;
    }
    Result<Reopened> reopen() {
        auto out = runAction(*store, [&] { return undoClose(*store, session); });
        if (out.ok) session.login.period = out.value.period;
        return out;
    }

    // The rows of a ledger-layout table as (date, no, summary, account, debit,
    // credit, side, balance) texts, for readable comparisons.
    std::vector<std::string> ledgerText(const char* file) {
        std::vector<std::string> out;
        for (const auto& r : rows(file)) {
            std::string line = formatDate(r[0].number()) + " " + std::to_string(r[1].integer());
            for (int i = 2; i < 8; ++i)
                line += " " + (r[i].isText() ? r[i].text() : plainDecimal(r[i].number()));
            out.push_back(line);
        }
        return out;
    }
    // The rows of `file` whose summary is `summary`, as text.
    std::vector<std::string> ledgerText(const char* file, const std::string& summary) {
        std::vector<std::string> out;
        for (const std::string& l : ledgerText(file))
            if (l.find(" " + summary + " ") != std::string::npos) out.push_back(l);
        return out;
    }
};

}  // namespace tw::test
