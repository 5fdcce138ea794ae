// Ledger exports, printed pages and backups from a shell: a target inside the
// account-set directory, one that is no regular file, or one in a folder that
// is missing or cannot be written is refused before anything is written,
// naming what is wrong; a PDF that cannot be written whole is refused and the
// earlier file stays; a killed printer leaves nothing behind.
#include <gtest/gtest.h>

#include "user_files_fixture.h"

namespace tw::test {
namespace {

const std::vector<std::string> kLedgerMarch{"ledger", "--account", "银行存款", "--from",
                                            "2013-03-01", "--to", "2013-03-31"};

std::vector<std::string> with(std::vector<std::string> args, const std::string& option,
                              const std::filesystem::path& target) {
    args.insert(args.end(), {option, target.string()});
    return args;
}

class ExportTargetsTest : public ClosedMonthCli {
protected:
    void SetUp() override {
        ClosedMonthCli::SetUp();
        if (HasFatalFailure()) return;
        // A voucher of April, the open month, to print.
        ASSERT_EQ(run({"voucher", "add", "--day", "3", "--line", "提现|现金|80|", "--line",
                       "提现|银行存款||80"})
                      .status,
                  0);
    }
    std::vector<std::string> printTo(const std::filesystem::path& pdf) {
        return {"voucher", "print", "--number", "40001", "--pdf", pdf.string()};
    }
};

TEST_F(ExportTargetsTest, ExportsAndPagesInsideTheDirectoryAreRefused) {
    const auto before = fileTree(dataDir);
    const std::vector<std::vector<std::string>> commands{
        with(kLedgerMarch, "--xlsx", inSet("凭证库.edb")),
        with(kLedgerMarch, "--pdf", inSet("账库辅1.edb")),
        printTo(inSet("凭证库.edb")),
        with(kLedgerMarch, "--pdf", dataDir / ".tallowick-lock"),
        with(kLedgerMarch, "--xlsx", dataDir / ".tallowick-actions.db"),
        with(kLedgerMarch, "--xlsx", inSet("报表-2013-03.xlsx")),
    };
    for (const auto& args : commands) {
        SCOPED_TRACE(args.back());
        const auto r = run(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "“" + args.back() + "”在套账目录中，不能用来保存导出的文件，请另选位置！\n");
        EXPECT_EQ(fileTree(dataDir), before);
    }
}

TEST_F(ExportTargetsTest, ATargetThatIsNoRegularFileIsLeftAlone) {
    // As root, a device node such as /dev/full was replaced by the PDF.
    const auto fifo = outside("管道.zip");  // a backup name keeps its extension
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    std::filesystem::create_directory(outside("文件夹"));
    std::filesystem::create_symlink(inSet("账库.edb"), outside("链接.xlsx"));
    const auto report = [](const std::filesystem::path& out) {
        return std::vector<std::string>{"report", "--year", "2013", "--month", "3", "--out", out.string()};
    };
    const std::vector<std::pair<std::vector<std::string>, std::filesystem::path>> commands{
        {with(kLedgerMarch, "--xlsx", fifo), fifo},
        {with(kLedgerMarch, "--pdf", fifo), fifo},
        {printTo(fifo), fifo},
        {{"backup", "--to", fifo.string()}, fifo},
        {report(fifo), fifo},
        {report(outside("文件夹")), outside("文件夹")},
        {report(outside("链接.xlsx")), outside("链接.xlsx")},
    };
    const auto before = fileTree(dataDir);
    const auto around = fileTree(elsewhere);
    for (const auto& [args, target] : commands) {
        SCOPED_TRACE(args.front() + " " + target.string());
        const auto r = run(args);
        EXPECT_NE(r.status, 0);
        EXPECT_EQ(r.err, "“" + target.string() + "”不是普通文件，不能用来保存导出的文件，请另选位置！\n");
    }
    EXPECT_EQ(fileTree(dataDir), before);
    EXPECT_EQ(fileTree(elsewhere), around);
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

// PDFs and workbooks alike: the folder is named, a missing one is never
// made (a mistyped path would scatter files), and neither is told as a full disk.
TEST_F(ExportTargetsTest, AMissingOrUnwritableFolderIsNamedAndNeverMade) {
    const auto missing = outside("没有");
    const auto around = fileTree(elsewhere);
    for (const auto& args : {printTo(missing / "凭证.pdf"), with(kLedgerMarch, "--pdf", missing / "账页.pdf"),
                             with(kLedgerMarch, "--xlsx", missing / "账页.xlsx"),
                             std::vector<std::string>{"backup", "--to", (missing / "备份.zip").string()}}) {
        SCOPED_TRACE(args.back());
        const auto r = run(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "文件夹“" + missing.string() + "”不存在，不能用来保存导出的文件，请另选位置！\n");
    }
    EXPECT_EQ(fileTree(elsewhere), around);

    const auto locked = outside("只读");
    std::filesystem::create_directory(locked);
    for (const auto& args : {printTo(locked / "凭证.pdf"), with(kLedgerMarch, "--xlsx", locked / "账页.xlsx")}) {
        SCOPED_TRACE(args.back());
        const auto r = runWithReadOnly(args, locked);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "文件夹“" + locked.string() +
                             "”不能写入，不能用来保存导出的文件，请检查权限或另选位置！\n");
    }
    EXPECT_TRUE(std::filesystem::is_empty(locked));
}

TEST_F(ExportTargetsTest, APdfThatDoesNotFitIsRefusedAndTheEarlierOneStays) {
    const auto pdf = outside("凭证.pdf"), page = outside("账页.pdf");
    writeBytes(pdf, "earlier voucher");
    writeBytes(page, "earlier page");
    for (rlim_t limit : {rlim_t{900}, rlim_t{6000}, rlim_t{12000}}) {
        SCOPED_TRACE(limit);
        for (const auto& args : {printTo(pdf), with(kLedgerMarch, "--pdf", page)}) {
            const auto r = runLimited(args, limit);
            EXPECT_EQ(r.status, 3);
            EXPECT_EQ(r.err, kDiskFull);
        }
        EXPECT_EQ(fileBytes(pdf), "earlier voucher");
        EXPECT_EQ(fileBytes(page), "earlier page");
        EXPECT_EQ(namesOnly(fileTree(elsewhere)).size(), 2u) << "nothing beside them";
    }
    // With room enough both are replaced by whole PDFs.
    for (const auto& args : {printTo(pdf), with(kLedgerMarch, "--pdf", page)})
        ASSERT_EQ(run(args).status, 0) << args.back();
    for (const auto& p : {pdf, page}) {
        const std::string bytes = fileBytes(p);
        EXPECT_TRUE(bytes.starts_with("%PDF-")) << p;
        EXPECT_NE(bytes.find("%%EOF", bytes.size() - 8), std::string::npos) << p;
    }
}

TEST_F(ExportTargetsTest, AKilledPrinterLeavesNothingBehindAfterTheNextStart) {
    const auto pdf = outside("凭证.pdf");
    writeBytes(pdf, "earlier voucher");
    const auto log = output / "changes.log";
    ASSERT_EQ(runShimmed(printTo(pdf), 0, log).status, 0);
    // The first write into the PDF being made.
    const long at = firstChange(changesIn(log), "write", "凭证.pdf");
    ASSERT_GT(at, 0) << fileBytes(log);
    writeBytes(pdf, "earlier voucher");
    const auto names = namesOnly(fileTree(dataDir));
    EXPECT_EQ(runShimmed(printTo(pdf), at).status, -1) << "killed";
    ASSERT_EQ(runCli(dataDir, {"sets"}).status, 0);  // the next start
    EXPECT_EQ(namesOnly(fileTree(dataDir)), names);
    EXPECT_EQ(fileTree(elsewhere),
              (std::map<std::string, std::string>{{"凭证.pdf", digest("earlier voucher")}}));
}

}  // namespace
}  // namespace tw::test
