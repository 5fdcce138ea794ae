// Posting's SQLite work alone, without the program: the floor under
// `tallowick-cli post`. On an account-set folder it reads the open month's
// unposted pages (the fields posting reads, in record order, up to the first
// unreviewed one), appends one 账库 row per line with its running balance,
// stamps the pages 登账 (500 to a statement), writes the 200 running totals
// of 账库辅1 and one log row, and commits them in one transaction across the
// attached files with the program's settings (rollback journals,
// synchronous=FULL). Timed as a whole process beside the peer, this is what
// no change to the program's own code can go below.
//
//   posting_sql SET_FOLDER                    the work above, once
//   posting_sql --drop-account-index SET_FOLDER
//                                             prepares a copy without 账库's
//                                             (科目, 凭证日期) index, to see
//                                             what that index costs
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace {

void exec(sqlite3* db, const std::string& sql) {
    char* err = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        const std::string message = err ? err : "?";
        sqlite3_free(err);
        throw std::runtime_error(message + " in " + sql);
    }
}

struct Statement {
    sqlite3_stmt* st = nullptr;
    Statement(sqlite3* db, const std::string& sql) {
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string(sqlite3_errmsg(db)) + " in " + sql);
    }
    ~Statement() { sqlite3_finalize(st); }
    void text(int i, const std::string& s) {
        sqlite3_bind_text(st, i, s.data(), int(s.size()), SQLITE_STATIC);
    }
    void done() {
        if (sqlite3_step(st) != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(sqlite3_db_handle(st)));
        sqlite3_reset(st);
    }
};

std::string columnText(sqlite3_stmt* st, int i) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
    return p ? std::string(p, sqlite3_column_bytes(st, i)) : std::string();
}

// The day numbers (days since 1899-12-30) of the first day of the month
// holding `day` and of the next month's.
std::pair<double, double> monthAround(double day) {
    using namespace std::chrono;
    const sys_days epoch = year{1899} / December / 30;
    const year_month_day d{epoch + days{static_cast<long>(std::floor(day))}};
    const sys_days first = d.year() / d.month() / 1;
    const sys_days next = (d.year() / d.month() + months{1}) / 1;
    return {double((first - epoch).count()), double((next - epoch).count())};
}

struct Line {
    double day;
    std::int64_t number;
    std::string summary, account;
    double debit, credit;
};

