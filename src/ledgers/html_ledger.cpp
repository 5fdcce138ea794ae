#include "ledgers/html_ledger.h"

#include <charconv>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "storage/dates.h"
#include "storage/gbk.h"
#include "storage/number_text.h"
#include "storage/outcome.h"

namespace tw {

namespace {

constexpr const char* kEol = "\r\n";

// The document up to the <col> of the table, one line per entry.
const char* const kHeader[] = {
    "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\"",
    "xmlns:x=\"urn:schemas-microsoft-com:office:excel\"",
    "xmlns=\"http://www.w3.org/TR/REC-html40\">",
    "",
    "<head>",
    "<meta http-equiv=Content-Type content=\"text/html; charset=GBK\">",
    "<meta name=ProgId content=Excel.Sheet>",
    "<meta name=Generator content=\"Tallowick\">",
    "<!--[if gte mso 9]><xml>",
    " <o:DocumentProperties>",
    "  <o:Version>9.2812</o:Version>",
    " </o:DocumentProperties>",
    " <o:OfficeDocumentSettings>",
    "  <o:DownloadComponents/>",
    " </o:OfficeDocumentSettings>",
    "</xml><![endif]-->",
    "<style>",
    "<!--table",
    "\t{mso-displayed-decimal-separator:\"\\.\";",
    "\tmso-displayed-thousand-separator:\"\\,\";}",
    "@page",
    "\t{margin:1.0in .75in 1.0in .75in;",
    "\tmso-header-margin:.5in;",
    "\tmso-footer-margin:.5in;}",
    "tr",
    "\t{mso-height-source:auto;",
    "\tmso-ruby-visibility:none;}",
    "col",
    "\t{mso-width-source:auto;",
    "\tmso-ruby-visibility:none;}",
    "br",
    "\t{mso-data-placement:same-cell;}",
    ".style0",
    "\t{mso-number-format:General;",
    "\ttext-align:general;",
    "\tvertical-align:middle;",
    "\twhite-space:nowrap;",
    "\tmso-rotate:0;",
    "\tmso-background-source:auto;",
    "\tmso-pattern:auto;",
    "\tcolor:windowtext;",
    "\tfont-size:12.0pt;",
    "\tfont-weight:400;",
    "\tfont-style:normal;",
    "\ttext-decoration:none;",
    "\tfont-family:宋体;",
    "\tmso-generic-font-family:auto;",
    "\tmso-font-charset:134;",
    "\tborder:none;",
    "\tmso-protection:locked visible;",
    "\tmso-style-name:常规;",
    "\tmso-style-id:0;}",
    "td",
    "\t{mso-style-parent:style0;",
    "\tpadding-top:1px;",
    "\tpadding-right:1px;",
    "\tpadding-left:1px;",
    "\tmso-ignore:padding;",
    "\tcolor:windowtext;",
    "\tfont-size:12.0pt;",
    "\tfont-weight:400;",
    "\tfont-style:normal;",
    "\ttext-decoration:none;",
    "\tfont-family:宋体;",
    "\tmso-generic-font-family:auto;",
    "\tmso-font-charset:134;",
    "\tmso-number-format:General;",
    "\ttext-align:general;",
    "\tvertical-align:middle;",
    "\tborder:none;",
    "\tmso-background-source:auto;",
    "\tmso-pattern:auto;",
    "\tmso-protection:locked visible;",
    "\twhite-space:nowrap;",
    "\tmso-rotate:0;}",
    ".xl24",
    "\t{mso-style-parent:style0;",
    "\tfont-family:\"Times New Roman\", serif;",
    "\tmso-font-charset:0;}",
    "ruby",
    "\t{ruby-align:left;}",
    "rt",
    "\t{color:windowtext;",
    "\tfont-size:9.0pt;",
    "\tfont-weight:400;",
    "\tfont-style:normal;",
    "\ttext-decoration:none;",
    "\tfont-family:宋体;",
    "\tmso-generic-font-family:auto;",
    "\tmso-font-charset:134;",
    "\tmso-char-type:none;",
    "\tdisplay:none;}",
    "-->",
    "</style>",
    "<!--[if gte mso 9]><xml>",
    " <x:ExcelWorkbook>",
    "  <x:ExcelWorksheets>",
    "   <x:ExcelWorksheet>",
    "    <x:Name>Sheet1</x:Name>",
    "    <x:WorksheetOptions>",
    "     <x:DefaultRowHeight>285</x:DefaultRowHeight>",
    "     <x:Selected/>",
    "     <x:ProtectContents>False</x:ProtectContents>",
    "     <x:ProtectObjects>False</x:ProtectObjects>",
    "     <x:ProtectScenarios>False</x:ProtectScenarios>",
    "    </x:WorksheetOptions>",
    "   </x:ExcelWorksheet>",
    "   <x:ExcelWorksheet>",
    "    <x:Name>Sheet2</x:Name>",
    "    <x:WorksheetOptions>",
    "     <x:DefaultRowHeight>285</x:DefaultRowHeight>",
    "     <x:ProtectContents>False</x:ProtectContents>",
    "     <x:ProtectObjects>False</x:ProtectObjects>",
    "     <x:ProtectScenarios>False</x:ProtectScenarios>",
    "    </x:WorksheetOptions>",
    "   </x:ExcelWorksheet>",
    "   <x:ExcelWorksheet>",
    "    <x:Name>Sheet3</x:Name>",
    "    <x:WorksheetOptions>",
    "     <x:DefaultRowHeight>285</x:DefaultRowHeight>",
    "     <x:ProtectContents>False</x:ProtectContents>",
    "     <x:ProtectObjects>False</x:ProtectObjects>",
    "     <x:ProtectScenarios>False</x:ProtectScenarios>",
    "    </x:WorksheetOptions>",
    "   </x:ExcelWorksheet>",
    "  </x:ExcelWorksheets>",
    "  <x:WindowHeight>9090</x:WindowHeight>",
    "  <x:WindowWidth>15195</x:WindowWidth>",
    "  <x:WindowTopX>120</x:WindowTopX>",
    "  <x:WindowTopY>60</x:WindowTopY>",
    "  <x:ProtectStructure>False</x:ProtectStructure>",
    "  <x:ProtectWindows>False</x:ProtectWindows>",
    " </x:ExcelWorkbook>",
    "</xml><![endif]-->",
    "</head>",
    "",
    "<body link=blue vlink=purple>",
    "",
    "<table x:str border=0 cellpadding=0 cellspacing=0 width=288 style='border-collapse:",
    " collapse;table-layout:fixed;width:216pt'>",
};

bool isNumeric(FieldType type) {
    return type == FieldType::Double || type == FieldType::Int32 || type == FieldType::Int64 ||
           type == FieldType::Byte;
}

void appendEscaped(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '\r': break;
            case '\n': out += "<br>"; break;
            default: out += c;
        }
    }
}

