// The December close reads 年末将本年利润转入利润分配 from 套账选项: when
// something stands at that name that is no table (an empty file, a folder, a
// link that leads nowhere), the close is refused as for any table it cannot
// read, and nothing is written; when nothing stands there, the option is off.
#include <fstream>
#include <functional>

#include "closing_fixture.h"
#include "shell/set_options.h"

namespace tw::test {
namespace {

class YearEndOptionUnreadable : public ClosingTest {
protected:
    // December 2013, the set's only month, its voucher posted.
    void SetUp() override {
        ClosingTest::SetUp();
        startBooksIn(dayNumber(2013, 12, 1));
        enableWith({{"银行存款", 1000}, {"实收资本", -1000}});
        addVoucher(120001, {{"银行存款", 900}, {"主营业务收入", 0, 900}});
        ASSERT_EQ(post().value, 1);
    }
    std::vector<std::vector<std::vector<Value>>> books() {
        return {rows(file::kLedger), rows(file::kGeneralLedger), rows(file::kBalances),
                rows(file::kVouchers), rows(file::kBasicInfo)};
    }
};

TEST_F(YearEndOptionUnreadable, TheDecemberCloseIsRefusedAndWritesNothing) {
    const auto at = path(file::kSetOptions);
    const std::vector<std::pair<const char*, std::function<void()>>> plants{
        {"empty", [&] { std::ofstream(at, std::ios::binary | std::ios::trunc); }},
        {"a folder", [&] { std::filesystem::create_directory(at); }},
        {"a dead link", [&] { std::filesystem::create_symlink(dataDir / "没有这个文件.edb", at); }},
    };
    const auto before = books();
    for (const auto& [name, plant] : plants) {
        SCOPED_TRACE(name);
        plant();
        const auto closed = close();
        EXPECT_FALSE(closed.ok);
        EXPECT_EQ(closed.message, kUnreadableSet);
        EXPECT_EQ(session.login.period, dayNumber(2013, 12, 1));
        EXPECT_EQ(books(), before);
        std::filesystem::remove(at);
    }
    // Nothing there: the option is off, and the close goes through without
    // the transfer.
    const auto closed = close();
    ASSERT_TRUE(closed.ok) << closed.message;
    for (const auto& v : rows(file::kVouchers)) EXPECT_NE(v[5].text(), "结转本年利润");
}

}  // namespace
}  // namespace tw::test