void post(sqlite3* db) {
    // The month of the first unposted page.
    double from = 0, to = 0;
    {
        Statement first(db, "SELECT min(日期) FROM v.records WHERE 登账=''");
        if (sqlite3_step(first.st) != SQLITE_ROW || sqlite3_column_type(first.st, 0) == SQLITE_NULL)
            return;
        std::tie(from, to) = monthAround(sqlite3_column_double(first.st, 0));
    }
    // The pages as the index finds them, put into record order here (as the
    // program does: SQLite would sort every field of every row).
    struct Page {
        std::int64_t id;
        std::string reviewer;
        std::vector<Line> lines;
    };
    std::vector<Page> read;
    {
        std::string fields = "rowid,日期,月编号,审核";
        for (int i = 1; i <= 4; ++i)
            for (const char* f : {"摘要", "科目", "借方金额", "贷方金额"})
                fields += "," + std::string(f) + std::to_string(i);
        Statement select(
            db, "SELECT " + fields + " FROM v.records WHERE 日期>=? AND 日期<? AND 登账=''");
        sqlite3_bind_double(select.st, 1, from);
        sqlite3_bind_double(select.st, 2, to);
        while (sqlite3_step(select.st) == SQLITE_ROW) {
            Page p{sqlite3_column_int64(select.st, 0), columnText(select.st, 3), {}};
            for (int i = 0; i < 4; ++i) {
                Line l{sqlite3_column_double(select.st, 1),
                       sqlite3_column_int64(select.st, 2),
                       columnText(select.st, 4 + 4 * i),
                       columnText(select.st, 5 + 4 * i),
                       sqlite3_column_double(select.st, 6 + 4 * i),
                       sqlite3_column_double(select.st, 7 + 4 * i)};
                if (!l.account.empty()) p.lines.push_back(std::move(l));
            }
            read.push_back(std::move(p));
        }
    }
    std::sort(read.begin(), read.end(), [](const Page& a, const Page& b) { return a.id < b.id; });
    std::vector<std::int64_t> pages;
    std::vector<Line> lines;
    for (Page& p : read) {
        if (p.reviewer.empty()) break;
        pages.push_back(p.id);
        for (Line& l : p.lines) lines.push_back(std::move(l));
    }
    struct Totals {
        std::int64_t id = 0, debit = 0, credit = 0, balance = 0;  // cents
    };
    std::map<std::string, Totals> totals;
    {
        Statement read(db, "SELECT rowid,科目,借方,贷方,余额 FROM b.records");
        while (sqlite3_step(read.st) == SQLITE_ROW)
            totals[columnText(read.st, 1)] = {
                sqlite3_column_int64(read.st, 0),
                std::llround(sqlite3_column_double(read.st, 2) * 100),
                std::llround(sqlite3_column_double(read.st, 3) * 100),
                std::llround(sqlite3_column_double(read.st, 4) * 100)};
    }

    exec(db, "BEGIN IMMEDIATE");
    {
        Statement insert(
            db,
            "INSERT INTO l.records(凭证日期,凭证编号,摘要,科目,借方,贷方,方向,余额,备用) "
            "VALUES(?,?,?,?,?,?,?,?,'')");
        for (const Line& l : lines) {
            Totals& t = totals[l.account];
            const std::int64_t d = std::llround(l.debit * 100), c = -std::llround(l.credit * 100);
            t.debit += d;
            t.credit += c;
            t.balance += d + c;
            sqlite3_bind_double(insert.st, 1, l.day);
            sqlite3_bind_int64(insert.st, 2, l.number);
            insert.text(3, l.summary);
            insert.text(4, l.account);
            sqlite3_bind_double(insert.st, 5, d / 100.0);
            sqlite3_bind_double(insert.st, 6, c / 100.0);
            sqlite3_bind_text(insert.st, 7, t.balance >= 0 ? "借" : "贷", -1, SQLITE_STATIC);
            sqlite3_bind_double(insert.st, 8, t.balance / 100.0);
            insert.done();
        }
    }
    for (std::size_t from = 0; from < pages.size(); from += 500) {
        const std::size_t count = std::min<std::size_t>(500, pages.size() - from);
        std::string ids;
        for (std::size_t k = 0; k < count; ++k) ids += (k ? ",?" : "?");
        Statement stamp(db, "UPDATE v.records SET 登账='张三' WHERE rowid IN (" + ids + ")");
        for (std::size_t k = 0; k < count; ++k)
            sqlite3_bind_int64(stamp.st, int(k) + 1, pages[from + k]);
        stamp.done();
    }
    {
        Statement update(db, "UPDATE b.records SET 借方=?,贷方=?,方向=?,余额=? WHERE rowid=?");
        for (const auto& [account, t] : totals) {
            if (t.id == 0) continue;
            sqlite3_bind_double(update.st, 1, t.debit / 100.0);
            sqlite3_bind_double(update.st, 2, t.credit / 100.0);
            sqlite3_bind_text(update.st, 3, t.balance >= 0 ? "借" : "贷", -1, SQLITE_STATIC);
            sqlite3_bind_double(update.st, 4, t.balance / 100.0);
            sqlite3_bind_int64(update.st, 5, t.id);
            update.done();
        }
    }
    exec(db, "INSERT INTO g.records(rowid) SELECT coalesce(max(rowid), 0) + 1 FROM g.records");
    exec(db, "COMMIT");
    std::printf("%zu pages, %zu rows\n", pages.size(), lines.size());
}

}  // namespace

int main(int argc, char** argv) {
    const bool drop = argc == 3 && std::string(argv[1]) == "--drop-account-index";
    if (argc != 2 && !drop) {
        std::fprintf(stderr, "usage: posting_sql [--drop-account-index] SET_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[argc - 1];
    sqlite3* db = nullptr;
    try {
        if (drop) {
            if (sqlite3_open((folder + "/账库.edb").c_str(), &db) != SQLITE_OK)
                throw std::runtime_error("cannot open");
            exec(db, "DROP INDEX \"i_科目_凭证日期\"; VACUUM");
        } else {
            sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
            for (const auto& [alias, file] :
                 {std::pair<std::string, std::string>{"v", "凭证库.edb"},
                  {"l", "账库.edb"},
                  {"b", "账库辅1.edb"},
                  {"g", "上机日志.edb"}}) {
                exec(db, "ATTACH '" + folder + "/" + file + "' AS " + alias);
                exec(db, "PRAGMA " + alias + ".journal_mode=DELETE; PRAGMA " + alias +
                             ".synchronous=FULL; PRAGMA " + alias + ".cache_size=-16000");
            }
            post(db);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "posting_sql: %s\n", e.what());
        sqlite3_close(db);
        return 1;
    }
    sqlite3_close(db);
    return 0;
}
