// Reading the ledgers for the check of a set: 账库's entries and chains, and
// the rows of the program's own in 账库 and 总账库, as they stream past.
#include "closing/books_check_figures.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>

#include "storage/dates.h"
#include "storage/ledger_convention.h"
#include "storage/ledger_fields.h"
#include "storage/schemas.h"

namespace tw::bookcheck {

std::string money(Cents c) {
    const unsigned long long a = c < 0 ? 0ULL - static_cast<unsigned long long>(c) : c;
    const unsigned long long fraction = a % 100;
    return (c < 0 ? "-" : "") + std::to_string(a / 100) + (fraction < 10 ? ".0" : ".") +
           std::to_string(fraction);
}

std::string sided(Cents c) {
    if (c == 0) return "平";
    return std::string(c > 0 ? "借 " : "贷 ") + money(c > 0 ? c : -c);
}

const char* sideOfCents(Cents c) { return c > 0 ? "借" : c < 0 ? "贷" : "平"; }

Amounts openingSides(Cents balance) {
    return balance > 0 ? Amounts{balance, 0} : Amounts{0, balance};
}

std::uint64_t fingerprint(long day, std::int64_t number, std::string_view account, Cents debit,
                          Cents credit) {
    // splitmix64's finaliser over each part in turn.
    const auto mix = [](std::uint64_t h, std::uint64_t v) {
        std::uint64_t z = h ^ (v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2));
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    };
    std::uint64_t h = std::hash<std::string_view>{}(account);
    const std::uint64_t parts[] = {
        static_cast<std::uint64_t>(day), static_cast<std::uint64_t>(number),
        static_cast<std::uint64_t>(debit), static_cast<std::uint64_t>(credit)};
    for (const std::uint64_t part : parts) h = mix(h, part);
    return h;
}

std::string rowPlace(const char* table, long row, const std::string& account, double day,
                     const std::string& what) {
    return std::string(table) + "第" + std::to_string(row) + "条记录（" + account + "，" +
           formatDate(day) + "，" + what + "）";
}

namespace {

constexpr const char* kLedgerName = "账库";
constexpr const char* kGeneralName = "总账库";

bool isNewYearsDay(double day) {
    const Ymd d = toYmd(day);
    return d.month == 1 && d.day == 1;
}

// Keeps a row under the month of its date; a second one for the same month
// is told and left out. `place` writes out where the row stands, called only
// for a finding (most rows have none).
template <class Place>
void keep(std::map<YearMonth, StoredRow>& rows, const StoredRow& row, const Place& place,
          const std::string& text, Findings& findings) {
    const YearMonth month = YearMonth::of(row.day);
    const auto [it, fresh] = rows.try_emplace(month, row);
    if (!fresh)
        findings.push_back(place() + "：重复，" + month.text() + "的" + text + "已在第" +
                           std::to_string(it->second.row) + "条记录");
}

template <class Place>
void keepStart(std::optional<StoredRow>& start, const StoredRow& row, const Place& place,
               Findings& findings) {
    if (start)
        findings.push_back(place() + "：重复，启用时的期初余额已在第" + std::to_string(start->row) +
                           "条记录");
    else
        start = row;
}

}  // namespace

