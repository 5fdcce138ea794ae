// The chart of accounts on a real set: the trees, adding by both modes with
// their refusals, and deleting with the sub-account and used-account checks.

#include <gtest/gtest.h>

#include "accounts/chart.h"
#include "account_set_fixture.h"

namespace tw {
namespace {

using test::AccountSetTest;

class ChartTest : public AccountSetTest {
protected:
    std::vector<Account> chart() { return loadAccounts(*store, session); }

    const Account* find(const std::string& name) {
        accounts_ = chart();
        for (const Account& a : accounts_)
            if (a.name == name) return &a;
        return nullptr;
    }

    // Selects an account the way a click in its tree does.
    void select(const std::string& name) {
        const auto all = chart();
        picker.category = categoryNumber(find(name)->category);
        selectAccount(picker, all, name);
    }

    Result<std::string> add(AddMode mode, const std::string& typed,
                            const std::string& direction = "借方") {
        const AccountPicker& p = picker;
        NewAccount r{mode, typed, direction, p.category, p.selectedAccount, p.selectedParent,
                     p.selectedLevel};
        return runAction(*store, [&] { return addAccount(*store, session, r); });
    }

    std::vector<Account> accounts_;
};

TEST_F(ChartTest, TemplateChartFillsTheFiveTreesWithSubAccountsUnderTheirParents) {
    const ChartTrees trees = buildChartTrees(chart());
    for (const ChartTree& t : trees) EXPECT_FALSE(t.roots.empty());
    const ChartTree& liabilities = trees[1];
    bool found = false;
    for (const auto& item : liabilities.items) {
        if (item.name != "应交税费") continue;
        found = true;
        ASSERT_FALSE(item.children.empty());
        EXPECT_EQ(liabilities.items[item.children[0]].name, "应交税费→应交增值税");
    }
    EXPECT_TRUE(found);
}

TEST_F(ChartTest, TreeLoadingFollowsTheRecordOrder) {
    // A record of an unknown category joins the tree of the record before it; a
    // sub-account whose parent comes later in the table is not shown.
    const std::vector<Account> records = {
        {"负债甲", "", "负债类", "贷方", "", 1},
        {"负债乙", "", "杂项", "贷方", "", 1},
        {"负债甲→子", "负债甲", "负债类", "贷方", "", 2},
        {"孤儿→子", "孤儿", "资产类", "借方", "", 2},
        {"孤儿", "", "资产类", "借方", "", 1},
    };
    const ChartTrees t = buildChartTrees(records);
    ASSERT_EQ(t[1].roots.size(), 2u);
    EXPECT_EQ(t[1].items[t[1].roots[1]].name, "负债乙");
    EXPECT_EQ(t[1].items[t[1].roots[0]].children.size(), 1u);
    ASSERT_EQ(t[0].items.size(), 1u);
    EXPECT_EQ(t[0].items[0].name, "孤儿");
}

TEST_F(ChartTest, SubAccountTakesTheFullNameAndTheParentsLevelPlusOne) {
    select("银行存款");
    const auto out = add(AddMode::SubAccount, "工商银行");
    ASSERT_TRUE(out.ok) << out.message;
    EXPECT_EQ(out.value, "银行存款→工商银行");

    const auto last = rows(file::kAccounts).back();
    EXPECT_EQ(last[0].text(), "银行存款→工商银行");
    EXPECT_EQ(last[1].text(), "银行存款");
    EXPECT_EQ(last[2].text(), "资产类");
    EXPECT_EQ(last[3].text(), "借方");
    EXPECT_EQ(last[4].text(), "");
    EXPECT_EQ(last[5].integer(), find("银行存款")->level + 1);

    // A third level hangs under the second.
    select("银行存款→工商银行");
    ASSERT_TRUE(add(AddMode::SubAccount, "活期").ok);
    EXPECT_EQ(find("银行存款→工商银行→活期")->level, last[5].integer() + 1);

    const ChartTrees trees = buildChartTrees(chart());
    for (const auto& item : trees[0].items)
        if (item.name == "银行存款→工商银行") {
            ASSERT_EQ(item.children.size(), 1u);
            EXPECT_EQ(trees[0].items[item.children[0]].name, "银行存款→工商银行→活期");
        }
}

TEST_F(ChartTest, RefusalsLeaveTheChartUnchanged) {
    select("银行存款");
    ASSERT_TRUE(add(AddMode::SubAccount, "工商银行").ok);
    const auto before = rows(file::kAccounts);

    EXPECT_EQ(add(AddMode::SubAccount, "   ").message, "请输入科目名称 ！");
    EXPECT_EQ(add(AddMode::Sibling, "农业银行", "").message, "请选择，余额方向 ！");  // at the top
    // The typed text is compared with every full name, wherever it is added.
    EXPECT_EQ(add(AddMode::SubAccount, "现金").message, "输入的科目名称和已有科目相同 ！");
    // The full name it would get must be new too.
    EXPECT_EQ(add(AddMode::SubAccount, "工商银行").message, "输入的科目名称和已有科目相同 ！");
    picker.selectedAccount.clear();
    EXPECT_EQ(add(AddMode::SubAccount, "农业银行").message, kChooseAccount);

    EXPECT_EQ(rows(file::kAccounts), before);
}

TEST_F(ChartTest, AnAccountUnderAParentTakesItsDirectionUnlessOneIsChosen) {
    // 短期借款 is a credit account: its sub-accounts, at any depth, and their
    // siblings are credit accounts too when no direction is chosen.
    select("短期借款");
    EXPECT_EQ(inheritedDirection(chart(), AddMode::SubAccount, picker), "贷方");
    ASSERT_TRUE(add(AddMode::SubAccount, "工商银行", "").ok);
    EXPECT_EQ(find("短期借款→工商银行")->direction, "贷方");
    EXPECT_EQ(rows(file::kAccounts).back()[3].text(), "贷方");
    select("短期借款→工商银行");
    ASSERT_TRUE(add(AddMode::SubAccount, "一年期", "").ok);
    EXPECT_EQ(find("短期借款→工商银行→一年期")->direction, "贷方");
    select("短期借款→工商银行");
    ASSERT_TRUE(add(AddMode::Sibling, "建设银行", "").ok);
    EXPECT_EQ(find("短期借款→建设银行")->direction, "贷方");
    // A direction chosen is the account's own.
    select("短期借款");
    ASSERT_TRUE(add(AddMode::SubAccount, "借款利息", "借方").ok);
    EXPECT_EQ(find("短期借款→借款利息")->direction, "借方");
    // A debit parent hands on 借方.
    select("银行存款");
    ASSERT_TRUE(add(AddMode::SubAccount, "工商银行", "").ok);
    EXPECT_EQ(find("银行存款→工商银行")->direction, "借方");

    // At the top there is no parent to take it from.
    select("短期借款");
    EXPECT_EQ(picker.selectedParent, "");
    EXPECT_EQ(inheritedDirection(chart(), AddMode::Sibling, picker), "");
    const auto before = rows(file::kAccounts);
    EXPECT_EQ(add(AddMode::Sibling, "长期借款二", "").message, "请选择，余额方向 ！");
    EXPECT_EQ(rows(file::kAccounts), before);
}

TEST_F(ChartTest, SameOwnNameUnderAnotherParentAndTrailingBlankAreAccepted) {
    select("银行存款");
    ASSERT_TRUE(add(AddMode::SubAccount, "工商银行").ok);
    select("其他货币资金");
    EXPECT_TRUE(add(AddMode::SubAccount, "工商银行").ok);
    select("应收账款");
    // Accepted, without the blank: "甲公司 " and "甲公司" are one account.
    const auto spaced = add(AddMode::SubAccount, "甲公司 ");
    ASSERT_TRUE(spaced.ok);
    EXPECT_EQ(spaced.value, "应收账款→甲公司");
}

TEST_F(ChartTest, BlanksAroundANameAreDroppedAndAnArrowInItIsRefused) {
    // "→" joins full names: a top-level "现金→伪" would read as a sub-account
    // of 现金 everywhere a full name is split.
    picker.category = 1;
    const auto before = rows(file::kAccounts);
    for (const char* typed : {"现金→伪", " 伪→", "→"})
        EXPECT_EQ(add(AddMode::Sibling, typed).message, "科目名称 不能含有“→”！") << typed;
    select("银行存款");
    EXPECT_EQ(add(AddMode::SubAccount, "工行→活期").message, "科目名称 不能含有“→”！");
    EXPECT_EQ(rows(file::kAccounts), before);
    EXPECT_FALSE(buildChartTrees(chart())[0].items.empty());
    for (const Account& a : chart()) EXPECT_NE(a.parent, "现金") << a.name;

    // Half- and full-width blanks and tabs around a name are never part of it.
    const auto made = add(AddMode::SubAccount, " \t　工商银行　 ");
    ASSERT_TRUE(made.ok) << made.message;
    EXPECT_EQ(made.value, "银行存款→工商银行");
    ASSERT_NE(find("银行存款→工商银行"), nullptr);
    EXPECT_EQ(add(AddMode::SubAccount, "工商银行 ").message, "输入的科目名称和已有科目相同 ！");
}

TEST_F(ChartTest, SiblingUsesTheRememberedParentAndLevelAfterATabChange) {
    // Nothing selected yet in this run: a top-level account of level 0.
    picker.category = 4;
    const auto top = add(AddMode::Sibling, "劳务成本", "借方");
    ASSERT_TRUE(top.ok);
    EXPECT_EQ(find("劳务成本")->parent, "");
    EXPECT_EQ(find("劳务成本")->category, "成本类");
    EXPECT_EQ(find("劳务成本")->level, 0);

    select("应交税费→应交增值税");
    changeCategory(picker, 2);  // leaves and comes back: selection cleared
    EXPECT_EQ(picker.selectedAccount, "");
    const auto sib = add(AddMode::Sibling, "应交城建税", "贷方");
    ASSERT_TRUE(sib.ok);
    const Account* a = find("应交税费→应交城建税");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->parent, "应交税费");
    EXPECT_EQ(a->level, 2);
    EXPECT_EQ(a->direction, "贷方");
}

TEST_F(ChartTest, SiblingRefusesARememberedParentOfAnotherCategory) {
    // The account would be stored under 应交税费 but shown in no tree.
    select("应交税费→应交增值税");
    changeCategory(picker, 1);
    const auto before = rows(file::kAccounts);
    EXPECT_EQ(add(AddMode::Sibling, "某某").message, kChooseAccount);
    EXPECT_EQ(rows(file::kAccounts), before);
}

TEST_F(ChartTest, UsedAccountCannotBeDeleted) {
    const std::string posted = " 科目，已经被登账！无法删除！";
    // On a voucher line (科目3).
    std::vector<Value> voucher;
    for (const FieldDef& f : vouchersSchema()) voucher.push_back(emptyValue(f.type));
    voucher[11] = "短期投资";
    append(file::kVouchers, voucher);
    EXPECT_EQ(deleteOne("短期投资").message, "短期投资" + posted);
    // As the counter account of a journal entry.
    append(file::kJournal, {0.0, "现金", "收", 10.0, 10.0, "张三", "收到", "应收票据"});
    EXPECT_EQ(deleteOne("应收票据").message, "应收票据" + posted);
    // On a ledger row.
    append(file::kLedger, {0.0, 1, "x", "应收股利", 5.0, 0.0, "借", 5.0});
    EXPECT_EQ(deleteOne("应收股利").message, "应收股利" + posted);
    // Marked 真 in the chart.
    {
        Action a(*store);
        ASSERT_TRUE(store->openTable(path(file::kAccounts), session.login.setPassword));
        ASSERT_TRUE(store->findRecord(
            [](const RecordView& r) { return r.text("科目名称") == "应收利息"; }));
        store->writeField("是否启用", "真");
        a.commit();
        store->closeTable();
    }
    EXPECT_EQ(deleteOne("应收利息").message, "应收利息" + posted);
    for (const char* name : {"短期投资", "应收票据", "应收股利", "应收利息"})
        EXPECT_NE(find(name), nullptr) << name;
}

}  // namespace
}  // namespace tw
