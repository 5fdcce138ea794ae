// An account that becomes a parent loses its opening amounts (a parent takes
// none of its own); the operation names the accounts cleared, so that the
// user is told instead of finding the amount gone.
#include <gtest/gtest.h>

#include "accounts/chart.h"
#include "accounts/opening_balances.h"
#include "account_set_fixture.h"

namespace tw {
namespace {

class OpeningClearedTest : public test::AccountSetTest {
protected:
    void saveAmounts(const std::string& account, double debit, double credit) {
        const auto saved = runAction(*store, [&] {
            return setOpeningAmounts(*store, session, account, debit, credit);
        });
        ASSERT_TRUE(saved.ok) << saved.message;
    }
    // Adds a sub-account as the setting window does; returns the accounts cleared.
    std::vector<std::string> addUnder(const std::string& parent, const std::string& name) {
        NewAccount r;
        r.mode = AddMode::SubAccount;
        r.typed = name;
        r.direction = "借方";
        r.selectedAccount = parent;
        for (const Account& a : loadAccounts(*store, session))
            if (a.name == parent) r.category = categoryNumber(a.category);
        std::vector<std::string> cleared{"not set"};
        const auto added =
            runAction(*store, [&] { return addAccount(*store, session, r, &cleared); });
        EXPECT_TRUE(added.ok) << added.message;
        return cleared;
    }
    std::string savedDebit(const std::string& account) {
        for (const OpeningRow& r : loadOpeningList(*store, session))
            if (r.account == account) return r.debit;
        return "no row";
    }
};

TEST_F(OpeningClearedTest, ANewSubAccountNamesTheParentWhoseAmountWasCleared) {
    saveAmounts("现金", 80, 0);
    EXPECT_EQ(addUnder("现金", "零用金"), std::vector<std::string>{"现金"});
    EXPECT_EQ(savedDebit("现金"), "");
    // The second child clears nothing more; a parent without amounts is not named.
    EXPECT_TRUE(addUnder("现金", "备用金").empty());
    EXPECT_TRUE(addUnder("银行存款", "工商银行").empty());
}

TEST_F(OpeningClearedTest, AnEnabledSetHasNoOpeningListToClear) {
    saveAmounts("现金", 80, 0);
    saveAmounts("短期借款", 0, 80);
    ASSERT_TRUE(runAction(*store, [&] {
                    enableSet(*store, session, loadOpeningList(*store, session));
                }).ok);
    EXPECT_TRUE(addUnder("现金", "零用金").empty());
}

TEST(OpeningClearedMessage, OneLinePerAccount) {
    EXPECT_EQ(openingClearedMessage({}), "");
    EXPECT_EQ(openingClearedMessage({"现金"}),
              "科目 现金 已有下级科目，其期初金额已清除，请在下级科目中录入。");
    EXPECT_EQ(openingClearedMessage({"现金", "银行存款→工商银行"}),
              "科目 现金 已有下级科目，其期初金额已清除，请在下级科目中录入。\n"
              "科目 银行存款→工商银行 已有下级科目，其期初金额已清除，请在下级科目中录入。");
}

}  // namespace
}  // namespace tw
