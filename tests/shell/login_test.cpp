// Logging in: the purpose of a login decides whether the opening balances
// follow, a login without the window stops at its first refusal, and no
// table of the set stays open afterwards.
#include "shell_fixture.h"

namespace tw::test {
namespace {

class LoginTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        create(setRequest("华兴", "张三", "mima"));  // not enabled yet
    }
    bool anyTableOpen(const RecordStore& store) const {
        return store.isOpen(tablePath(dataDir(), "华兴", file::kBasicInfo)) ||
               store.isOpen(tablePath(dataDir(), "华兴", file::kUsers));
    }
};

TEST_F(LoginTest, OnlyALoginToWorkLeadsToTheOpeningBalances) {
    for (const LoginPurpose purpose : {LoginPurpose::Work, LoginPurpose::DeleteSet}) {
        Session session;
        session.dataDir = dataDir();
        RecordStore store(dataDir());
        const auto done = logInTo(store, session, "华兴",
                                  {.userName = "张三", .password = "mima", .purpose = purpose});
        ASSERT_TRUE(done.ok) << done.message;
        EXPECT_EQ(done.value, purpose == LoginPurpose::Work);
        EXPECT_TRUE(session.login.loggedIn);
        EXPECT_EQ(session.login.userName, "张三");
        EXPECT_EQ(session.login.permission, 1);
        EXPECT_FALSE(anyTableOpen(store));
    }
}

TEST_F(LoginTest, ALoginWithoutTheWindowStopsAtTheFirstRefusal) {
    Session session;
    session.dataDir = dataDir();
    RecordStore store(dataDir());
    const LoginRequest admin{.userName = "张三", .password = "mima"};
    EXPECT_EQ(logInTo(store, session, "没有这个套账", admin).message, kBasicInfoUnreadable);
    EXPECT_EQ(logInTo(store, session, "华兴", {.userName = "张三", .password = "MIMA"}).message,
              kLoginRefused);
    EXPECT_EQ(logInTo(store, session, "华兴", {.userName = "李四", .password = "mima"}).message,
              kLoginRefused);
    EXPECT_FALSE(session.login.loggedIn);
    EXPECT_TRUE(session.login.userName.empty());
    EXPECT_FALSE(anyTableOpen(store));
}

}  // namespace
}  // namespace tw::test
