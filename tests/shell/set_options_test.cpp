// A set's own options: no file while nothing was changed, one record per
// option changed, the set password, a damaged file refused, and carried by
// a backup through a restore.
#include <fstream>
#include <functional>

#include "accounts/account_set_fixture.h"
#include "shell/backup.h"
#include "shell/set_options.h"
#include "storage/outcome.h"
#include "storage/store_fixture.h"

namespace tw::test {
namespace {

class SetOptionsTest : public AccountSetTest {
protected:
    Outcome set(const std::string& name, const std::string& value) {
        return runAction(*store, [&] { writeSetOption(*store, session, name, value); });
    }
    std::string read(const std::string& name, const std::string& fallback = "默认") {
        const auto value = runCaught([&] { return readSetOption(*store, session, name, fallback); });
        EXPECT_TRUE(value.ok) << value.message;
        return value.value;
    }
};

TEST_F(SetOptionsTest, NoFileMeansEveryDefaultAndTheFirstChangeMakesIt) {
    EXPECT_EQ(read(kYearEndTransferOption), "默认");
    EXPECT_FALSE(setOptionOn(*store, session, kYearEndTransferOption));
    EXPECT_FALSE(std::filesystem::exists(path(file::kSetOptions)));

    // A change whose action does not commit leaves no file either.
    {
        Action a(*store);
        setOptionOn(*store, session, kYearEndTransferOption, true);
    }
    EXPECT_FALSE(std::filesystem::exists(path(file::kSetOptions)));

    ASSERT_TRUE(set(kYearEndTransferOption, kOptionOn).ok);
    ASSERT_TRUE(set("审核人与制单人不能为同一人", kOptionOn).ok);
    ASSERT_TRUE(set(kYearEndTransferOption, kOptionOff).ok);
    EXPECT_EQ(read(kYearEndTransferOption), "否");
    EXPECT_EQ(read("审核人与制单人不能为同一人"), "是");
    EXPECT_EQ(read("没有设过的选项"), "默认");
    // One record per option, under the set password only.
    EXPECT_EQ(rows(file::kSetOptions),
              (std::vector<std::vector<Value>>{{Value(kYearEndTransferOption), Value("否")},
                                               {Value("审核人与制单人不能为同一人"), Value("是")}}));
    RecordStore other(dataDir);
    EXPECT_FALSE(other.openTable(path(file::kSetOptions), ""));
    EXPECT_FALSE(other.openTable(path(file::kSetOptions), kFixedPassword));
}

TEST_F(SetOptionsTest, ADamagedFileIsRefusedNotReadAsTheDefaults) {
    ASSERT_TRUE(set(kYearEndTransferOption, kOptionOn).ok);
    std::ofstream(path(file::kSetOptions), std::ios::binary | std::ios::trunc) << "not a table";
    const auto value = runCaught([&] { return setOptionOn(*store, session, kYearEndTransferOption); });
    EXPECT_FALSE(value.ok);
    EXPECT_EQ(value.message, kUnreadableSet);
    EXPECT_FALSE(set(kYearEndTransferOption, kOptionOff).ok);
}

// Only a name with nothing at it means "never changed": an empty file (what
// an interrupted first change may leave), a folder or a link that leads
// nowhere may stand for options the set did change, so reading and writing
// refuse as for any table of the set that cannot be read.
TEST_F(SetOptionsTest, AnEmptyFileAFolderOrADeadLinkIsRefusedNotReadAsTheDefaults) {
    const auto at = path(file::kSetOptions);
    using Type = std::filesystem::file_type;
    struct Plant {
        const char* name;
        std::function<void()> make;
        Type type;
    };
    const std::vector<Plant> plants{
        {"empty", [&] { std::ofstream(at, std::ios::binary | std::ios::trunc); }, Type::regular},
        {"a folder", [&] { std::filesystem::create_directory(at); }, Type::directory},
        {"a dead link", [&] { std::filesystem::create_symlink(dataDir / "没有这个文件.edb", at); },
         Type::symlink},
    };
    for (const Plant& p : plants) {
        SCOPED_TRACE(p.name);
        p.make();
        const auto value = runCaught([&] { return setOptionOn(*store, session, kYearEndTransferOption); });
        EXPECT_FALSE(value.ok);
        EXPECT_EQ(value.message, kUnreadableSet);
        EXPECT_FALSE(set(kYearEndTransferOption, kOptionOn).ok);
        EXPECT_EQ(std::filesystem::symlink_status(at).type(), p.type) << "left as it was";
        std::filesystem::remove(at);
        EXPECT_EQ(read(kYearEndTransferOption), "默认") << "nothing there: the default";
    }
}

TEST_F(SetOptionsTest, ABackupCarriesTheOptionsThroughARestore) {
    ASSERT_TRUE(set(kYearEndTransferOption, kOptionOn).ok);
    const TempDir elsewhere;
    const auto archive = elsewhere / "备份.zip";
    const Outcome backed = backupSet(dataDir, session.login.setName, archive);
    ASSERT_TRUE(backed.ok) << backed.message << " " << backed.detail;
    ASSERT_TRUE(set(kYearEndTransferOption, kOptionOff).ok);
    store.reset();
    const Outcome restored = restoreSet(session, archive);
    ASSERT_TRUE(restored.ok) << restored.message << " " << restored.detail;
    store = std::make_unique<RecordStore>(dataDir);
    EXPECT_EQ(read(kYearEndTransferOption), "是");
}

}  // namespace
}  // namespace tw::test
