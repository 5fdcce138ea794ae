// The two page templates the program writes on first start: the ledger page
// (账页) and the paper voucher (标准凭证).
#include <algorithm>
#include <fstream>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/page_grid.h"
#include "storage/file_swap.h"
#include "storage/schemas.h"

namespace tw {

namespace fs = std::filesystem;

namespace {

// One cell of a row described left to right; the grid's columns are the
// union of every row's cell edges, and each cell spans the columns it covers.
struct Piece {
    const char* text;
    int width;
    HAlign align;
};
struct RowSpec {
    int height;
    CellFont font;
    bool ruled;
    std::vector<Piece> pieces;
};

PageGrid gridFromRows(const std::vector<RowSpec>& rowLayouts) {
    std::vector<int> edges{0};
    for (const RowSpec& r : rowLayouts) {
        int x = 0;
        for (const Piece& p : r.pieces) edges.push_back(x += p.width);
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    auto column = [&](int x) {
        return static_cast<int>(std::lower_bound(edges.begin(), edges.end(), x) - edges.begin()) +
               1;
    };
    PageGrid grid(static_cast<int>(rowLayouts.size()), static_cast<int>(edges.size()) - 1);
    for (std::size_t c = 1; c < edges.size(); ++c)
        grid.setColumnWidth(static_cast<int>(c), edges[c] - edges[c - 1]);
    for (int row = 1; row <= static_cast<int>(rowLayouts.size()); ++row) {
        const RowSpec& layout = rowLayouts[row - 1];
        grid.setRowHeight(row, layout.height);
        int x = 0;
        for (const Piece& p : layout.pieces) {
            const int first = column(x);
            x += p.width;
            const int last = column(x) - 1;
            grid.setFont(row, first, layout.font);
            grid.setText(row, first, p.text);
            grid.setAlignment(row, first, p.align);
            if (layout.ruled) grid.setBorders(row, first, CellBorders::all());
            if (last > first) grid.merge(row, first, 1, last - first + 1);
        }
    }
    return grid;
}

CellFont font(double size, bool bold = false) { return {kGridFontFamily, size, bold}; }

}  // namespace

PageGrid ledgerPageTemplate() {
    // Widths hold a date (2013-12-31), a voucher number (120001), a summary of
    // 16 Chinese characters and amounts up to 999,999,999,999.99 at 9 points.
    const auto L = HAlign::Left, C = HAlign::Centre, R = HAlign::Right;
    PageGrid grid = gridFromRows({
        {140, font(16, true), false, {{"", 1900, C}}},
        {90,
         font(10, true),
         true,
         {{"日期", 200, C},
          {"凭证号", 140, C},
          {"摘要", 530, C},
          {"借方", 310, C},
          {"贷方", 310, C},
          {"方向", 100, C},
          {"余额", 310, C}}},
        {70,
         font(9),
         true,
         {{"", 200, C},
          {"", 140, C},
          {"", 530, L},
          {"", 310, R},
          {"", 310, R},
          {"", 100, C},
          {"", 310, R}}},
    });
    PaperSettings paper = paperSettings(PaperSize::A4, Orientation::Portrait);
    paper.marginTop = paper.marginBottom = 120;
    grid.setPaper(paper);
    grid.setHeaderRows(2);
    grid.setDataRow(3);
    return grid;
}

PageGrid voucherPageTemplate() {
    const auto L = HAlign::Left, C = HAlign::Centre, R = HAlign::Right;
    std::vector<RowSpec> rows{
        {180, font(18, true), false, {{"记 账 凭 证", 1900, C}}},
        {100,
         font(10),
         false,
         {{"单位", 120, L},
          {"[单位]", 380, L},
          {"[日期]", 330, C},
          {"[凭证字号]", 250, C},
          {"编号", 100, R},
          {"[编号]", 140, L},
          {"[第几]", 150, C},
          {"[共几]", 150, C},
          {"附件", 100, R},
          {"[附件数]", 180, L}}},
        {110,
         font(10, true),
         true,
         {{"摘要", 550, C}, {"科目名称", 650, C}, {"借方金额", 350, C}, {"贷方金额", 350, C}}},
    };
    const char* const kLines[4][4] = {
        {"[摘要1]", "[科目1]", "[借方金额1]", "[贷方金额1]"},
        {"[摘要2]", "[科目2]", "[借方金额2]", "[贷方金额2]"},
        {"[摘要3]", "[科目3]", "[借方金额3]", "[贷方金额3]"},
        {"[摘要4]", "[科目4]", "[借方金额4]", "[贷方金额4]"},
    };
    for (const auto& l : kLines)
        rows.push_back({130,
                        font(10),
                        true,
                        {{l[0], 550, L}, {l[1], 650, L}, {l[2], 350, R}, {l[3], 350, R}}});
    // The total in Chinese capitals beside it, as a bookkeeper writes it.
    rows.push_back({130,
                    font(10),
                    true,
                    {{"合计", 160, C},
                     {"大写金额", 180, C},
                     {"[大写]", 860, L},
                     {"[借方合计]", 350, R},
                     {"[贷方合计]", 350, R}}});
    rows.push_back({100,
                    font(10),
                    false,
                    {{"主管：", 140, L},
                     {"", 225, L},
                     {"登账：", 140, L},
                     {"[登账]", 225, L},
                     {"审核：", 140, L},
                     {"[审核]", 225, L},
                     {"编制：", 140, L},
                     {"[编制]", 225, L},
                     {"打印日期：", 220, L},
                     {"[打印日期]", 220, L}}});
    PageGrid grid = gridFromRows(rows);
    grid.setPaper(paperSettings(PaperSize::A5, Orientation::Landscape));
    return grid;
}

bool writePageTemplates(const fs::path& dataDir) {
    const std::pair<const char*, PageGrid (*)()> templates[] = {
        {file::kLedgerPage, ledgerPageTemplate},
        {file::kVoucherPage, voucherPageTemplate},
    };
    bool ok = true;
    for (const auto& [name, make] : templates) {
        const fs::path path = dataDir / fs::u8path(name);
        std::error_code ec;
        if (fs::exists(path, ec)) continue;  // the user's own page stays
        // Whole or not at all, never over a file that appeared meanwhile,
        // and synced with its folder.
        writeThenRename(
            path,
            [&](const fs::path& tmp) {
                std::ofstream out(tmp, std::ios::binary);
                out << make().toJson();
                out.close();
                return static_cast<bool>(out);
            },
            Existing::Keep);
        if (!fs::exists(path, ec)) ok = false;
    }
    return ok;
}

}  // namespace tw
