// The .grd template files: a page grid as JSON, read with every field
// checked and written back (the format is described in platform/page_grid.h).
#include "platform/page_grid.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <nlohmann/json.hpp>
#include <system_error>
#include <tuple>

#include "storage/file_swap.h"

namespace tw {

namespace fs = std::filesystem;
using nlohmann::json;
using nlohmann::ordered_json;

namespace {

constexpr const char* kFormatName = "tallowick-page-grid";
constexpr int kFormatVersion = 1;
// Bounds a template file must keep: lengths up to a metre, and counts no real
// page comes near. They keep a damaged file from asking for absurd amounts of
// memory.
constexpr int kMaxLength = 10000;
constexpr int kMaxRows = 100000;
constexpr int kMaxColumns = 1000;
constexpr std::size_t kMaxCells = 4000000;
constexpr double kMaxPointSize = 200;
constexpr std::uintmax_t kMaxFileSize = 64 << 20;

const char* alignName(HAlign a) {
    switch (a) {
        case HAlign::Centre:
            return "centre";
        case HAlign::Right:
            return "right";
        default:
            return "left";
    }
}

std::string bordersName(const CellBorders& b) {
    std::string s;
    if (b.left) s += 'L';
    if (b.top) s += 'T';
    if (b.right) s += 'R';
    if (b.bottom) s += 'B';
    return s;
}

const char* paperName(PaperSize s) {
    switch (s) {
        case PaperSize::A5:
            return "A5";
        case PaperSize::Custom:
            return "custom";
        default:
            return "A4";
    }
}

// --- reading --------------------------------------------------------------

// Field readers: each leaves `out` alone when the key is absent, and fills
// `error` (returning false) when it is present but unusable.
struct Reader {
    std::string error;

    bool fail(const std::string& where, const std::string& what) {
        error = where + ": " + what;
        return false;
    }
    bool integer(const json& obj, const char* key, int min, int max, int& out,
                 const std::string& where) {
        auto it = obj.find(key);
        if (it == obj.end()) return true;
        if (!it->is_number_integer())
            return fail(where, std::string(key) + " is not a whole number");
        const auto v = it->get<long long>();
        if (v < min || v > max)
            return fail(where, std::string(key) + " " + std::to_string(v) + " is outside " +
                                   std::to_string(min) + ".." + std::to_string(max));
        out = static_cast<int>(v);
        return true;
    }
    bool text(const json& obj, const char* key, std::string& out, const std::string& where) {
        auto it = obj.find(key);
        if (it == obj.end()) return true;
        if (!it->is_string()) return fail(where, std::string(key) + " is not a text");
        out = it->get<std::string>();
        return true;
    }
    bool boolean(const json& obj, const char* key, bool& out, const std::string& where) {
        auto it = obj.find(key);
        if (it == obj.end()) return true;
        if (!it->is_boolean()) return fail(where, std::string(key) + " is not true or false");
        out = it->get<bool>();
        return true;
    }
    bool font(const json& obj, CellFont& out, const std::string& where) {
        auto it = obj.find("font");
        if (it == obj.end()) return true;
        if (!it->is_object()) return fail(where, "font is not an object");
        const std::string at = where + " font";
        if (!text(*it, "family", out.family, at) || !boolean(*it, "bold", out.bold, at))
            return false;
        if (auto size = it->find("size"); size != it->end()) {
            if (!size->is_number() || size->get<double>() <= 0 ||
                size->get<double>() > kMaxPointSize)
                return fail(at, "size is not a point size between 0 and 200");
            out.pointSize = size->get<double>();
        }
        return true;
    }
    bool lengths(const json& doc, const char* key, int maxCount, std::vector<int>& out) {
        auto it = doc.find(key);
        if (it == doc.end() || !it->is_array())
            return fail("grid", std::string(key) + " is missing or not a list");
        if (it->size() > static_cast<std::size_t>(maxCount))
            return fail("grid", std::string("more than ") + std::to_string(maxCount) + " " + key);
        for (const json& v : *it) {
            if (!v.is_number_integer() || v.get<long long>() <= 0 ||
                v.get<long long>() > kMaxLength)
                return fail("grid", std::string(key) + " holds a length that is not 1.." +
                                        std::to_string(kMaxLength));
            out.push_back(static_cast<int>(v.get<long long>()));
        }
        return true;
    }
    bool paper(const json& doc, PaperSettings& out) {
        auto it = doc.find("paper");
        if (it == doc.end()) return true;
        if (!it->is_object()) return fail("paper", "not an object");
        std::string size = "A4", orientation = "portrait";
        if (!text(*it, "size", size, "paper") || !text(*it, "orientation", orientation, "paper"))
            return false;
        Orientation o;
        if (orientation == "portrait")
            o = Orientation::Portrait;
        else if (orientation == "landscape")
            o = Orientation::Landscape;
        else
            return fail("paper", "orientation \"" + orientation + "\" is unknown");
        if (size == "A4")
            out = paperSettings(PaperSize::A4, o);
        else if (size == "A5")
            out = paperSettings(PaperSize::A5, o);
        else if (size == "custom") {
            out = paperSettings(PaperSize::A4, o);
            out.size = PaperSize::Custom;
            out.width = out.height = 0;
            if (!integer(*it, "width", 1, kMaxLength, out.width, "paper") ||
                !integer(*it, "height", 1, kMaxLength, out.height, "paper"))
                return false;
            if (!out.width || !out.height)
                return fail("paper", "custom paper needs width and height");
        } else {
            return fail("paper", "size \"" + size + "\" is unknown");
        }
        if (auto m = it->find("margins"); m != it->end()) {
            if (!m->is_object()) return fail("paper", "margins is not an object");
            if (!integer(*m, "left", 0, kMaxLength, out.marginLeft, "paper margins") ||
                !integer(*m, "top", 0, kMaxLength, out.marginTop, "paper margins") ||
                !integer(*m, "right", 0, kMaxLength, out.marginRight, "paper margins") ||
                !integer(*m, "bottom", 0, kMaxLength, out.marginBottom, "paper margins"))
                return false;
        }
        if (out.printableWidth() <= 0 || out.printableHeight() <= 0)
            return fail("paper", "the margins leave no room to print");
        return true;
    }
    bool cell(const json& c, const CellFont& base, GridCell& out, const std::string& where) {
        out.font = base;
        if (!text(c, "text", out.text, where) || !font(c, out.font, where)) return false;
        std::string align = "left", borders;
        if (!text(c, "align", align, where) || !text(c, "borders", borders, where)) return false;
        if (align == "left")
            out.align = HAlign::Left;
        else if (align == "centre")
            out.align = HAlign::Centre;
        else if (align == "right")
            out.align = HAlign::Right;
        else
            return fail(where, "align \"" + align + "\" is unknown");
        for (char ch : borders) {
            switch (ch) {
                case 'L':
                    out.borders.left = true;
                    break;
                case 'T':
                    out.borders.top = true;
                    break;
                case 'R':
                    out.borders.right = true;
                    break;
                case 'B':
                    out.borders.bottom = true;
                    break;
                default:
                    return fail(where, "borders \"" + borders + "\" holds a letter not LTRB");
            }
        }
        return true;
    }
};

// --- writing to disk --------------------------------------------------------

bool writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    out.close();
    return static_cast<bool>(out);
}

}  // namespace

