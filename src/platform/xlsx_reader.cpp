#include "platform/xlsx_reader.h"

#include <minizip/unzip.h>

#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <system_error>

#include "platform/workbook.h"

namespace tw {

namespace fs = std::filesystem;

namespace {

// No part of a workbook this program reads comes near this; a larger entry
// is a damaged or hostile file.
constexpr std::uint64_t kMaxPartSize = 256u << 20;

void appendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Replaces the five named entities and character references; false on any
// other entity or a reference to no character.
bool decodeEntities(std::string_view raw, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '&') {
            out += raw[i];
            continue;
        }
        const auto semi = raw.find(';', i);
        if (semi == std::string_view::npos) return false;
        const std::string_view name = raw.substr(i + 1, semi - i - 1);
        if (name == "lt")
            out += '<';
        else if (name == "gt")
            out += '>';
        else if (name == "amp")
            out += '&';
        else if (name == "quot")
            out += '"';
        else if (name == "apos")
            out += '\'';
        else if (name.size() > 1 && name[0] == '#') {
            const bool hex = name[1] == 'x';
            std::uint32_t cp = 0;
            const std::string_view digits = name.substr(hex ? 2 : 1);
            if (digits.empty() || digits.size() > 8) return false;
            for (char c : digits) {
                const int d = hex ? hexDigit(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
                if (d < 0) return false;
                cp = cp * (hex ? 16 : 10) + d;
            }
            if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
            appendUtf8(out, cp);
        } else {
            return false;
        }
        i = semi;
    }
    return true;
}

// Spreadsheet strings escape characters XML cannot hold as _xHHHH_.
std::string decodeEscapes(const std::string& s) {
    if (s.find("_x") == std::string::npos) return s;
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '_' && i + 6 < s.size() && s[i + 1] == 'x' && s[i + 6] == '_') {
            std::uint32_t cp = 0;
            bool ok = true;
            for (std::size_t k = i + 2; k < i + 6; ++k) {
                const int d = hexDigit(s[k]);
                ok = ok && d >= 0;
                cp = cp * 16 + (d < 0 ? 0 : d);
            }
            if (ok) {
                appendUtf8(out, cp);
                i += 6;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

// A small pull reader for the XML of workbook parts: start tags (with their
// attributes), end tags and text. A self-closing tag gives a start and an
// end. Names lose their namespace prefix. It checks that tags nest and close;
// DTDs are refused.
class XmlReader {
public:
    enum Token { Start, End, Text, Done, Error };

    explicit XmlReader(std::string_view xml) : xml_(xml) {}

    Token next() {
        if (pendingEnd_) {
            pendingEnd_ = false;
            open_.pop_back();
            return End;
        }
        while (pos_ < xml_.size()) {
            if (xml_[pos_] != '<') return readText();
            if (startsWith("<?")) {
                if (!skipPast("?>")) return fail("unclosed processing instruction");
            } else if (startsWith("<!--")) {
                if (!skipPast("-->")) return fail("unclosed comment");
            } else if (startsWith("<![CDATA[")) {
                const auto end = xml_.find("]]>", pos_);
                if (end == std::string_view::npos) return fail("unclosed CDATA");
                text_.assign(xml_.substr(pos_ + 9, end - pos_ - 9));
                pos_ = end + 3;
                return Text;
            } else if (startsWith("<!")) {
                return fail("DTDs are not read");
            } else {
                return readTag();
            }
        }
        if (!open_.empty()) return fail("the XML ends inside <" + std::string(open_.back()) + ">");
        return Done;
    }

    std::string_view name() const { return localName(name_); }
    const std::string& text() const { return text_; }
    const std::string& error() const { return error_; }
    std::optional<std::string> attribute(std::string_view local) const {
        for (const auto& [n, v] : attributes_)
            if (localName(n) == local) return v;
        return std::nullopt;
    }

private:
    static std::string_view localName(std::string_view n) {
        const auto colon = n.find(':');
        return colon == std::string_view::npos ? n : n.substr(colon + 1);
    }
    bool startsWith(std::string_view s) const { return xml_.substr(pos_, s.size()) == s; }
    bool skipPast(std::string_view s) {
        const auto end = xml_.find(s, pos_);
        if (end == std::string_view::npos) return false;
        pos_ = end + s.size();
        return true;
    }
    Token fail(const std::string& why) {
        error_ = why;
        pos_ = xml_.size();
        return Error;
    }
    static bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

    Token readText() {
        const auto end = xml_.find('<', pos_);
        const std::string_view raw =
            xml_.substr(pos_, end == std::string_view::npos ? std::string_view::npos : end - pos_);
        pos_ += raw.size();
        if (!decodeEntities(raw, text_)) return fail("a bad entity in text");
        return Text;
    }

    Token readTag() {
        if (pos_ + 1 >= xml_.size()) return fail("the XML ends inside a tag");
        const bool closing = xml_[pos_ + 1] == '/';
        pos_ += closing ? 2 : 1;
        const std::size_t nameStart = pos_;
        while (pos_ < xml_.size() && !isSpace(xml_[pos_]) && xml_[pos_] != '>' && xml_[pos_] != '/')
            ++pos_;
        name_ = xml_.substr(nameStart, pos_ - nameStart);
        if (name_.empty()) return fail("a tag without a name");
        if (closing) {
            while (pos_ < xml_.size() && isSpace(xml_[pos_])) ++pos_;
            if (pos_ >= xml_.size() || xml_[pos_] != '>') return fail("unclosed end tag");
            ++pos_;
            if (open_.empty() || open_.back() != name_)
                return fail("</" + std::string(name_) + "> closes nothing open");
            open_.pop_back();
            return End;
        }
        attributes_.clear();
        for (;;) {
            while (pos_ < xml_.size() && isSpace(xml_[pos_])) ++pos_;
            if (pos_ >= xml_.size()) return fail("unclosed tag <" + std::string(name_) + ">");
            if (xml_[pos_] == '>') {
                ++pos_;
                open_.push_back(name_);
                return Start;
            }
            if (startsWith("/>")) {
                pos_ += 2;
                open_.push_back(name_);
                pendingEnd_ = true;
                return Start;
            }
            const auto eq = xml_.find('=', pos_);
            if (eq == std::string_view::npos) return fail("an attribute without a value");
            std::string_view attr = xml_.substr(pos_, eq - pos_);
            while (!attr.empty() && isSpace(attr.back())) attr.remove_suffix(1);
            pos_ = eq + 1;
            while (pos_ < xml_.size() && isSpace(xml_[pos_])) ++pos_;
            if (pos_ >= xml_.size() || (xml_[pos_] != '"' && xml_[pos_] != '\''))
                return fail("an attribute value without quotes");
            const auto close = xml_.find(xml_[pos_], pos_ + 1);
            if (close == std::string_view::npos) return fail("an unclosed attribute value");
            std::string value;
            if (!decodeEntities(xml_.substr(pos_ + 1, close - pos_ - 1), value))
                return fail("a bad entity in an attribute");
            attributes_.emplace_back(attr, std::move(value));
            pos_ = close + 1;
        }
    }

    std::string_view xml_;
    std::size_t pos_ = 0;
    std::string_view name_;
    std::vector<std::pair<std::string_view, std::string>> attributes_;
    std::vector<std::string_view> open_;
    std::string text_;
    std::string error_;
    bool pendingEnd_ = false;
};

class ZipParts {
public:
    explicit ZipParts(const fs::path& path) : zip_(unzOpen64(path.c_str())) {}
    ~ZipParts() {
        if (zip_) unzClose(zip_);
    }
    ZipParts(const ZipParts&) = delete;
    ZipParts& operator=(const ZipParts&) = delete;
    bool isOpen() const { return zip_ != nullptr; }
    bool has(const std::string& name) { return unzLocateFile(zip_, name.c_str(), 2) == UNZ_OK; }

    // The bytes of one entry; nullopt with `error` set when it is missing or damaged.
    std::optional<std::string> read(const std::string& name, std::string& error) {
        // Part names compare without regard to case.
        if (unzLocateFile(zip_, name.c_str(), 2) != UNZ_OK) {
            error = "the workbook has no " + name;
            return std::nullopt;
        }
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(zip_, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK ||
            info.uncompressed_size > kMaxPartSize || unzOpenCurrentFile(zip_) != UNZ_OK) {
            error = "cannot read " + name;
            return std::nullopt;
        }
        std::string bytes;
        char buffer[65536];
        int n;
        while ((n = unzReadCurrentFile(zip_, buffer, sizeof buffer)) > 0) {
            bytes.append(buffer, n);
            if (bytes.size() > kMaxPartSize) break;
        }
        const bool ok = unzCloseCurrentFile(zip_) == UNZ_OK && n == 0;  // CRC checked on close
        if (!ok || bytes.size() != info.uncompressed_size) {
            error = name + " is damaged";
            return std::nullopt;
        }
        return bytes;
    }

private:
    unzFile zip_;
};

// Reads the parts in turn, keeping the first fault.
struct XlsxFile {
    ZipParts zip;
    std::string error;

    explicit XlsxFile(const fs::path& file) : zip(file) {
        std::error_code ec;
        if (!fs::is_regular_file(file, ec))
            error = "there is no such file";
        else if (!zip.isOpen())
            error = "not an .xlsx (ZIP) file";
    }

    // Every element `local` of a part, with its attributes, in order.
    std::optional<std::vector<std::map<std::string, std::string>>> elements(
        const std::string& part, std::string_view local, const std::vector<const char*>& attrs) {
        const auto xml = zip.read(part, error);
        if (!xml) return std::nullopt;
        std::vector<std::map<std::string, std::string>> found;
        XmlReader r(*xml);
        for (auto t = r.next(); t != XmlReader::Done; t = r.next()) {
            if (t == XmlReader::Error) return fault(part, r.error());
            if (t != XmlReader::Start || r.name() != local) continue;
            auto& e = found.emplace_back();
            for (const char* a : attrs) e[a] = r.attribute(a).value_or("");
        }
        return found;
    }

    std::nullopt_t fault(const std::string& part, const std::string& why) {
        error = part + ": " + why;
        return std::nullopt;
    }

    // The workbook's related parts, by relationship id.
    std::optional<std::map<std::string, std::string>> relationships() {
        auto rels = elements("xl/_rels/workbook.xml.rels", "Relationship", {"Id", "Target"});
        if (!rels) return std::nullopt;
        std::map<std::string, std::string> parts;
        for (auto& rel : *rels) {
            std::string target = rel["Target"];
            // Targets are relative to xl/ unless they start at the root.
            target = target.starts_with('/') ? target.substr(1) : "xl/" + target;
            parts[rel["Id"]] = target;
        }
        return parts;
    }

    // <si> entries of the shared strings, when the workbook has any.
    std::optional<std::vector<std::string>> sharedStrings() {
        std::vector<std::string> strings;
        if (!zip.has("xl/sharedStrings.xml")) return strings;
        const auto xml = zip.read("xl/sharedStrings.xml", error);
        if (!xml) return std::nullopt;
        XmlReader r(*xml);
        bool inText = false;
        int phonetic = 0;
        for (auto t = r.next(); t != XmlReader::Done; t = r.next()) {
            if (t == XmlReader::Error) return fault("xl/sharedStrings.xml", r.error());
            if (t == XmlReader::Start && r.name() == "si")
                strings.emplace_back();
            else if (t == XmlReader::Start && r.name() == "rPh")
                ++phonetic;
            else if (t == XmlReader::End && r.name() == "rPh")
                --phonetic;
            else if (r.name() == "t" && t != XmlReader::Text)
                inText = t == XmlReader::Start;
            else if (t == XmlReader::Text && inText && !phonetic && !strings.empty())
                strings.back() += r.text();
        }
        for (auto& s : strings) s = decodeEscapes(s);
        return strings;
    }
};

}  // namespace

std::optional<std::vector<std::string>> readXlsxSheetNames(const fs::path& file,
                                                           std::string* error) {
    XlsxFile book(file);
    std::optional<std::vector<std::map<std::string, std::string>>> sheets;
    if (book.error.empty()) sheets = book.elements("xl/workbook.xml", "sheet", {"name"});
    if (!sheets) {
        if (error) *error = file.string() + ": " + book.error;
        return std::nullopt;
    }
    std::vector<std::string> names;
    for (auto& s : *sheets) names.push_back(s["name"]);
    return names;
}

std::optional<std::map<std::string, std::string>> readXlsxSheet(const fs::path& file, int sheet,
                                                                std::string* error) {
    XlsxFile book(file);
    auto refuse = [&](const std::string& why) -> std::optional<std::map<std::string, std::string>> {
        if (error) *error = file.string() + ": " + why;
        return std::nullopt;
    };
    if (!book.error.empty()) return refuse(book.error);
    const auto sheets = book.elements("xl/workbook.xml", "sheet", {"id", "name"});
    if (!sheets) return refuse(book.error);
    if (sheet < 1 || sheet > static_cast<int>(sheets->size()))
        return refuse("the workbook has no sheet " + std::to_string(sheet));
    const auto parts = book.relationships();
    if (!parts) return refuse(book.error);
    const auto part = parts->find(sheets->at(sheet - 1).at("id"));
    if (part == parts->end()) return refuse("sheet " + std::to_string(sheet) + " has no part");
    const auto strings = book.sharedStrings();
    if (!strings) return refuse(book.error);
    const auto xml = book.zip.read(part->second, book.error);
    if (!xml) return refuse(book.error);

    std::map<std::string, std::string> values;
    XmlReader r(*xml);
    int row = 0, column = 0;
    std::string type, value, inlineText;
    bool inCell = false, hasValue = false, inValue = false, inInlineText = false;
    int phonetic = 0;
    for (auto t = r.next(); t != XmlReader::Done; t = r.next()) {
        if (t == XmlReader::Error) return refuse(part->second + ": " + r.error());
        const std::string_view name = t == XmlReader::Text ? std::string_view() : r.name();
        if (t == XmlReader::Start && name == "row") {
            // Rows and cells may leave out their numbers: then they follow the previous.
            const auto n = r.attribute("r");
            row = n ? std::atoi(n->c_str()) : row + 1;
            column = 0;
        } else if (t == XmlReader::Start && name == "c") {
            const auto at = r.attribute("r");
            if (at) {
                const auto address = parseCellName(*at);
                if (!address) return refuse(part->second + ": bad cell name " + *at);
                row = address->row;
                column = address->column;
            } else {
                ++column;
            }
            if (row < 1 || column < 1 || column > kMaxSheetColumns)
                return refuse(part->second + ": a cell outside the sheet");
            type = r.attribute("t").value_or("n");
            value.clear();
            inlineText.clear();
            inCell = true;
            hasValue = false;
        } else if (t == XmlReader::End && name == "c") {
            inCell = false;
            std::string text;
            if (type == "s") {
                char* end = nullptr;
                const long index = std::strtol(value.c_str(), &end, 10);
                if (value.empty() || *end || index < 0 ||
                    index >= static_cast<long>(strings->size()))
                    return refuse(part->second + ": " + cellName(row, column) +
                                  " names a shared string that does not exist");
                text = (*strings)[index];
            } else if (type == "inlineStr") {
                text = decodeEscapes(inlineText);
            } else if (type == "b") {
                text = value == "1" ? "TRUE" : value == "0" ? "FALSE" : value;
            } else if (type == "str") {
                text = decodeEscapes(value);
            } else {
                text = value;
            }
            if (hasValue) values[cellName(row, column)] = text;
        } else if (inCell && (name == "v" || name == "is") && t == XmlReader::Start) {
            hasValue = true;
            inValue = name == "v";
        } else if (inCell && name == "v" && t == XmlReader::End) {
            inValue = false;
        } else if (inCell && name == "rPh" && t != XmlReader::Text) {
            phonetic += t == XmlReader::Start ? 1 : -1;
        } else if (inCell && name == "t" && t != XmlReader::Text) {
            inInlineText = t == XmlReader::Start;
        } else if (t == XmlReader::Text && inValue) {
            value += r.text();
        } else if (t == XmlReader::Text && inInlineText && !phonetic) {
            inlineText += r.text();
        }
    }
    return values;
}

}  // namespace tw
