// Set names that cannot be folder names are refused as such, not as names
// already taken: "." and ".." (and paths through them) exist as directories.
#include "shell_fixture.h"

namespace tw::test {
namespace {

class SetNameTest : public ShellTest {};

TEST_F(SetNameTest, DotAndDotDotAreNoNamesAndNotDuplicates) {
    const auto before = entryNames(dataDir());
    EXPECT_EQ(createAccountSet(dataDir(), setRequest("..")).message,
              "套账名称 不能是“.”或“..”，请更换！");
    EXPECT_EQ(createAccountSet(dataDir(), setRequest(" . ")).message,
              "套账名称 不能是“.”或“..”，请更换！");
    // Checked before the administrator, as the duplicate check is.
    EXPECT_EQ(createAccountSet(dataDir(), setRequest("..", "")).message,
              "套账名称 不能是“.”或“..”，请更换！");
    EXPECT_EQ(entryNames(dataDir()), before);
}

TEST_F(SetNameTest, APathThroughAnExistingSetIsAFileNameCharacterNotADuplicate) {
    create(setRequest("华兴"));
    const auto before = entryNames(dataDir());
    const std::string badChar = "套账名称 不能含有 \\ / : * ? \" < > | 这九个字符！";
    EXPECT_EQ(createAccountSet(dataDir(), setRequest("华兴/..")).message, badChar);
    EXPECT_EQ(createAccountSet(dataDir(), setRequest("/..")).message, badChar);
    EXPECT_EQ(entryNames(dataDir()), before);
    // A real duplicate is still one.
    EXPECT_EQ(createAccountSet(dataDir(), setRequest("华兴 ")).message,
              "华兴  和已有套账同名，请更换！");
}

}  // namespace
}  // namespace tw::test