// --- JSON -------------------------------------------------------------------------

std::optional<PageGrid> PageGrid::fromJson(std::string_view text, std::string* error) {
    auto refuse = [&](const std::string& why) -> std::optional<PageGrid> {
        if (error) *error = why;
        return std::nullopt;
    };
    json doc;
    try {
        doc = json::parse(text);
    } catch (const json::exception& e) {
        return refuse(std::string("not JSON: ") + e.what());
    }
    if (!doc.is_object()) return refuse("not a page grid: the file is not a JSON object");
    if (doc.value("format", json()) != kFormatName)
        return refuse(std::string("not a page grid: format is not \"") + kFormatName + "\"");
    const json version = doc.value("version", json());
    if (!version.is_number_integer() || version.get<long long>() < 1)
        return refuse("version is missing or not a whole number");
    if (version.get<long long>() > kFormatVersion)
        return refuse("version " + version.dump() + " is newer than this program reads");

    Reader read;
    PageGrid grid;
    std::vector<int> columns, rows;
    CellFont base;
    if (!read.paper(doc, grid.paper_) || !read.lengths(doc, "columns", kMaxColumns, columns) ||
        !read.lengths(doc, "rows", kMaxRows, rows) || !read.font(doc, base, "grid"))
        return refuse(read.error);
    if (rows.size() * columns.size() > kMaxCells)
        return refuse("the grid has more than " + std::to_string(kMaxCells) + " cells");
    grid.rowHeights_ = rows;
    grid.columnWidths_ = columns;
    grid.cells_.assign(rows.size() * columns.size(), GridCell{{}, HAlign::Left, {}, base});
    int headerRows = 0;
    if (!read.integer(doc, "headerRows", 0, grid.rowCount(), headerRows, "grid") ||
        !read.integer(doc, "dataRow", 0, grid.rowCount(), grid.dataRow_, "grid"))
        return refuse(read.error);
    grid.headerRows_ = headerRows;

    auto cells = doc.find("cells");
    if (cells == doc.end()) return grid;
    if (!cells->is_array()) return refuse("cells is not a list");
    std::vector<bool> seen(grid.cells_.size());
    for (std::size_t i = 0; i < cells->size(); ++i) {
        const json& c = (*cells)[i];
        std::string where = "cells[" + std::to_string(i) + "]";
        if (!c.is_object()) return refuse(where + ": not an object");
        int row = 0, column = 0, rowSpan = 1, colSpan = 1;
        if (!read.integer(c, "row", 1, grid.rowCount(), row, where) ||
            !read.integer(c, "column", 1, grid.columnCount(), column, where))
            return refuse(read.error);
        if (!row || !column) return refuse(where + ": row and column are required");
        where += " (row " + std::to_string(row) + ", column " + std::to_string(column) + ")";
        const std::size_t index = static_cast<std::size_t>(row - 1) * columns.size() + column - 1;
        if (seen[index]) return refuse(where + ": the cell is listed twice");
        seen[index] = true;
        GridCell& cell = grid.cells_[index];
        if (!read.cell(c, base, cell, where) ||
            !read.integer(c, "rowSpan", 1, kMaxRows, rowSpan, where) ||
            !read.integer(c, "colSpan", 1, kMaxColumns, colSpan, where))
            return refuse(read.error);
        if (rowSpan > 1 || colSpan > 1) {
            if (!grid.merge(row, column, rowSpan, colSpan))
                return refuse(where + ": the span leaves the grid or overlaps another span");
        }
    }
    return grid;
}

