// The month report killed at the moments it changes a file: after the next
// start and login of its set its files (the workbook outside the directory, 总账.xls and 分账.xls
// in the set folder) are all the earlier ones or all the new ones, and
// nothing else is left anywhere. The moments are every rename, link, removal
// and sync, and writes spread over the run; TALLOWICK_KILL_SAMPLES=all kills
// it at every write too.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "platform/xlsx_reader.h"
#include "user_files_fixture.h"

namespace tw::test {
namespace {

namespace fs = std::filesystem;

class ReportKillTest : public ClosedMonthCli {
protected:
    std::vector<std::string> args() {
        return {"report", "--year", "2013", "--month", "3", "--out", outside("三月.xlsx").string()};
    }
    void plantEarlier() {
        writeBytes(outside("三月.xlsx"), "earlier workbook");
        writeBytes(inSet("总账.xls"), "earlier 总账");
        writeBytes(inSet("分账.xls"), "earlier 分账");
    }
    void putBack(const fs::path& keep) {
        fs::remove_all(dataDir);
        fs::remove_all(elsewhere);
        fs::copy(keep / "dir", dataDir, fs::copy_options::recursive);
        fs::copy(keep / "elsewhere", elsewhere, fs::copy_options::recursive);
    }
    // Which of the files are the earlier ones; "mixed" when some are.
    std::string state(const std::string& general, const std::string& detail) {
        const bool earlier[3] = {fileBytes(outside("三月.xlsx")) == "earlier workbook",
                                 fileBytes(inSet("总账.xls")) == "earlier 总账",
                                 fileBytes(inSet("分账.xls")) == "earlier 分账"};
        if (earlier[0] && earlier[1] && earlier[2]) return "earlier";
        if (earlier[0] || earlier[1] || earlier[2]) return "mixed";
        std::string error;
        const auto cells = readXlsxSheet(outside("三月.xlsx"), 1, &error);
        const bool whole = cells && cells->count("A1") && cells->at("A1") == "科目汇总表" &&
                           fileBytes(inSet("总账.xls")) == general &&
                           fileBytes(inSet("分账.xls")) == detail;
        return whole ? "new" : "damaged";
    }
};

TEST_F(ReportKillTest, KilledAtAnyChangeItLeavesAllEarlierFilesOrAllNewOnes) {
    plantEarlier();
    const fs::path keep = output / "keep";
    fs::create_directory(keep);
    fs::copy(dataDir, keep / "dir", fs::copy_options::recursive);
    fs::copy(elsewhere, keep / "elsewhere", fs::copy_options::recursive);
    const auto names = namesOnly(fileTree(dataDir));

    const auto log = output / "changes.log";
    ASSERT_EQ(runShimmed(args(), 0, log).status, 0);
    const std::string general = fileBytes(inSet("总账.xls")), detail = fileBytes(inSet("分账.xls"));
    ASSERT_EQ(state(general, detail), "new");
    const auto changes = changesIn(log);

    std::vector<long> writes, moments;
    for (std::size_t i = 0; i < changes.size(); ++i)
        (changes[i].starts_with("write ") ? writes : moments).push_back(static_cast<long>(i + 1));
    const char* all = std::getenv("TALLOWICK_KILL_SAMPLES");
    const std::size_t step = all && std::string(all) == "all" ? 1 : std::max<std::size_t>(1, writes.size() / 12);
    for (std::size_t i = step / 2; i < writes.size(); i += step) moments.push_back(writes[i]);
    std::sort(moments.begin(), moments.end());

    std::map<std::string, int> seen;
    for (long at : moments) {
        SCOPED_TRACE("killed at " + std::to_string(at) + ": " + changes[at - 1]);
        putBack(keep);
        EXPECT_EQ(runShimmed(args(), at).status, -1) << "killed";
        ASSERT_EQ(run({"status"}).status, 0);  // the next start, and login of the set
        const std::string s = state(general, detail);
        EXPECT_TRUE(s == "earlier" || s == "new") << s;
        ++seen[s];
        EXPECT_EQ(namesOnly(fileTree(dataDir)), names) << "nothing left in the directory";
        EXPECT_EQ(namesOnly(fileTree(elsewhere)), (std::map<std::string, std::string>{{"三月.xlsx", ""}}))
            << "nothing left beside the workbook";
    }
    EXPECT_GT(seen["earlier"], 0);
    EXPECT_GT(seen["new"], 0);
    RecordProperty("kills", static_cast<int>(moments.size()));
    RecordProperty("earlier", seen["earlier"]);
    RecordProperty("new", seen["new"]);
}

}  // namespace
}  // namespace tw::test
