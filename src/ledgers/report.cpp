#include "ledgers/report.h"

#include <cmath>
#include <map>

#include "closing/period.h"
#include "ledgers/html_ledger.h"
#include "ledgers/report_workbook.h"
#include "shell/action_log.h"
#include "storage/dates.h"
#include "storage/ledger_convention.h"
#include "storage/number_text.h"
#include "storage/schemas.h"
#include "storage/user_files.h"

namespace tw {

namespace {

// The signed balances of the month-layout rows that satisfy `where`, by account.
std::map<std::string, double> balancesOf(const Table& general, const Where& where) {
    const int account = general.position(field::kAccount), balance = general.position(field::kBalance);
    std::map<std::string, double> out;
    for (const Record& r : general.select(where)) out[r[account].text()] = r[balance].number();
    return out;
}

double lookUp(const std::map<std::string, double>& m, const std::string& key) {
    auto it = m.find(key);
    return it == m.end() ? 0.0 : it->second;
}

// Added in whole cents: a long column's total never drifts.
void addTo(SidePair& total, const SidePair& x) {
    total.debit = fromCents(toCents(total.debit) + toCents(x.debit));
    total.credit = fromCents(toCents(total.credit) + toCents(x.credit));
}

// The month's lines of the account summary, in record order.
std::vector<SummaryLine> summaryLines(const Table& general, YearMonth month) {
    const int account = general.position(field::kAccount), debit = general.position(field::kDebit),
              credit = general.position(field::kCredit);
    std::vector<SummaryLine> lines;
    for (const Record& r : general.select(monthOf(field::kVoucherDate, month)
                                              .equal(field::kVoucherNo, 0)
                                              .equal(field::kSummary, kMonthTotal)))
        lines.push_back({r[account].text(),
                         {std::fabs(r[debit].number()), std::fabs(r[credit].number())}});
    return lines;
}

// The summary and its totals line into 报表临时1, replacing what it held.
void copyToScratch(RecordStore& store, const Session& session, const MonthReport& report) {
    const SetTable scratch(store, session, file::kReportScratch);
    store.clearTable();
    for (const SummaryLine& l : report.summary)
        store.appendRecord({l.account, l.movement.debit, l.movement.credit});
    store.appendRecord({kTotalsLine, report.summaryTotal.debit, report.summaryTotal.credit});
}

}  // namespace

SidePair balanceSides(double balance) {
    if (balance > kAmountTolerance) return {balance, 0};
    if (balance < -kAmountTolerance) return {0, -balance};
    return {};
}

MonthReport buildMonthReport(RecordStore& store, const Session& session, YearMonth month) {
    if (month.month < 1 || month.month > 12 || month.year < 1900 || month.year > 9999)
        refuse(kNoMonthData);
    const double last = month.lastDay();

    MonthReport report;
    double period = 0, start = 0;
    {
        const SetTable basic(store, session, file::kBasicInfo);
        store.goFirst();
        if (store.isPastEnd()) refuse(kUnreadableSet, "基本信息 is empty");
        period = std::floor(store.readField(field::kPeriod).number());
        start = std::floor(store.readField(field::kStartDate).number());
        report.company = store.readField(field::kCompany).text();
    }
    if (last > period || last < start) refuse(kNoMonthData);

    report.month = month;
    report.preparer = session.login.userName;
    report.madeOn = today();

    const SetTable generalTable(store, session, file::kGeneralLedger);
    const Table& general = generalTable.table();
    report.summary = summaryLines(general, month);
    for (const SummaryLine& l : report.summary) addTo(report.summaryTotal, l.movement);
    copyToScratch(store, session, report);

    // Balances at the end of the month, at the end of the month before, and
    // at the start of the year.
    // The close's rows only: 凭证编号 0 and the text.
    const auto rowsOf = [](Where where, const char* summary) {
        return where.equal(field::kVoucherNo, 0).equal(field::kSummary, summary);
    };
    const auto closing =
        balancesOf(general, rowsOf(monthOf(field::kVoucherDate, month), kYearTotal));
    const auto yearStart =
        balancesOf(general, rowsOf(yearOf(field::kVoucherDate, last), kOpeningSummary));
    const bool firstMonth = month == YearMonth::of(start);
    const auto opening =
        firstMonth ? yearStart
                   : balancesOf(general, rowsOf(monthOf(field::kVoucherDate, month.previous()),
                                                kYearTotal));

    report.trialTotal.account = kTotalsLine;
    for (const SummaryLine& l : report.summary) {
        TrialLine t;
        t.account = l.account;
        t.opening = balanceSides(lookUp(opening, l.account));
        t.movement = l.movement;
        t.closing = balanceSides(lookUp(closing, l.account));
        t.yearOpening = balanceSides(lookUp(yearStart, l.account));
        addTo(report.trialTotal.opening, t.opening);
        addTo(report.trialTotal.movement, t.movement);
        addTo(report.trialTotal.closing, t.closing);
        addTo(report.trialTotal.yearOpening, t.yearOpening);
        report.trial.push_back(std::move(t));
    }
    return report;
}

std::filesystem::path monthReportPath(const std::filesystem::path& folder, YearMonth month) {
    return folder / std::filesystem::u8path("报表-" + month.code() + ".xlsx");
}

ExportedReport writeMonthReport(RecordStore& store, const Session& session, YearMonth month,
                                const std::filesystem::path& workbookFile) {
    const auto folder = setFolder(session.dataDir, session.login.setName);
    ExportedReport out(session.dataDir);
    out.workbook = workbookFile;
    out.generalHtml = folder / std::filesystem::u8path(kGeneralLedgerHtml);
    out.detailHtml = folder / std::filesystem::u8path(kDetailLedgerHtml);
    // Where the files go is checked before anything is read or written.
    requireUserFileTarget(out.workbook, session.dataDir);
    for (const auto& own : {out.generalHtml, out.detailHtml})
        requireUserFileTarget(own, session.dataDir, {own});

    // 账库 must be readable before anything is written (buildMonthReport
    // checks 总账库 itself).
    const SetTable ledger(store, session, file::kLedger);
    out.report = buildMonthReport(store, session, month);
    out.book = monthReportWorkbook(
        out.report, reportSheetNames(folder / std::filesystem::u8path(file::kReportWorkbook)));
    std::string error;
    if (!out.files.add(out.workbook, [&](const std::filesystem::path& tmp) {
            return out.book.write(tmp, &error);
        }))
        refuse(userFileFailure(out.workbook), error.empty() ? "cannot write " + pathText(out.workbook) : error);

    const SetTable general(store, session, file::kGeneralLedger);
    const std::pair<const std::filesystem::path*, const SetTable*> ledgers[] = {
        {&out.generalHtml, &general}, {&out.detailHtml, &ledger}};
    for (const auto& [target, source] : ledgers) {
        const Table& t = source->table();
        if (!out.files.add(*target, [&](const std::filesystem::path& tmp) {
                writeHtmlTable(t, tmp);
                return true;
            }))
            refuse(userFileFailure(*target), "cannot sync " + pathText(*target));
    }
    logAction(store, session, logged::kReportWritten, month.text());
    return out;
}

Result<ExportedReport> exportMonthReport(RecordStore& store, const Session& session,
                                         YearMonth month,
                                         const std::filesystem::path& workbookFile) {
    Result<ExportedReport> out =
        runAction(store, [&] { return writeMonthReport(store, session, month, workbookFile); });
    // After the commit nothing throws: a failure to rename, or to sync the
    // folders renamed into, is told, no more.
    if (out.ok && !out.value.files.place())
        return Outcome::refused(kDiskMessage, "cannot put the report's files in place or sync them");
    return out;
}

}  // namespace tw