std::string PageGrid::toJson() const {
    // The most common font becomes the grid's font, so cells name only what
    // differs from it.
    std::map<std::tuple<std::string, double, bool>, int> fontCount;
    for (const GridCell& c : cells_) ++fontCount[{c.font.family, c.font.pointSize, c.font.bold}];
    CellFont base;
    int best = 0;
    for (const auto& [key, n] : fontCount)
        if (n > best) {
            best = n;
            base = {std::get<0>(key), std::get<1>(key), std::get<2>(key)};
        }
    auto fontJson = [](const CellFont& f, const CellFont* than) {
        ordered_json j = ordered_json::object();
        if (!than || f.family != than->family) j["family"] = f.family;
        if (!than || f.pointSize != than->pointSize) j["size"] = f.pointSize;
        if (!than || f.bold != than->bold) j["bold"] = f.bold;
        return j;
    };

    ordered_json paper{{"size", paperName(paper_.size)}};
    if (paper_.size == PaperSize::Custom) {
        paper["width"] = paper_.width;
        paper["height"] = paper_.height;
    }
    paper["orientation"] = paper_.orientation == Orientation::Portrait ? "portrait" : "landscape";
    paper["margins"] = {{"left", paper_.marginLeft},
                        {"top", paper_.marginTop},
                        {"right", paper_.marginRight},
                        {"bottom", paper_.marginBottom}};

    const auto handler = json::error_handler_t::replace;
    std::string out = "{\n";
    auto line = [&](const char* key, const ordered_json& value, bool last = false) {
        out += "  \"" + std::string(key) + "\": " + value.dump(-1, ' ', false, handler) +
               (last ? "\n" : ",\n");
    };
    line("format", kFormatName);
    line("version", kFormatVersion);
    line("paper", paper);
    line("headerRows", headerRows_);
    line("dataRow", dataRow_);
    line("font", fontJson(base, nullptr));
    line("columns", columnWidths_);
    line("rows", rowHeights_);
    out += "  \"cells\": [";
    bool first = true;
    for (int r = 1; r <= rowCount(); ++r)
        for (int c = 1; c <= columnCount(); ++c) {
            const GridCell& cell = this->cell(r, c);
            GridCell blank;
            blank.font = base;
            if (cell == blank) continue;
            ordered_json j{{"row", r}, {"column", c}};
            if (!cell.text.empty()) j["text"] = cell.text;
            if (cell.align != HAlign::Left) j["align"] = alignName(cell.align);
            if (cell.borders != CellBorders{}) j["borders"] = bordersName(cell.borders);
            if (cell.font != base) j["font"] = fontJson(cell.font, &base);
            if (cell.rowSpan > 1) j["rowSpan"] = cell.rowSpan;
            if (cell.colSpan > 1) j["colSpan"] = cell.colSpan;
            out += (first ? "\n    " : ",\n    ") + j.dump(-1, ' ', false, handler);
            first = false;
        }
    out += first ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

std::optional<PageGrid> PageGrid::load(const fs::path& file, std::string* error) {
    auto refuse = [&](const std::string& why) -> std::optional<PageGrid> {
        if (error) *error = file.string() + ": " + why;
        return std::nullopt;
    };
    std::error_code ec;
    const auto size = fs::file_size(file, ec);
    if (ec) return refuse("cannot read the file (" + ec.message() + ")");
    if (size > kMaxFileSize) return refuse("the file is too large for a page grid");
    std::ifstream in(file, std::ios::binary);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size())))
        return refuse("cannot read the file");
    std::string why;
    auto grid = fromJson(bytes, &why);
    if (!grid) return refuse(why);
    return grid;
}

bool PageGrid::save(const fs::path& file, std::string* error) const {
    for (const GridCell& c : cells_) {
        try {
            (void)json(c.text).dump();
            (void)json(c.font.family).dump();
        } catch (const json::exception&) {
            if (error) *error = file.string() + ": a cell holds text that is not UTF-8";
            return false;
        }
    }
    const std::string json = toJson();
    if (writeThenRename(file, [&](const fs::path& tmp) { return writeBytes(tmp, json); })) return true;
    if (error) *error = file.string() + ": cannot write the file";
    return false;
}

}  // namespace tw
