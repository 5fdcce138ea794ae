// The month report's files from a shell: where they may go, and what a full
// disk leaves of them. The workbook is the user's (in $HOME without --out,
// never in the account-set directory), 总账.xls and 分账.xls are the set's.
// The three files are one unit: all the earlier ones or all the new ones,
// never a mixture (report_kill_test.cpp kills it).
#include <gtest/gtest.h>

#include <memory>

#include "platform/xlsx_reader.h"
#include "support/scoped_home.h"
#include "user_files_fixture.h"

namespace tw::test {
namespace {

const std::vector<std::string> kMarch{"report", "--year", "2013", "--month", "3"};

std::vector<std::string> marchTo(const std::filesystem::path& out) {
    auto args = kMarch;
    args.insert(args.end(), {"--out", out.string()});
    return args;
}

std::string insideMessage(const std::filesystem::path& p) {
    return "“" + p.string() + "”在套账目录中，不能用来保存导出的文件，请另选位置！\n";
}

class ReportFilesTest : public ClosedMonthCli {
protected:
    void SetUp() override {
        ClosedMonthCli::SetUp();
        if (HasFatalFailure()) return;
        home_ = std::make_unique<ScopedHome>(home.path());
        // Earlier files of every name the report writes, where it writes them.
        for (const char* name : {"报表-2013-03.xlsx", "总账.xls", "分账.xls"})
            writeBytes(placeOf(name), std::string("earlier ") + name);
    }
    void TearDown() override {
        home_.reset();
        ClosedMonthCli::TearDown();
    }
    // The workbook goes into the home folder, the ledger files into the set folder.
    std::filesystem::path placeOf(const std::string& name) const {
        return name.starts_with("报表-") ? home / name : inSet(name);
    }
    bool isEarlier(const char* name) {
        return fileBytes(placeOf(name)) == std::string("earlier ") + name;
    }

    TempDir home;  // $HOME of the commands

private:
    std::unique_ptr<ScopedHome> home_;
};

TEST_F(ReportFilesTest, AnOutputInsideTheDirectoryIsRefusedAndChangesNothing) {
    // Over a table, the store's anchor, the lock, another set's report:
    // each would break the books.
    ASSERT_EQ(runCli(dataDir, {"set", "create", "别家", "--admin", "李四", "--password", "2",
                               "--start", "2013-03-01"})
                  .status,
              0);
    const auto before = fileTree(dataDir);
    for (const auto& target :
         {inSet("账库.edb"), inSet("基本信息"), dataDir / ".tallowick-actions.db",
          dataDir / ".tallowick-lock", dataDir / "别家" / "报表-2013-03.xlsx", inSet("新.xlsx"),
          dataDir / "报表.xlsx", inSet("总账.xls")}) {
        SCOPED_TRACE(target.string());
        const auto r = run(marchTo(target));
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, insideMessage(target));
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(fileTree(dataDir), before);
    }
    // A path that reaches the set through a link is inside it too.
    std::filesystem::create_directory_symlink(setDir(), outside("链接"));
    const auto r = run(marchTo(outside("链接") / "凭证库.edb"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(fileTree(dataDir), before);
}

// A report workbook written into the set folder by an earlier version stays
// as it was: the workbook no longer goes there, not even under its own name.
TEST_F(ReportFilesTest, TheSetFolderTakesNoWorkbookAndAFileOutsideIsWritten) {
    writeBytes(inSet("报表-2013-03.xlsx"), "earlier 报表-2013-03.xlsx");
    const auto before = fileTree(dataDir);
    auto r = run(marchTo(inSet("报表-2013-03.xlsx")));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, insideMessage(inSet("报表-2013-03.xlsx")));
    EXPECT_EQ(fileTree(dataDir), before);
    r = run(marchTo(outside("三月.xlsx")));
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* name : {"总账.xls", "分账.xls"}) EXPECT_FALSE(isEarlier(name));
    EXPECT_EQ(fileBytes(inSet("报表-2013-03.xlsx")), "earlier 报表-2013-03.xlsx");
    std::string error;
    const auto cells = readXlsxSheet(outside("三月.xlsx"), 1, &error);
    ASSERT_TRUE(cells) << error;
    EXPECT_EQ(cells->at("A1"), "科目汇总表");
}

TEST_F(ReportFilesTest, WithoutOutTheWorkbookGoesIntoTheHomeFolder) {
    const auto r = run(kMarch);
    ASSERT_EQ(r.status, 0) << r.err;
    // The three files, each by its full path.
    EXPECT_EQ(r.out, (home / "报表-2013-03.xlsx").string() + "\n" + inSet("总账.xls").string() +
                         "\n" + inSet("分账.xls").string() + "\n");
    for (const char* name : {"报表-2013-03.xlsx", "总账.xls", "分账.xls"})
        EXPECT_FALSE(isEarlier(name)) << name;
    std::string error;
    const auto cells = readXlsxSheet(home / "报表-2013-03.xlsx", 1, &error);
    ASSERT_TRUE(cells) << error;
    EXPECT_EQ(cells->at("C2"), "2013年3月");
    EXPECT_FALSE(std::filesystem::exists(inSet("报表-2013-03.xlsx")));
}

TEST_F(ReportFilesTest, AFullDiskLeavesEveryEarlierFile) {
    // 分账.xls is the largest of the three: the disk fills up while it is
    // written, after the workbook and 总账.xls are complete.
    const auto before = fileTree(dataDir);
    const auto homeBefore = fileTree(home.path());
    const auto r = runLimited(kMarch, 11500);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, kDiskFull);
    EXPECT_EQ(fileTree(dataDir), before);
    EXPECT_EQ(fileTree(home.path()), homeBefore);

    // So small that the workbook cannot be written: the spreadsheet library's
    // own lines stay out of the message.
    const auto tiny = runLimited(kMarch, 3000);
    EXPECT_EQ(tiny.status, 1);
    EXPECT_EQ(tiny.err, kDiskFull);
    EXPECT_EQ(fileTree(dataDir), before);
    EXPECT_EQ(fileTree(home.path()), homeBefore);

    // With room enough, all three are replaced.
    ASSERT_EQ(run(kMarch).status, 0);
    for (const char* name : {"报表-2013-03.xlsx", "总账.xls", "分账.xls"}) EXPECT_FALSE(isEarlier(name));
}

TEST_F(ReportFilesTest, TemporaryFilesOfAnEarlierVersionAreRemovedAtStart) {
    // Such leftovers could hold a whole 分账.xls (445 MB at a million rows).
    for (const char* name : {"分账.xls.tmp-4242", "报表-2013-03.xlsx.tmp-4242", "凭证.tmp-4242.pdf"})
        writeBytes(inSet(name), "left by a killed writer");
    writeBytes(inSet("备注.tmp-说明"), "not a temporary file");
    ASSERT_EQ(runCli(dataDir, {"sets"}).status, 0);
    EXPECT_FALSE(std::filesystem::exists(inSet("分账.xls.tmp-4242")));
    EXPECT_FALSE(std::filesystem::exists(inSet("报表-2013-03.xlsx.tmp-4242")));
    EXPECT_FALSE(std::filesystem::exists(inSet("凭证.tmp-4242.pdf")));
    EXPECT_TRUE(std::filesystem::exists(inSet("备注.tmp-说明")));
}

}  // namespace
}  // namespace tw::test
