// The summary-phrase library on a real set: categories and phrases added,
// renamed and deleted, with the refusals of a wrong selection.

#include <gtest/gtest.h>

#include "accounts/phrases.h"
#include "account_set_fixture.h"

namespace tw {
namespace {

class PhrasesTest : public test::AccountSetTest {
protected:
    void SetUp() override {
        AccountSetTest::SetUp();
        // Start from an empty library, as a set whose phrases were all removed.
        Action a(*store);
        ASSERT_TRUE(store->openTable(path(file::kPhrases), ""));
        store->clearTable();
        a.commit();
        store->closeTable();
    }

    std::vector<Phrase> library() { return loadPhrases(*store, session); }
    void select(const std::string& text) { selectPhrase(picker, library(), text); }
    // Each change as the summary window makes it: one action.
    template <class Change>
    Result<bool> change(Change&& write) {
        return runAction(*store, write);
    }
    Result<bool> addPhraseText(const std::string& text) {
        return change([&] { return addPhrase(*store, session, picker, text); });
    }

    PhrasePicker picker;

    // The tree as "category/phrase" lines, roots first in order.
    std::vector<std::string> shown() {
        const PhraseTree tree = buildPhraseTree(library());
        std::vector<std::string> out;
        for (int r : tree.roots) {
            out.push_back(tree.items[r].name);
            for (int c : tree.items[r].children)
                out.push_back(tree.items[r].name + "/" + tree.items[c].name);
        }
        return out;
    }
};

TEST_F(PhrasesTest, RenameKeepsTheCategoryFieldSoPhrasesOfARenamedCategoryDisappear) {
    ASSERT_TRUE(change([&] { return addCategory(*store, session, "收款"); }).ok);
    select("收款");
    ASSERT_TRUE(addPhraseText("收到货款").ok);
    ASSERT_TRUE(change([&] { return renamePhrase(*store, session, "收到货款", "收到预付款"); }).ok);
    EXPECT_EQ(shown(), (std::vector<std::string>{"收款", "收款/收到预付款"}));

    ASSERT_TRUE(change([&] { return renamePhrase(*store, session, "收款", "进账"); }).ok);
    EXPECT_EQ(shown(), (std::vector<std::string>{"进账"}));
    EXPECT_EQ(library()[1].category, "收款");
    EXPECT_EQ(change([&] { return renamePhrase(*store, session, "", "x"); }).message, kChooseToRename);
}

TEST_F(PhrasesTest, SameTextInTwoCategoriesActsOnTheFirstRecord) {
    for (const char* c : {"收款", "付款"}) {
        ASSERT_TRUE(change([&] { return addCategory(*store, session, c); }).ok);
        select(c);
        ASSERT_TRUE(addPhraseText("转账").ok);
    }
    ASSERT_TRUE(change([&] { return renamePhrase(*store, session, "转账", "转账收入"); }).ok);
    EXPECT_EQ(shown(), (std::vector<std::string>{"收款", "收款/转账收入", "付款", "付款/转账"}));
    ASSERT_TRUE(change([&] { return deletePhrase(*store, session, "转账"); }).ok);
    EXPECT_EQ(shown(), (std::vector<std::string>{"收款", "收款/转账收入", "付款"}));
}

TEST_F(PhrasesTest, PhraseBeforeItsCategoryIsNotShown) {
    const std::vector<Phrase> records = {{"早到", "后来"}, {"后来", ""}, {"正常", "后来"}};
    const PhraseTree tree = buildPhraseTree(records);
    ASSERT_EQ(tree.roots.size(), 1u);
    ASSERT_EQ(tree.items[0].children.size(), 1u);
    EXPECT_EQ(tree.items[tree.items[0].children[0]].name, "正常");
}

}  // namespace
}  // namespace tw