LedgerFigures readLedger(const Table& ledger, const BookDates& dates, Findings& findings) {
    const LedgerFields f(ledger);
    LedgerFigures figures;
    long row = 0;
    ledger.forEach({}, [&](const Record& r) {
        ++row;
        const std::string& name = r[f.account].text();
        const double day = r[f.date].number();
        const std::int64_t number = r[f.number].integer();
        const Amounts x{toCents(r[f.debit].number()), toCents(r[f.credit].number())};
        const Cents balance = toCents(r[f.balance].number());
        const std::string& side = r[f.side].text();
        LedgerAccount& a = figures.accounts[name];

        if (number != 0) {
            const YearMonth month = YearMonth::of(day);
            const Cents chained = a.chained + x.net();
            a.summed += x.net();
            a.moved[month] += x;
            a.entries += x;
            figures.monthNet[month] += x.net();
            figures.entries[month].add(
                fingerprint(static_cast<long>(std::floor(day)), number, name, x.debit, x.credit));
            const auto place = [&] {
                return rowPlace(kLedgerName, row, name, day, "凭证" + std::to_string(number));
            };
            // A row edited alone breaks the chain from the row before it, and
            // the next row still follows the opening plus the entries: told once.
            if (balance != chained && balance != a.summed)
                findings.push_back(place() + "：余额 " + sided(balance) + "，应为 " +
                                   sided(chained) + "，相差 " +
                                   money(std::llabs(balance - chained)));
            if (side != sideOfCents(balance))
                findings.push_back(place() + "：方向为“" + side + "”，余额 " + sided(balance) +
                                   " 应为“" + sideOfCents(balance) + "”");
            a.chained = balance;  // a row lost breaks it once: the chain goes on from the row
            return true;
        }

        // The program's own rows: they are checked against the entries once
        // the whole table is read (checkLedgerSummaries); only the opening
        // at 启用日期 starts the chain.
        const std::string& text = r[f.summary].text();
        const StoredRow stored{row, day, x, balance, side, a.chained, a.summed};
        const auto place = [&] { return rowPlace(kLedgerName, row, name, day, text); };
        if (text == kOpeningSummary && std::floor(day) == dates.start) {
            const bool first = !a.rows.start;
            keepStart(a.rows.start, stored, place, findings);
            if (first) {
                a.chained = balance;
                a.summed = x.net();
            }
        } else if (text == kOpeningSummary && isNewYearsDay(day)) {
            keep(a.rows.openings, stored, place, text, findings);
        } else if (text == kMonthTotal) {
            keep(a.rows.months, stored, place, text, findings);
        } else if (text == kYearTotal) {
            keep(a.rows.years, stored, place, text, findings);
        } else {
            findings.push_back(place() + "：不应有这条记录");
        }
        return true;
    });
    return figures;
}

GeneralRows readGeneralLedger(const Table& general, const BookDates& dates, Findings& findings) {
    const LedgerFields f(general);
    GeneralRows rows;
    long row = 0;
    general.forEach({}, [&](const Record& r) {
        ++row;
        const std::string& name = r[f.account].text();
        const double day = r[f.date].number();
        const std::int64_t number = r[f.number].integer();
        const std::string& text = r[f.summary].text();
        const auto place = [&] {
            return rowPlace(kGeneralName, row, name, day,
                            number != 0 ? "凭证" + std::to_string(number) : text);
        };
        // 总账库 holds the rows of enabling and of the closes only.
        if (number != 0) {
            findings.push_back(place() + "：不应有这条记录");
            return true;
        }
        const YearMonth month = YearMonth::of(day);
        const StoredRow stored{row,
                               day,
                               {toCents(r[f.debit].number()), toCents(r[f.credit].number())},
                               toCents(r[f.balance].number()),
                               r[f.side].text()};
        SummaryRows& top = rows.tops[name];
        if (text == kMonthTotal || text == kYearTotal) {
            if (!rows.lastClosed || *rows.lastClosed < month) rows.lastClosed = month;
            if (text == kMonthTotal) {
                rows.monthMoved[month] += stored.amounts;
                keep(top.months, stored, place, text, findings);
            } else {
                rows.yearBalances[month] += stored.balance;
                keep(top.years, stored, place, text, findings);
            }
        } else if (text == kOpeningSummary && month > dates.firstClosed && isNewYearsDay(day)) {
            keep(top.openings, stored, place, text, findings);
        } else if (text == kOpeningSummary && month == dates.firstClosed) {
            keepStart(top.start, stored, place, findings);
        } else {
            findings.push_back(place() + "：不应有这条记录");
        }
        return true;
    });
    return rows;
}

}  // namespace tw::bookcheck