const char* cellOpener(bool firstField, FieldType type) {
    if (isNumeric(type))
        return firstField ? "  <td height=21 class=xl24 align=right style='height:15.75pt' x:num>"
                          : "  <td class=xl24 align=right x:num>";
    return firstField ? "  <td height=21 class=xl24 style='height:15.75pt'>" : "  <td class=xl24>";
}

// The file's bytes, gathered in one buffer and written in large blocks.
// Lines are ASCII or converted to GBK; a text cell is converted once per
// distinct text (a ledger repeats its accounts and summaries), and a date
// once per run of equal dates.
class LedgerFile {
public:
    // `fail` refuses the operation (it does not return).
    LedgerFile(const std::filesystem::path& file, std::function<void(const std::string&)> fail)
        : f_(std::fopen(file.c_str(), "wb")), fail_(std::move(fail)) {
        buffer_.reserve(kBlock + 4096);
    }
    ~LedgerFile() {
        if (f_) std::fclose(f_);
    }
    LedgerFile(const LedgerFile&) = delete;
    LedgerFile& operator=(const LedgerFile&) = delete;
    bool ok() const { return f_ != nullptr && !failed_; }

    // A whole line, converted to GBK.
    void line(std::string_view utf8) {
        if (isAscii(utf8)) {
            buffer_ += utf8;
        } else {
            const auto converted = toGbk(utf8);
            if (!converted) return fail_("text GBK cannot hold: " + std::string(utf8));
            buffer_ += *converted;
        }
        end();
    }
    void ascii(std::string_view text) { buffer_ += text; }
    // Text escaped for HTML and converted to GBK.
    void text(std::string_view utf8) {
        if (isAscii(utf8)) return appendEscaped(buffer_, utf8);
        auto it = cache_.find(utf8);
        if (it == cache_.end()) {
            std::string escaped;
            appendEscaped(escaped, utf8);
            auto converted = toGbk(escaped);
            if (!converted) return fail_("text GBK cannot hold: " + std::string(utf8));
            if (cache_.size() >= kCacheEntries) cache_.clear();  // a bound on memory
            it = cache_.emplace(std::string(utf8), std::move(*converted)).first;
        }
        buffer_ += it->second;
    }
    void number(double x) { appendPlainDecimal(buffer_, x); }
    void integer(std::int64_t n) {
        char buf[24];
        buffer_.append(buf, std::to_chars(buf, buf + sizeof buf, n).ptr);
    }
    void date(double day) {
        if (day != lastDay_ || !haveDay_) {
            lastDay_ = day;
            haveDay_ = true;
            lastDate_ = day == 0 ? std::string() : formatDate(day);
        }
        buffer_ += lastDate_;
    }
    void end() {
        buffer_ += kEol;
        if (buffer_.size() >= kBlock) flush();
    }
    bool close() {
        flush();
        if (f_ && std::fclose(f_) != 0) failed_ = true;
        f_ = nullptr;
        return !failed_;
    }

private:
    static constexpr std::size_t kBlock = 1 << 20;
    static constexpr std::size_t kCacheEntries = 1 << 16;

