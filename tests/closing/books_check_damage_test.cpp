// The check of a set against damage that leaves every figure it added up
// before in place: tables that no longer open as the program opens them,
// and rows of the program's own removed or edited so that the month's sums
// and the trial balance still hold. Each is found, on books that span a
// year end; and what a backup refuses, the check finds.
#include <sqlite3.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>

#include "closing/books_check.h"
#include "closing_fixture.h"
#include "findings.h"
#include "shell/backup.h"
#include "shell/set_options.h"
#include "storage/store_fixture.h"

namespace tw::test {
namespace {

// A finding about `table` (账库, 总账库: its rows or its missing rows) holding `part`.
bool hasPartOf(const std::vector<std::string>& findings, const std::string& table,
               const std::string& part) {
    return std::any_of(findings.begin(), findings.end(), [&](const std::string& f) {
        return f.starts_with(table) && f.find(part) != std::string::npos;
    });
}
// A day as SQL compares it with 凭证日期.
std::string sqlDay(int y, int m, int d) { return std::to_string(dayNumber(y, m, d)); }

class DamagedBooks : public ClosingTest {
protected:
    // Started in November 2013: November and December closed, the year's
    // openings in place, January's voucher posted, 套账选项 written.
    void SetUp() override {
        ClosingTest::SetUp();
        startBooksIn(dayNumber(2013, 11, 1));
        ASSERT_TRUE(runAction(*store, [&] {
                        setOptionOn(*store, session, kYearEndTransferOption, false);
                    }).ok);
        enableWith({{"银行存款", 5000}, {"实收资本", -5000}});
        addVoucher(110001, {{"银行存款", 800}, {"主营业务收入", 0, 800}});
        addVoucher(110002, {{"管理费用", 300}, {"银行存款", 0, 300}});
        ASSERT_EQ(post().value, 2);
        ASSERT_TRUE(close().ok);
        addVoucher(120001, {{"应收账款", 1200}, {"主营业务收入", 0, 1200}});
        ASSERT_EQ(post().value, 1);
        ASSERT_TRUE(close().ok);
        addVoucher(10001, {{"现金", 100}, {"银行存款", 0, 100}});
        ASSERT_EQ(post().value, 1);
        ASSERT_EQ(check(), std::vector<std::string>{}) << "the books are sound before the damage";
    }

    std::vector<std::string> check() {
        const auto found = runCaught([&] { return checkBooks(*store, session); });
        EXPECT_TRUE(found.ok) << found.message;
        return found.value;
    }

