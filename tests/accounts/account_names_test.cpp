// Full account names split and compared by their levels, and the name tree.
#include <gtest/gtest.h>

#include <map>

#include "accounts/account_names.h"
#include "accounts/chart.h"

namespace tw {
namespace {

const std::string kDeep = "银行存款→工商银行→活期";

TEST(AccountNames, LevelsOfATopLevelAndOfADeepName) {
    EXPECT_EQ(topLevelAccount("银行存款"), "银行存款");
    EXPECT_EQ(topLevelAccount(kDeep), "银行存款");
    EXPECT_EQ(parentOf("银行存款"), "");
    EXPECT_EQ(parentOf(kDeep), "银行存款→工商银行");
    EXPECT_EQ(ownNameOf("银行存款"), "银行存款");
    EXPECT_EQ(ownNameOf(kDeep), "活期");
    EXPECT_EQ(childName("", "现金"), "现金") << "a top-level account has no separator";
    EXPECT_EQ(childName("银行存款→工商银行", "活期"), kDeep);
    EXPECT_EQ(nameParts(kDeep), (std::vector<std::string_view>{"银行存款", "工商银行", "活期"}));
    EXPECT_TRUE(isTopLevel("银行存款"));
    EXPECT_FALSE(isTopLevel(kDeep));
}

TEST(AccountNames, ANameThatBeginsWithAnotherIsNotBelowIt) {
    EXPECT_FALSE(isBelow("银行存款二", "银行存款"));
    EXPECT_FALSE(isBelow("银行存款", "银行存款")) << "strictly below";
    EXPECT_TRUE(isBelow(kDeep, "银行存款"));
    EXPECT_TRUE(isBelow(kDeep, "银行存款→工商银行"));
    EXPECT_FALSE(isBelow("银行存款→工商银行", kDeep));
}

TEST(AccountNames, MapEntriesAtOrBelowSkipNamesThatSortAmongThem) {
    // "银行存款A" sorts between 银行存款 and its sub-accounts, 银行存款二 after them.
    const std::map<std::string, int> byName = {{"现金", 1},       {"银行存款", 2},
                                               {"银行存款A", 3},  {"银行存款→工商银行", 4},
                                               {kDeep, 5},        {"银行存款二", 6}};
    std::vector<int> seen;
    forEachAtOrBelow(byName, "银行存款", [&](const std::string&, int v) { seen.push_back(v); });
    EXPECT_EQ(seen, (std::vector<int>{2, 4, 5}));
}

TEST(AccountNames, LeavesAreTakenByNameAtAnyDepth) {
    const std::vector<std::string> names = {kDeep, "银行存款", "银行存款→工商银行", "银行存款二"};
    EXPECT_EQ(leavesAtOrBelow(names, "银行存款"), (std::vector<std::string>{kDeep}));
    EXPECT_EQ(leavesAtOrBelow(names, "银行存款二"), (std::vector<std::string>{"银行存款二"}));
    EXPECT_TRUE(leavesAtOrBelow(names, "银行").empty()) << "whole names only";
}

TEST(AccountNames, ChartRecordsAtOrBelowKeepTableOrder) {
    const std::vector<Account> chart = {{"本年利润", "", "权益类", "贷方", "", 1},
                                        {"本年利润二", "", "权益类", "贷方", "", 1},
                                        {"本年利润→甲", "本年利润", "权益类", "贷方", "", 2}};
    EXPECT_EQ(accountsAtOrBelow(chart, "本年利润"), (std::vector<std::string>{"本年利润", "本年利润→甲"}));
    EXPECT_TRUE(hasSubAccounts(chart, "本年利润"));
    EXPECT_FALSE(hasSubAccounts(chart, "本年利润二"));
    EXPECT_TRUE(inChart(chart, "本年利润→甲"));
    EXPECT_FALSE(inChart(chart, "甲"));
}

TEST(NameTree, AChildBeforeItsParentIsHiddenOrPlacedDepthFirst) {
    const std::vector<NamedRecord> records = {
        {"乙→子", "乙"}, {"甲", ""}, {"乙", ""}, {"甲→子", "甲"}, {"乙→子→孙", "乙→子"}};
    const NameTree hidden = buildNameTree(records, EarlyChildren::Hidden);
    ASSERT_EQ(hidden.items.size(), 3u);
    EXPECT_EQ(hidden.items[2].name, "甲→子");
    EXPECT_EQ(hidden.items[2].record, 3u);

    const NameTree placed = buildNameTree(records, EarlyChildren::Placed);
    std::vector<std::string> order;
    for (const NameTree::Item& item : placed.items) order.push_back(item.name);
    EXPECT_EQ(order, (std::vector<std::string>{"甲", "甲→子", "乙", "乙→子", "乙→子→孙"}));
    EXPECT_EQ(placed.roots, (std::vector<int>{0, 2}));
    EXPECT_EQ(placed.items[3].record, 0u);
}

TEST(NameTree, ARecordNamedAsItsOwnParentEndsThePath) {
    // A damaged chart must not send the walk round in a circle.
    const std::vector<NamedRecord> records = {{"甲", ""}, {"甲", "甲"}};
    EXPECT_EQ(buildNameTree(records, EarlyChildren::Placed).items.size(), 1u);
}

}  // namespace
}  // namespace tw
