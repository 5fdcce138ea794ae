#include "statements/statement_sheets.h"

#include <algorithm>
#include <cmath>

#include "storage/number_text.h"

namespace tw {

namespace {

constexpr double kTitleSize = 18;
constexpr double kBodySize = 10;
// A spreadsheet column one character wide measures about 1.9 mm.
constexpr double kTenthsPerCharacter = 19.0;

SheetCell text(std::string t, HAlign align = HAlign::Left, bool bold = false) {
    SheetCell c;
    c.text = std::move(t);
    c.align = align;
    c.bold = bold;
    return c;
}

SheetCell amount(double x, bool shown, bool bold = false) {
    SheetCell c;
    c.isAmount = shown;
    c.amount = x;
    c.align = HAlign::Right;
    c.bold = bold;
    return c;
}

SheetCell spanned(std::string t, int colSpan, int rowSpan = 1) {
    SheetCell c = text(std::move(t), HAlign::Centre, true);
    c.colSpan = colSpan;
    c.rowSpan = rowSpan;
    return c;
}

// The four cells of a statement line: 项目, 行次 and the two amounts.
void lineCells(std::vector<SheetCell>& row, const StatementLine* l) {
    if (!l) {
        for (int i = 0; i < 4; ++i) row.push_back(text(""));
        return;
    }
    row.push_back(text(l->item));
    row.push_back(text(l->line ? std::to_string(l->line) : "", HAlign::Centre));
    for (double x : l->amounts) row.push_back(amount(x, l->computed));
}

// Column `c` (from 1) of row `r` as a spreadsheet cell name.
std::string at(int r, int c) { return cellName(r, c); }
std::string range(int r1, int c1, int r2, int c2) { return at(r1, c1) + ":" + at(r2, c2); }

// Where the header row's three texts go: 编制单位 from column 1, the date in
// the middle, 单位：元 in the last column.
struct HeaderSpans {
    int companyLast, dateFirst, dateLast, unit;
};
HeaderSpans headerSpans(int columns) {
    const int company = columns >= 8 ? 3 : 1;
    return {company, company + 1, std::max(company + 1, columns - 1), columns};
}

}  // namespace

std::string groupedAmount(double x) { return groupedTwoDecimals(x); }

SheetLayout statementLayout(const Statement& s) {
    SheetLayout out;
    out.name = s.title;
    out.title = s.title;
    out.form = s.form;
    out.company = s.company;
    out.date = s.date;
    if (s.kind == StatementKind::BalanceSheet) {
        out.landscape = true;
        out.widths = {30, 5, 15, 15, 36, 5, 15, 15};
        out.heads = {{text("资产", HAlign::Centre, true), text("行次", HAlign::Centre, true),
                      text(s.columns[0], HAlign::Centre, true), text(s.columns[1], HAlign::Centre, true),
                      text("负债和所有者权益（或股东权益）", HAlign::Centre, true),
                      text("行次", HAlign::Centre, true), text(s.columns[0], HAlign::Centre, true),
                      text(s.columns[1], HAlign::Centre, true)}};
        std::vector<const StatementLine*> left, right;
        for (const StatementLine& l : s.lines) (l.debitSide ? left : right).push_back(&l);
        // The shorter half waits before its last line: the two totals share the last row.
        const std::size_t n = std::max(left.size(), right.size());
        for (auto* half : {&left, &right})
            if (!half->empty() && half->size() < n) half->insert(half->end() - 1, n - half->size(), nullptr);
        for (std::size_t i = 0; i < n; ++i) {
            std::vector<SheetCell> row;
            lineCells(row, i < left.size() ? left[i] : nullptr);
            lineCells(row, i < right.size() ? right[i] : nullptr);
            out.rows.push_back(std::move(row));
        }
    } else {
        // 现金流量表's items run longest.
        out.widths = {s.kind == StatementKind::CashFlow ? 60.0 : 54.0, 6, 18, 18};
        out.heads = {{text("项目", HAlign::Centre, true), text("行次", HAlign::Centre, true),
                      text(s.columns[0], HAlign::Centre, true), text(s.columns[1], HAlign::Centre, true)}};
        for (const StatementLine& l : s.lines) {
            std::vector<SheetCell> row;
            lineCells(row, &l);
            out.rows.push_back(std::move(row));
        }
    }
    for (const std::string& n : s.notices) out.notes.push_back("注：" + n);
    return out;
}

SheetLayout balancesLayout(const AccountBalances& b) {
    SheetLayout out;
    out.name = kAccountBalancesName;
    out.title = kAccountBalancesName;
    out.company = b.company;
    out.date = b.period();
    out.landscape = true;
    out.onePage = false;
    out.widths = {26, 14, 14, 14, 14, 14, 14, 14, 14};
    std::vector<SheetCell> first{spanned("科目名称", 1, 2)}, second{SheetCell{}};
    for (const char* head : {"期初余额", "本期发生额", "本年累计发生额", "期末余额"}) {
        first.push_back(spanned(head, 2));
        first.push_back(SheetCell{});
        second.push_back(spanned("借方", 1));
        second.push_back(spanned("贷方", 1));
    }
    out.heads = {first, second};
    const auto amounts = [](std::vector<SheetCell>& row, const BalanceRow& r, bool bold) {
        for (const SidePair* p : {&r.opening, &r.movement, &r.yearMovement, &r.closing}) {
            row.push_back(amount(p->debit, true, bold));
            row.push_back(amount(p->credit, true, bold));
        }
    };
    for (const BalanceRow& r : b.rows) {
        std::vector<SheetCell> row{text(r.label())};
        amounts(row, r, false);
        out.rows.push_back(std::move(row));
    }
    std::vector<SheetCell> total{text(b.total.account, HAlign::Centre, true)};
    amounts(total, b.total, true);
    out.rows.push_back(std::move(total));
    return out;
}

Workbook layoutWorkbook(const std::vector<SheetLayout>& sheets) {
    Workbook book;
    for (const SheetLayout& l : sheets) {
        Worksheet& ws = book.addSheet(l.name);
        const int columns = static_cast<int>(l.widths.size());
        for (int c = 1; c <= columns; ++c) ws.setColumnWidth(c, l.widths[c - 1]);
        ws.setA4(true);
        ws.setLandscape(l.landscape);
        const int headFirst = 4;
        const int bodyFirst = headFirst + static_cast<int>(l.heads.size());
        const int lastRow = bodyFirst + static_cast<int>(l.rows.size() + l.notes.size()) - 1;
        if (l.onePage) {
            ws.setFitToOnePage(true);
        } else {
            ws.setFitToPageWidth(true);
            ws.setRepeatedRows(1, bodyFirst - 1);
        }
        ws.setFont(range(1, 1, lastRow, columns), kWorkbookFont, kBodySize, false);

        ws.merge(range(1, 1, 1, columns));
        ws.setText(1, 1, l.title);
        ws.setAlignment(range(1, 1, 1, columns), CellAlign::Centre);
        ws.setFont(range(1, 1, 1, columns), kWorkbookFont, kTitleSize, true);
        ws.setRowHeight(1, 30);
        if (!l.form.empty()) {
            ws.setText(2, columns, l.form);
            ws.setAlignment(at(2, columns), CellAlign::Right);
        }
        const HeaderSpans h = headerSpans(columns);
        ws.merge(range(3, 1, 3, h.companyLast));
        ws.setText(3, 1, "编制单位：" + l.company);
        ws.setAlignment(at(3, 1), CellAlign::Left);
        ws.merge(range(3, h.dateFirst, 3, h.dateLast));
        ws.setText(3, h.dateFirst, l.date);
        ws.setAlignment(range(3, h.dateFirst, 3, h.dateLast), CellAlign::Centre);
        ws.setText(3, h.unit, "单位：元");
        ws.setAlignment(at(3, h.unit), CellAlign::Right);

        const auto put = [&](int r, const std::vector<SheetCell>& cells) {
            for (int c = 1; c <= static_cast<int>(cells.size()); ++c) {
                const SheetCell& cell = cells[c - 1];
                const std::string name = at(r, c);
                if (cell.colSpan > 1 || cell.rowSpan > 1)
                    ws.merge(range(r, c, r + cell.rowSpan - 1, c + cell.colSpan - 1));
                if (cell.isAmount) {
                    setAmount(ws, name, cell.amount);
                } else if (!cell.text.empty()) {
                    ws.setText(name, cell.text);
                }
                ws.setAlignment(name, cellAlign(cell.align));
                if (cell.bold) ws.setFont(name, kWorkbookFont, kBodySize, true);
                ws.setBorders(name, true);
            }
        };
        int r = headFirst;
        for (const auto& cells : l.heads) put(r++, cells);
        for (const auto& cells : l.rows) put(r++, cells);
        for (const std::string& note : l.notes) {
            ws.merge(range(r, 1, r, columns));
            ws.setText(r, 1, note);
            ws.setAlignment(at(r, 1), CellAlign::Left);
            ++r;
        }
    }
    return book;
}

PageGrid layoutPage(const SheetLayout& l) {
    const int columns = static_cast<int>(l.widths.size());
    const int heads = static_cast<int>(l.heads.size());
    const int body = static_cast<int>(l.rows.size());
    const int notes = static_cast<int>(l.notes.size());
    PageGrid grid(3 + heads + body + notes, columns);
    PaperSettings paper = paperSettings(PaperSize::A4, l.landscape ? Orientation::Landscape
                                                                     : Orientation::Portrait);
    grid.setPaper(paper);

    // The columns fill the printable width, in the layout's proportions.
    double total = 0;
    for (double w : l.widths) total += w * kTenthsPerCharacter;
    const double scale = paper.printableWidth() / total;
    int used = 0;
    for (int c = 1; c <= columns; ++c) {
        const int w = c < columns ? static_cast<int>(l.widths[c - 1] * kTenthsPerCharacter * scale)
                                  : paper.printableWidth() - used;
        grid.setColumnWidth(c, w);
        used += w;
    }
    // A statement's lines share what its page leaves them.
    const int fixed = 120 + 60 + 60 + 70 * heads + 55 * notes;
    int rowHeight = 65;
    if (l.onePage && body > 0)
        rowHeight = std::clamp((paper.printableHeight() - fixed) / body, 40, 70);
    const double size = l.landscape ? 9 : kBodySize;
    const CellFont plain{kGridFontFamily, size, false}, bold{kGridFontFamily, size, true};

    grid.setRowHeight(1, 120);
    grid.setFont(1, 1, {kGridFontFamily, 16, true});
    grid.setText(1, 1, l.title);
    grid.setAlignment(1, 1, HAlign::Centre);
    grid.merge(1, 1, 1, columns);
    grid.setRowHeight(2, 60);
    grid.setRowHeight(3, 60);
    for (int r = 2; r <= grid.rowCount(); ++r)
        for (int c = 1; c <= columns; ++c) grid.setFont(r, c, plain);
    if (!l.form.empty()) {
        grid.setText(2, columns, l.form);
        grid.setAlignment(2, columns, HAlign::Right);
    }
    const HeaderSpans h = headerSpans(columns);
    grid.setText(3, 1, "编制单位：" + l.company);
    grid.merge(3, 1, 1, h.companyLast);
    grid.setText(3, h.dateFirst, l.date);
    grid.setAlignment(3, h.dateFirst, HAlign::Centre);
    grid.merge(3, h.dateFirst, 1, h.dateLast - h.dateFirst + 1);
    grid.setText(3, h.unit, "单位：元");
    grid.setAlignment(3, h.unit, HAlign::Right);

    const auto put = [&](int r, const std::vector<SheetCell>& cells) {
        for (int c = 1; c <= static_cast<int>(cells.size()); ++c) {
            const SheetCell& cell = cells[c - 1];
            grid.setBorders(r, c, CellBorders::all());
            grid.setAlignment(r, c, cell.align);
            if (cell.bold) grid.setFont(r, c, bold);
            if (cell.isAmount) {
                if (!isZero(cell.amount)) grid.setText(r, c, groupedAmount(cell.amount));
            } else {
                grid.setText(r, c, cell.text);
            }
        }
        for (int c = 1; c <= static_cast<int>(cells.size()); ++c)
            if (cells[c - 1].colSpan > 1 || cells[c - 1].rowSpan > 1)
                grid.merge(r, c, cells[c - 1].rowSpan, cells[c - 1].colSpan);
    };
    int r = 4;
    for (const auto& cells : l.heads) {
        grid.setRowHeight(r, 70);
        put(r++, cells);
    }
    for (const auto& cells : l.rows) {
        grid.setRowHeight(r, rowHeight);
        put(r++, cells);
    }
    for (const std::string& note : l.notes) {
        grid.setRowHeight(r, 55);
        grid.setText(r, 1, note);
        grid.merge(r, 1, 1, columns);
        ++r;
    }
    if (!l.onePage) grid.setHeaderRows(3 + heads);
    return grid;
}

}  // namespace tw
