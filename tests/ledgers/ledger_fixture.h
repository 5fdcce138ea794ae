#pragma once
// A real account set whose ledgers and vouchers are written directly, as
// enabling, posting and closing would leave them, for the ledger page, its
// export and voucher printing.

#include <string>
#include <vector>

#include "accounts/account_set_fixture.h"
#include "storage/outcome.h"
#include "storage/schemas.h"

namespace tw::test {

class LedgerTest : public AccountSetTest {
protected:
    void SetUp() override {
        AccountSetTest::SetUp();
        enableEmpty();
    }
    // A row of 账库 or 总账库, stored as the ledgers store it: credits
    // negative, the balance signed.
    struct Row {
        double date;
        int number;
        std::string summary;
        std::string account;
        double debit;
        double credit;
        std::string side;
        double balance;
    };

    void writeRows(const char* file, const std::vector<Row>& rows) {
        Action a(*store);
        openSetTable(*store, session, file);
        Table t = store->table(path(file));
        for (const Row& r : rows)
            t.append({r.date, r.number, r.summary, r.account, r.debit, r.credit, r.side, r.balance});
        a.commit();
        store->closeTable(path(file));
    }

    // One page of 凭证库: the fields by name, the rest empty.
    void writeVoucherPage(const std::vector<std::pair<std::string, Value>>& fields) {
        Action a(*store);
        openSetTable(*store, session, file::kVouchers);
        Table t = store->table(path(file::kVouchers));
        std::vector<Value> values;
        for (const FieldDef& f : vouchersSchema()) values.push_back(emptyValue(f.type));
        for (const auto& [name, value] : fields) values[t.position(name)] = value;
        t.append(values);
        a.commit();
        store->closeTable(path(file::kVouchers));
    }

    static double day(int y, int m, int d) { return dayNumber(y, m, d); }
};

}  // namespace tw::test