    static bool isAscii(std::string_view s) {
        for (unsigned char c : s)
            if (c >= 0x80) return false;
        return true;
    }
    void flush() {
        if (!f_ || buffer_.empty()) return;
        if (std::fwrite(buffer_.data(), 1, buffer_.size(), f_) != buffer_.size()) failed_ = true;
        buffer_.clear();
        if (failed_) return fail_("cannot be written");
    }

    std::FILE* f_;
    std::function<void(const std::string&)> fail_;
    bool failed_ = false;
    std::string buffer_;
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    std::unordered_map<std::string, std::string, TextHash, std::equal_to<>> cache_;
    double lastDay_ = 0;
    bool haveDay_ = false;
    std::string lastDate_;
};

}  // namespace

void writeHtmlTable(const Table& table, const std::filesystem::path& target) {
    const auto fail = [&](const std::string& why) { refuse(kDiskMessage, target.string() + ": " + why); };
    const Schema& schema = table.schema();
    LedgerFile out(target, fail);
    if (!out.ok()) fail("cannot be written");
    for (const char* l : kHeader) out.line(l);
    out.line(" <col width=72 span=" + std::to_string(schema.size()) + " style='width:54pt'>");

    out.line(" <tr height=21 style='mso-height-source:userset;height:15.75pt'>");
    for (std::size_t k = 0; k < schema.size(); ++k) {
        out.ascii(k == 0 ? "  <td height=21 width=72 style='height:15.75pt;width:54pt'>"
                         : "  <td width=72 style='width:54pt'>");
        out.text(schema[k].name);
        out.ascii("</td>");
        out.end();
    }
    out.line(" </tr>");

    table.forEach({}, [&](const Record& r) {
        out.line(" <tr height=21 style='height:15.75pt'>");
        for (std::size_t k = 0; k < schema.size(); ++k) {
            const FieldType type = schema[k].type;
            const Value& v = r.values[k];
            out.ascii(cellOpener(k == 0, type));
            switch (type) {
                case FieldType::DateTime: out.date(v.number()); break;
                case FieldType::Boolean: out.ascii(v.boolean() ? "TRUE" : "FALSE"); break;
                case FieldType::Double: out.number(v.number()); break;
                case FieldType::Int32:
                case FieldType::Int64:
                case FieldType::Byte: out.integer(v.integer()); break;
                case FieldType::Text: out.text(v.text()); break;
            }
            out.ascii("</td>");
            out.end();
        }
        out.line(" </tr>");
        return true;
    });
    for (const char* l : {"</table>", "</body>", "</html>"}) out.line(l);
    if (!out.close()) fail("cannot be written");
}

}  // namespace tw
