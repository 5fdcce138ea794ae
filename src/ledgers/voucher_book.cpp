#include "ledgers/voucher_book.h"

#include <algorithm>
#include <utility>

#include "ledgers/voucher_sheet.h"
#include "vouchers/numbering.h"

namespace tw {

namespace {

constexpr int kLabelWidth = 500;
constexpr int kValueWidth = 1400;

CellFont coverFont(double size, bool bold = false) { return {kGridFontFamily, size, bold}; }

// A row of one cell across the cover.
void wholeRow(PageGrid& grid, int row, int height, const std::string& text, CellFont font,
              HAlign align) {
    grid.setRowHeight(row, height);
    grid.setText(row, 1, text);
    grid.setFont(row, 1, std::move(font));
    grid.setAlignment(row, 1, align);
    grid.merge(row, 1, 1, 2);
}

}  // namespace

std::string noVouchersMessage(YearMonth month) { return month.text() + "没有凭证！"; }

VoucherBook voucherBook(YearMonth month, std::vector<VoucherPage> pages) {
    VoucherBook book;
    book.month = month;
    std::erase_if(pages, [](const VoucherPage& p) { return !p.isVoucher(); });
    std::stable_sort(pages.begin(), pages.end(), [](const VoucherPage& a, const VoucherPage& b) {
        return a.number != b.number ? a.number < b.number : a.page < b.page;
    });
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (i == 0 || pages[i].number != pages[i - 1].number) ++book.vouchers;
        book.attachments += pages[i].attachments;
    }
    if (!pages.empty()) {
        book.firstNumber = pages.front().number;
        book.lastNumber = pages.back().number;
    }
    book.pages = std::move(pages);
    return book;
}

VoucherBook monthVoucherBook(RecordStore& store, const Session& session, YearMonth month) {
    VoucherBook book = voucherBook(month, monthVoucherPages(store, session, month));
    if (book.pages.empty()) refuse(noVouchersMessage(month));
    return book;
}

PageGrid voucherCover(const VoucherBook& book, const std::string& company) {
    const std::pair<const char*, std::string> rows[] = {
        {"单位名称", company},
        {"所属期间", book.month.text()},
        {"凭证起止号",
         "自" + voucherWordNumber(book.firstNumber) + "至" + voucherWordNumber(book.lastNumber)},
        {"凭证份数", "共" + std::to_string(book.vouchers) + "份"},
        {"凭证张数", "共" + std::to_string(book.pageCount()) + "张"},
        {"附件张数", "共" + std::to_string(book.attachments) + "张"},
    };
    constexpr int kTableRow = 3;  // after the title and a blank row
    const int count = static_cast<int>(std::size(rows));
    PageGrid grid(kTableRow + count + 1, 2);
    grid.setPaper(paperSettings(PaperSize::A5, Orientation::Landscape));
    grid.setColumnWidth(1, kLabelWidth);
    grid.setColumnWidth(2, kValueWidth);
    wholeRow(grid, 1, 160, "记 账 凭 证 封 面", coverFont(20, true), HAlign::Centre);
    wholeRow(grid, 2, 40, "", coverFont(12), HAlign::Left);
    for (int i = 0; i < count; ++i) {
        const int row = kTableRow + i;
        grid.setRowHeight(row, 110);
        grid.setText(row, 1, rows[i].first);
        grid.setFont(row, 1, coverFont(12, true));
        grid.setAlignment(row, 1, HAlign::Centre);
        grid.setText(row, 2, rows[i].second);
        grid.setFont(row, 2, coverFont(12));
        for (int c = 1; c <= 2; ++c) grid.setBorders(row, c, CellBorders::all());
    }
    wholeRow(grid, kTableRow + count, 120,
             "会计主管：                    装订人：                    装订日期：",
             coverFont(11), HAlign::Left);
    return grid;
}

std::vector<PageGrid> voucherBookSheets(const VoucherBook& book, const PageGrid& templ,
                                        const std::string& company, double printDay) {
    std::vector<PageGrid> sheets;
    sheets.reserve(book.pages.size() + 1);
    for (const VoucherPage& p : book.pages)
        sheets.push_back(fillVoucherSheet(templ, sheetTextsOf(p, company), printDay));
    sheets.push_back(voucherCover(book, company));
    return sheets;
}

}  // namespace tw
