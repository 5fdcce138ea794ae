// Finding accounts and phrases by a fragment or by pinyin initials.
#include <gtest/gtest.h>

#include "accounts/account_search.h"
#include "accounts/pinyin.h"

namespace tw {
namespace {

bool finds(const char* text, const char* query) { return findByInitials(text, query).has_value(); }

TEST(PinyinInitials, LevelOneCharactersAreReadFromTheirGbkCode) {
    EXPECT_TRUE(finds("现金", "xj"));
    EXPECT_TRUE(finds("主营业务收入", "zyywsr"));
    // The first and last characters of the level and of a letter's run.
    EXPECT_TRUE(finds("啊", "a"));
    EXPECT_TRUE(finds("芭", "b"));
    EXPECT_TRUE(finds("座", "z"));  // D7F9, the last one
    EXPECT_TRUE(finds("哈", "h"));  // B9FE, first of h right after 过 (g)
    EXPECT_TRUE(finds("过", "g"));
    EXPECT_FALSE(finds("过", "h"));
    // Letters, digits and case.
    EXPECT_TRUE(finds("ABC公司", "abcgs"));
    EXPECT_TRUE(finds("现金", "XJ"));
    EXPECT_TRUE(finds("3号仓库", "3hck"));
    EXPECT_FALSE(finds("现金", ""));
    EXPECT_FALSE(finds("现金", "xjj"));
}

TEST(PinyinInitials, SecondReadingsAndLevelTwoCharactersComeFromTheTable) {
    // 行 sorts under xing in GB2312; in 银行 it is hang.
    EXPECT_TRUE(finds("银行存款", "yhck"));
    EXPECT_TRUE(finds("银行存款", "yxck"));
    EXPECT_TRUE(finds("会计凭证", "kjpz"));
    EXPECT_TRUE(finds("长期借款", "cqjk"));
    // Level 2 is ordered by radical: 圳, 鑫, 晟 and 琪 need the table.
    EXPECT_TRUE(finds("深圳鑫晟科技", "szxskj"));
    EXPECT_TRUE(finds("王琪", "wq"));
    // A traditional form outside GB2312.
    EXPECT_TRUE(finds("銀行", "yh"));
    EXPECT_EQ(pinyinInitials(U'→'), 0u);
    EXPECT_EQ(pinyinInitials(U'a'), 0u);
}

TEST(PinyinInitials, FragmentsAndMixedQueriesMatchConsecutiveCharacters) {
    EXPECT_EQ(findByInitials("银行存款→工商银行", "工商"), 5u);
    EXPECT_EQ(findByInitials("银行存款→工商银行", "gsyh"), 5u);
    EXPECT_EQ(findByInitials("银行存款→工商银行", "银hck"), 0u);
    EXPECT_FALSE(finds("银行存款", "yck")) << "characters are not skipped";
    EXPECT_EQ(matchPositions("银行存款→工商银行", "yh"), (std::vector<std::size_t>{0, 7}));
}

Account account(const char* name, const char* parent = "") {
    Account a;
    a.name = name;
    a.parent = parent;
    a.category = "资产类";
    return a;
}

const std::vector<Account> kChart = {
    account("现金"),
    account("银行存款"),
    account("银行存款→工商银行", "银行存款"),
    account("银行存款→建设银行", "银行存款"),
    account("周转材料"),
    account("应交税费"),
    account("应交税费→应交增值税", "应交税费"),
    account("制造费用"),
    account("应收账款"),
    account("应收账款→深圳鑫达公司", "应收账款"),
};

using Names = std::vector<std::string>;

TEST(AccountSearch, FindsEveryCategoryLeavesFirst) {
    EXPECT_EQ(searchAccounts(kChart, "xj"), Names{"现金"});
    // The parent comes after its sub-accounts.
    EXPECT_EQ(searchAccounts(kChart, "yhck"),
              (Names{"银行存款→工商银行", "银行存款→建设银行", "银行存款"}));
    EXPECT_EQ(searchAccounts(kChart, "gsyh"), Names{"银行存款→工商银行"});
    EXPECT_EQ(searchAccounts(kChart, " 工商 "), Names{"银行存款→工商银行"});
    EXPECT_EQ(searchAccounts(kChart, "szxd"), Names{"应收账款→深圳鑫达公司"});
    EXPECT_TRUE(searchAccounts(kChart, "qqq").empty());
    EXPECT_TRUE(searchAccounts(kChart, "  ").empty());
}

TEST(AccountSearch, AMatchAtTheStartOfANamePartComesFirst) {
    // 增值 lies inside 应交增值税; 周转 and 制造 start their names.
    EXPECT_EQ(searchAccounts(kChart, "zz"), (Names{"周转材料", "制造费用", "应交税费→应交增值税"}));
}

const AccountCodes kCodes = {
    {"现金", "1001"},         {"银行存款", "1002"},        {"银行存款→工商银行", "100201"},
    {"银行存款→建设银行", "100202"}, {"周转材料", "1411"},  {"应交税费", "2221"},
    {"应交税费→应交增值税", "222101"}, {"制造费用", "4101"}, {"应收账款", "1122"},
    {"应收账款→深圳鑫达公司", "112201"},
};

TEST(AccountSearch, TheBeginningOfACodeFindsTheAccountAndWhatLiesBelowIt) {
    EXPECT_EQ(searchAccounts(kChart, "1002", kCodes),
              (Names{"银行存款→工商银行", "银行存款→建设银行", "银行存款"}));
    // The whole code of a leaf: that account alone, picked by Enter.
    EXPECT_EQ(searchAccounts(kChart, "100201", kCodes), Names{"银行存款→工商银行"});
    EXPECT_EQ(searchAccounts(kChart, " 1001 ", kCodes), Names{"现金"});
    // Leaves first, in the order given; within each the code itself first.
    EXPECT_EQ(searchAccounts(kChart, "1", kCodes),
              (Names{"现金", "银行存款→工商银行", "银行存款→建设银行", "周转材料",
                     "应收账款→深圳鑫达公司", "银行存款", "应收账款"}));
    EXPECT_EQ(searchAccounts(kChart, "2221", kCodes), (Names{"应交税费→应交增值税", "应交税费"}));
    // A code is matched from its beginning only, and names still find.
    EXPECT_TRUE(searchAccounts(kChart, "201", kCodes).empty());
    EXPECT_TRUE(searchAccounts(kChart, "1003", kCodes).empty());
    EXPECT_EQ(searchAccounts(kChart, "gsyh", kCodes), Names{"银行存款→工商银行"});
    // Without codes a digit finds nothing of these names.
    EXPECT_TRUE(searchAccounts(kChart, "1002").empty());
}

}  // namespace
}  // namespace tw
