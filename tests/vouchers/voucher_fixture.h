#pragma once
// Vouchers on a real set logged in in March 2013: made through the core
// operations, or written by hand for months that are already closed.

#include <fstream>
#include <iterator>

#include "accounts/account_set_fixture.h"
#include "storage/number_text.h"
#include "vouchers/voucher_entry.h"
#include "vouchers/voucher_page.h"

namespace tw::test {

// Every page of 凭证库 in record order.
inline std::vector<VoucherPage> storedVoucherPages(RecordStore& store, const Session& session) {
    const auto read = runCaught([&] {
        const VoucherTable vouchers(store, session);
        return vouchers.pages({});
    });
    EXPECT_TRUE(read.ok) << read.message;
    return read.value;
}

class VoucherTest : public AccountSetTest {
protected:
    void SetUp() override {
        AccountSetTest::SetUp();
        enableEmpty();
    }
    // A voucher of the current month, as `voucher add` makes it.
    Result<double> add(int day, std::vector<EntryLine> lines, std::int64_t attachments = 0) {
        return runAction(*store, [&] {
            return addVoucher(*store, session, {day, attachments, std::move(lines)});
        });
    }
    double simple(int day, double amount) {
        const auto made = add(day, {{"提现", "现金", amount, 0}, {"提现", "银行存款", 0, amount}});
        EXPECT_TRUE(made.ok) << made.message << " " << made.detail;
        return made.value;
    }
    // A voucher of `pages` pages with one debit and one credit line on the last.
    double multiPage(int day, int pages, double amount) {
        std::vector<EntryLine> lines;
        for (int i = 0; i < 4 * (pages - 1); ++i) lines.push_back({"摘要", "现金", 0, 0});
        lines.push_back({"收款", "现金", amount, 0});
        lines.push_back({"收款", "主营业务收入", 0, amount});
        const auto made = add(day, lines);
        EXPECT_TRUE(made.ok) << made.message << " " << made.detail;
        return made.value;
    }

    // Pages written as they stand (closed months, foreign data), in one action.
    void writePages(const std::vector<VoucherPage>& pages) {
        const Outcome out = runAction(*store, [&] {
            VoucherTable vouchers(*store, session);
            for (const VoucherPage& p : pages) vouchers.append(p);
        });
        ASSERT_TRUE(out.ok) << out.message << " " << out.detail;
    }
    static VoucherPage page(double date, double number, int k, int n, double debit, double credit,
                            const std::string& poster = {}) {
        VoucherPage p;
        p.date = date;
        p.number = number;
        p.page = k;
        p.pageCount = n;
        p.lines[0] = {"摘要", "现金", debit, 0};
        p.lines[1] = {"摘要", "银行存款", 0, credit};
        if (k == n) p.debitTotal = debit, p.creditTotal = credit;
        p.preparer = "张三";
        if (!poster.empty()) p.reviewer = p.poster = poster;
        return p;
    }

    std::vector<VoucherPage> all() { return storedVoucherPages(*store, session); }
    // "30001 1/2" per page, in record order.
    std::vector<std::string> numbers() {
        std::vector<std::string> out;
        for (const VoucherPage& p : all())
            out.push_back(plainDecimal(p.number) + " " + std::to_string(p.page) + "/" +
                          std::to_string(p.pageCount));
        return out;
    }
    std::string voucherBytes() const {
        std::ifstream in(path(file::kVouchers), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

}  // namespace tw::test
