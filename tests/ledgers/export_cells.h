#pragma once
// What an exported workbook says about its cells beyond their values, read
// from its XML parts (an .xlsx is a ZIP): whether a cell holds a number or a
// text, its number format, and how worksheet 1 prints. readXlsxSheet gives
// the values; these tell a date from a day number and an amount from a text.

#include <minizip/unzip.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace tw::test {

// The bytes of one part of the workbook ("xl/styles.xml"); empty when it has none.
inline std::string xlsxPart(const std::filesystem::path& file, const std::string& part) {
    std::string bytes;
    unzFile z = unzOpen64(file.c_str());
    if (!z) return bytes;
    if (unzLocateFile(z, part.c_str(), 2) == UNZ_OK && unzOpenCurrentFile(z) == UNZ_OK) {
        char buffer[65536];
        int n;
        while ((n = unzReadCurrentFile(z, buffer, sizeof buffer)) > 0) bytes.append(buffer, n);
        unzCloseCurrentFile(z);
    }
    unzClose(z);
    return bytes;
}

// The attributes of the element that starts at `at` in `xml` ("<c r=…>").
inline std::map<std::string, std::string> attributesAt(const std::string& xml, std::size_t at) {
    std::map<std::string, std::string> out;
    const std::size_t end = xml.find('>', at);
    std::size_t i = xml.find(' ', at);
    while (i != std::string::npos && i < end) {
        const std::size_t eq = xml.find("=\"", i);
        if (eq == std::string::npos || eq > end) break;
        const std::size_t quote = xml.find('"', eq + 2);
        std::string name = xml.substr(i + 1, eq - i - 1);
        while (!name.empty() && name.front() == ' ') name.erase(0, 1);
        out[name] = xml.substr(eq + 2, quote - eq - 2);
        i = quote + 1;
    }
    return out;
}

// The attributes of the first element named `tag` in `xml`; nothing when there is none.
inline std::optional<std::map<std::string, std::string>> elementAttributes(const std::string& xml,
                                                                           const std::string& tag) {
    const std::string opening = "<" + tag;
    for (std::size_t at = xml.find(opening); at != std::string::npos;
         at = xml.find(opening, at + 1)) {
        const char next = xml[at + 1 + tag.size()];
        if (next == ' ' || next == '/' || next == '>') return attributesAt(xml, at);
    }
    return std::nullopt;
}

struct CellFacts {
    bool found = false;
    std::string type;    // "n" a number, "s" a shared text, "str", "inlineStr" …
    std::string format;  // its number format's code; "General" for none
};

// What worksheet 1 of `file` says about the cell `name` ("E4").
inline CellFacts cellFacts(const std::filesystem::path& file, const std::string& name) {
    CellFacts facts;
    const std::string sheet = xlsxPart(file, "xl/worksheets/sheet1.xml");
    const std::size_t at = sheet.find("<c r=\"" + name + "\"");
    if (at == std::string::npos) return facts;
    facts.found = true;
    const auto cell = attributesAt(sheet, at);
    facts.type = cell.count("t") ? cell.at("t") : "n";
    const int style = cell.count("s") ? std::stoi(cell.at("s")) : 0;

    // The style's place among the cell formats gives its number format's id.
    const std::string styles = xlsxPart(file, "xl/styles.xml");
    std::size_t xf = styles.find("<cellXfs");
    for (int k = 0; k <= style && xf != std::string::npos; ++k) xf = styles.find("<xf ", xf + 1);
    std::string id = "0";
    if (xf != std::string::npos) {
        const auto attributes = attributesAt(styles, xf);
        if (attributes.count("numFmtId")) id = attributes.at("numFmtId");
    }
    for (std::size_t f = styles.find("<numFmt "); f != std::string::npos;
         f = styles.find("<numFmt ", f + 1)) {
        const auto attributes = attributesAt(styles, f);
        if (attributes.count("numFmtId") && attributes.at("numFmtId") == id) {
            facts.format = attributes.at("formatCode");
            return facts;
        }
    }
    // The spreadsheet's own formats, numbered and never written out.
    static const std::map<std::string, std::string> builtIn{{"0", "General"}, {"2", "0.00"},
                                                            {"4", "#,##0.00"}, {"14", "mm-dd-yy"}};
    facts.format = builtIn.count(id) ? builtIn.at(id) : "built-in " + id;
    return facts;
}

// How worksheet 1 prints: the attributes of its page setup, with "fitToPage"
// from its sheet properties ("1" when it is scaled to the pages asked for).
inline std::map<std::string, std::string> pageSetupOf(const std::filesystem::path& file) {
    const std::string sheet = xlsxPart(file, "xl/worksheets/sheet1.xml");
    auto setup =
        elementAttributes(sheet, "pageSetup").value_or(std::map<std::string, std::string>{});
    if (const auto pr = elementAttributes(sheet, "pageSetUpPr"); pr && pr->count("fitToPage"))
        setup["fitToPage"] = pr->at("fitToPage");
    return setup;
}

}  // namespace tw::test
