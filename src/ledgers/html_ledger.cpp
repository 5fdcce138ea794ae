#include "ledgers/html_ledger.h"

#include <fstream>
#include <string>
#include <system_error>

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

std::string escaped(const std::string& text) {
    std::string out;
    out.reserve(text.size());
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
    return out;
}

std::string cellText(const Value& v, FieldType type) {
    switch (type) {
        case FieldType::DateTime:
            return v.number() == 0 ? std::string() : formatDate(v.number());
        case FieldType::Boolean:
            return v.boolean() ? "TRUE" : "FALSE";
        case FieldType::Double:
            return plainDecimal(v.number());
        case FieldType::Int32:
        case FieldType::Int64:
        case FieldType::Byte:
            return std::to_string(v.integer());
        case FieldType::Text:
            break;
    }
    return escaped(v.text());
}

std::string cellOpener(bool firstField, FieldType type) {
    if (isNumeric(type))
        return firstField ? "  <td height=21 class=xl24 align=right style='height:15.75pt' x:num>"
                          : "  <td class=xl24 align=right x:num>";
    return firstField ? "  <td height=21 class=xl24 style='height:15.75pt'>" : "  <td class=xl24>";
}

// Lines go out as GBK; text GBK cannot hold (the store never keeps any) stops the file.
class GbkLines {
public:
    explicit GbkLines(const std::filesystem::path& file) : out_(file, std::ios::binary | std::ios::trunc) {}
    bool ok() const { return static_cast<bool>(out_); }
    void line(const std::string& utf8) {
        const auto gbk = toGbk(utf8);
        if (!gbk) refuse(kDiskMessage, "text GBK cannot hold: " + utf8);
        out_ << *gbk << kEol;
    }
    void close() { out_.close(); }

private:
    std::ofstream out_;
};

}  // namespace

void writeHtmlTable(const Table& table, const std::filesystem::path& target) {
    const auto fail = [&](const std::string& why) { refuse(kDiskMessage, target.string() + ": " + why); };
    const Schema& schema = table.schema();
    GbkLines out(target);
    if (!out.ok()) fail("cannot be written");
    for (const char* l : kHeader) out.line(l);
    out.line(" <col width=72 span=" + std::to_string(schema.size()) + " style='width:54pt'>");

    out.line(" <tr height=21 style='mso-height-source:userset;height:15.75pt'>");
    for (std::size_t k = 0; k < schema.size(); ++k)
        out.line((k == 0 ? "  <td height=21 width=72 style='height:15.75pt;width:54pt'>"
                         : "  <td width=72 style='width:54pt'>") +
                 escaped(schema[k].name) + "</td>");
    out.line(" </tr>");

    table.forEach({}, [&](const Record& r) {
        out.line(" <tr height=21 style='height:15.75pt'>");
        for (std::size_t k = 0; k < schema.size(); ++k)
            out.line(cellOpener(k == 0, schema[k].type) + cellText(r.values[k], schema[k].type) +
                     "</td>");
        out.line(" </tr>");
        return true;
    });
    for (const char* l : {"</table>", "</body>", "</html>"}) out.line(l);
    out.close();
    if (!out.ok()) fail("cannot be written");
}

}  // namespace tw
