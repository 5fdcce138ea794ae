#include "storage/gbk.h"

#include <iconv.h>

#include <cerrno>
#include <functional>
#include <stdexcept>
#include <unordered_map>

namespace tw {

namespace {

// One converter per direction, reused: iconv_open is costly.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
    }
    ~Converter() { iconv_close(cd_); }

    std::optional<std::string> convert(std::string_view in) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string out(in.size() * 2 + 8, '\0');
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char* dst = out.data();
        size_t dstLeft = out.size();
        // A failed conversion has already written part of its output: only
        // a clean return counts.
        if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) return {};
        if (iconv(cd_, nullptr, nullptr, &dst, &dstLeft) == static_cast<size_t>(-1)) return {};
        out.resize(out.size() - dstLeft);
        return out;
    }

private:
    iconv_t cd_;
};

bool isAscii(std::string_view s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

}  // namespace

std::optional<std::string> toGbk(std::string_view utf8) {
    if (isAscii(utf8)) return std::string(utf8);
    thread_local Converter c("GBK", "UTF-8");
    return c.convert(utf8);
}

std::optional<std::string> fromGbk(std::string_view gbk) {
    if (isAscii(gbk)) return std::string(gbk);
    thread_local Converter c("UTF-8", "GBK");
    return c.convert(gbk);
}

std::optional<std::size_t> gbkLength(std::string_view utf8) {
    if (isAscii(utf8)) return utf8.size();
    // Every text written to a table is measured: the same accounts and
    // summaries come again and again, so their lengths are kept (a bounded
    // number of them; nullopt for a text GBK cannot hold).
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    thread_local std::unordered_map<std::string, std::optional<std::size_t>, Hash, std::equal_to<>> known;
    if (const auto it = known.find(utf8); it != known.end()) return it->second;
    const auto g = toGbk(utf8);
    const std::optional<std::size_t> length = g ? std::optional<std::size_t>(g->size()) : std::nullopt;
    if (utf8.size() > 256) return length;
    if (known.size() >= 4096) known.clear();
    known.emplace(std::string(utf8), length);
    return length;
}

int gbkCompare(std::string_view a, std::string_view b) {
    auto ga = toGbk(a), gb = toGbk(b);
    if (ga && gb) return ga->compare(*gb) < 0 ? -1 : (*ga == *gb ? 0 : 1);
    if (ga) return -1;
    if (gb) return 1;
    return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

std::string trimBlanks(std::string_view t) {
    static const std::string_view fullWidthSpace = "\xE3\x80\x80";
    for (;;) {
        if (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
        else if (t.starts_with(fullWidthSpace)) t.remove_prefix(fullWidthSpace.size());
        else break;
    }
    for (;;) {
        if (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
        else if (t.ends_with(fullWidthSpace)) t.remove_suffix(fullWidthSpace.size());
        else break;
    }
    return std::string(t);
}

bool hasControlChar(std::string_view text) {
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) return true;
    }
    return false;
}

}  // namespace tw