    // What stands at a table's name, to put back after a plant.
    struct Saved {
        bool there = false;
        std::string bytes;
    };
    Saved save(const char* file) const {
        std::ifstream in(path(file), std::ios::binary);
        if (!in) return {};
        return {true, {std::istreambuf_iterator<char>(in), {}}};
    }
    void restore(const char* file, const Saved& saved) const {
        std::filesystem::remove_all(path(file));
        if (saved.there)
            std::ofstream(path(file), std::ios::binary | std::ios::trunc) << saved.bytes;
    }
};

// Each table a set keeps besides the ledgers, a column dropped, a password
// of another set, a newer program's format: the check names the table and
// why, as one line, and a backup of the same set is refused.
TEST_F(DamagedBooks, TablesThatDoNotOpenAsTheProgramOpensThemAreFound) {
    struct SetFile {
        const char* file;
        const char* column;
    };
    const std::vector<SetFile> tables{{file::kJournal, "金额"},
                                      {file::kPhrases, "所在分类"},
                                      {file::kCarryForward, "对应科目"},
                                      {file::kReportScratch, "贷方"},
                                      {file::kSetOptions, "值"},
                                      {file::kActionLog, "内容"}};
    struct Damage {
        const char* name;
        std::string (*sql)(const char* column);
        const char* why;
    };
    const std::vector<Damage> damages{
        {"a column dropped",
         [](const char* column) {
             return "ALTER TABLE records DROP COLUMN \"" + std::string(column) + "\"";
         },
         "已损坏，或不是本程序的数据表"},
        {"another password",
         [](const char*) {
             return "UPDATE meta SET value = '" + std::string(64, '0') +
                    "' WHERE key = 'password_verifier'";
         },
         "密码与本套账不符"},
        {"a newer format",
         [](const char*) {
             return std::string("UPDATE meta SET value = '2' WHERE key = 'version'");
         },
         "是更新版本的程序保存的"},
    };
    const TempDir elsewhere;
    for (const SetFile& t : tables)
        for (const Damage& d : damages) {
            SCOPED_TRACE(std::string(t.file) + ": " + d.name);
            const Saved saved = save(t.file);
            ASSERT_TRUE(saved.there);
            runSql(t.file, d.sql(t.column));
            EXPECT_EQ(check(), std::vector<std::string>{"数据表“" + std::string(t.file) +
                                                        "”无法读出：" + d.why});
            EXPECT_FALSE(backupSet(dataDir, session.login.setName, elsewhere / "备份.zip").ok);
            restore(t.file, saved);
        }
    EXPECT_EQ(check(), std::vector<std::string>{});
}

// 套账选项 that is there but is no table: read as "every option at its
// default", the December close would skip the year-end transfer.
TEST_F(DamagedBooks, AnOptionsTableThatIsEmptyAFolderOrADeadLinkIsFound) {
    const Saved saved = save(file::kSetOptions);
    const auto at = path(file::kSetOptions);
    const std::vector<std::pair<const char*, std::function<void()>>> plants{
        {"empty", [&] { std::ofstream(at, std::ios::binary | std::ios::trunc); }},
        {"a folder", [&] { std::filesystem::create_directory(at); }},
        {"a dead link", [&] { std::filesystem::create_symlink(dataDir / "没有这个文件.edb", at); }},
    };
    const TempDir elsewhere;
    for (const auto& [name, plant] : plants) {
        SCOPED_TRACE(name);
        std::filesystem::remove(at);
        plant();
        EXPECT_EQ(check(), std::vector<std::string>{
                               "数据表“套账选项.edb”无法读出：是空文件、文件夹或失效的链接"});
        EXPECT_FALSE(backupSet(dataDir, session.login.setName, elsewhere / "备份.zip").ok);
        restore(file::kSetOptions, saved);
    }
    EXPECT_EQ(check(), std::vector<std::string>{});
}

// Rows of the program's own removed or edited where no sum shows it: each
// recomputed from the entries and openings is found at its place.
TEST_F(DamagedBooks, RowsOfTheProgramsOwnAreRecomputedFromTheEntries) {
    struct Plant {
        const char* file;
        std::string sql;
        std::vector<std::string> found;  // a part of each finding about the table
        bool alone = true;               // nothing else is told
    };
    const std::string nov = sqlDay(2013, 11, 30), dec = sqlDay(2013, 12, 31),
                      jan = sqlDay(2014, 1, 1);
    const auto where = [](const char* summary, const char* account, const std::string& date) {
        return std::string(" WHERE \"摘要\" = '") + summary + "' AND \"科目\" = '" + account +
               "' AND \"凭证编号\" = 0 AND \"凭证日期\" = " + date;
    };
    const std::vector<Plant> plants{
        // 总账库: a month's movement that nets to nothing, a zero balance,
        // the two openings, both rows of an account.
        {file::kGeneralLedger,
         "DELETE FROM records" + where("本月合计", "主营业务收入", nov),
         {"总账库缺少科目 主营业务收入 2013年11月的本月合计记录"}},
        {file::kGeneralLedger,
         "DELETE FROM records" + where("本年累计", "管理费用", nov),
         {"总账库缺少科目 管理费用 2013年11月的本年累计记录"}},
        {file::kGeneralLedger,
         "DELETE FROM records" + where("期初余额", "银行存款", nov),
         {"总账库缺少科目 银行存款 2013年11月的期初余额记录"}},
        {file::kGeneralLedger,
         "DELETE FROM records" + where("期初余额", "实收资本", jan),
         {"总账库缺少科目 实收资本 2014年1月的期初余额记录"}},
        {file::kGeneralLedger,
         "DELETE FROM records WHERE \"科目\" = '实收资本' AND \"凭证日期\" = " + nov +
             " AND \"摘要\" <> '期初余额'",
         {"总账库缺少科目 实收资本 2013年11月的本月合计、本年累计记录"},
         false},
        // 总账库: edits that offset each other between two accounts, and a 方向.
        {file::kGeneralLedger,
         "UPDATE records SET \"余额\" = \"余额\" + 100" + where("本年累计", "银行存款", dec) +
             "; UPDATE records SET \"余额\" = \"余额\" - 100" + where("本年累计", "实收资本", dec),
         {"（银行存款，2013-12-31，本年累计）：余额 借 5600.00，应为 借 5500.00，相差 100.00",
          "（实收资本，2013-12-31，本年累计）：余额 贷 5100.00，应为 贷 5000.00，相差 100.00"}},
        {file::kGeneralLedger,
         "UPDATE records SET \"借方\" = \"借方\" + 10" + where("本月合计", "银行存款", nov) +
             "; UPDATE records SET \"借方\" = \"借方\" - 10" + where("本月合计", "管理费用", nov),
         {"（银行存款，2013-11-30，本月合计）：借方 810.00，应为 800.00，相差 10.00",
          "（管理费用，2013-11-30，本月合计）：借方 290.00，应为 300.00，相差 10.00"}},
        {file::kGeneralLedger,
         "UPDATE records SET \"方向\" = '贷'" + where("本年累计", "银行存款", dec),
         {"（银行存款，2013-12-31，本年累计）：方向为“贷”，应为“借”"}},
        // 账库's month rows.
        {file::kLedger,
         "UPDATE records SET \"借方\" = \"借方\" + 10" + where("本月合计", "银行存款", nov),
         {"（银行存款，2013-11-30，本月合计）：借方 810.00，应为 800.00，相差 10.00"}},
        {file::kLedger,
         "UPDATE records SET \"余额\" = 5600" + where("本月合计", "银行存款", nov),
         {"（银行存款，2013-11-30，本月合计）：余额 借 5600.00，应为 借 5500.00，相差 100.00"}},
        {file::kLedger,
         "DELETE FROM records" + where("本月合计", "实收资本", nov),
         {"账库缺少科目 实收资本 2013年11月的本月合计记录"}},
        {file::kLedger,
         "DELETE FROM records" + where("期初余额", "银行存款", jan),
         {"账库缺少科目 银行存款 2014年1月的期初余额记录"}},
    };
    for (const Plant& p : plants) {
        SCOPED_TRACE(p.sql);
        const Saved saved = save(p.file);
        runSql(p.file, p.sql);
        const auto found = check();
        EXPECT_NE(checkSummary(found), "核对完毕，未发现问题。");
        const std::string table = std::string(p.file).substr(0, std::string(p.file).find(".edb"));
        for (const std::string& part : p.found)
            EXPECT_TRUE(hasPartOf(found, table, part)) << lines(found);
        if (p.alone) {
            EXPECT_EQ(found.size(), p.found.size()) << lines(found);
        }
        restore(p.file, saved);
    }
    EXPECT_EQ(check(), std::vector<std::string>{});
}

// A voucher row lost from 账库: told where it shows (its line, the break in
// its account's chain, its month's and its account's sums), not again in
// every later month whose rows were written before it was lost.
TEST_F(DamagedBooks, ALostEntryIsToldWhereItShowsNotInEveryLaterMonth) {
    runSql(file::kLedger, "DELETE FROM records WHERE \"凭证编号\" = 110001 AND \"科目\" = '银行存款'");
    const auto found = check();
    EXPECT_TRUE(hasPart(
        found,
        "凭证110001（2013-11-30）第1页第1行 银行存款 借 800.00：已登账，账库中却没有它的记录"))
        << lines(found);
    EXPECT_TRUE(hasPart(
        found,
        "（银行存款，2013-11-30，凭证110002）：余额 借 5500.00，应为 借 4700.00，相差 800.00"))
        << lines(found);
    EXPECT_TRUE(hasPart(found, "2013年11月：账库中凭证的借方与贷方相差 800.00")) << lines(found);
    EXPECT_LE(found.size(), 5u) << lines(found);
}

}  // namespace
}  // namespace tw::test
