#include "accounts/account_search.h"

#include <algorithm>
#include <unordered_set>

#include "accounts/account_names.h"
#include "accounts/pinyin.h"
#include "storage/gbk.h"

namespace tw {

namespace {

// The number of characters of a UTF-8 text, counted by their lead bytes.
std::size_t characterCount(std::string_view text) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++chars) {
        const auto b = static_cast<unsigned char>(text[i]);
        i += b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    }
    return chars;
}

// The character positions where the parts of a full name start.
std::vector<std::size_t> partStarts(const std::string& name) {
    std::vector<std::size_t> starts;
    std::size_t chars = 0;
    for (const std::string_view part : nameParts(name)) {
        starts.push_back(chars);
        chars += characterCount(part) + characterCount(kAccountSeparator);
    }
    return starts;
}

}  // namespace

std::vector<std::string> searchAccounts(const std::vector<Account>& accounts,
                                        std::string_view query, const AccountCodes& codes) {
    const std::string q = trimBlanks(query);
    if (q.empty()) return {};
    std::unordered_set<std::string> parents;
    for (const Account& a : accounts)
        if (!a.parent.empty()) parents.insert(a.parent);

    // How an account was found, best first.
    enum class How { Code, CodeStart, NameStart, Inside };
    struct Found {
        bool parent;
        How how;
        std::size_t order;
    };
    std::vector<Found> found;
    for (std::size_t i = 0; i < accounts.size(); ++i) {
        const Account& a = accounts[i];
        const bool parent = parents.count(a.name) > 0;
        const std::string code = codeOf(codes, a.name);
        if (!code.empty() && code.starts_with(q)) {
            found.push_back({parent, code == q ? How::Code : How::CodeStart, i});
            continue;
        }
        const std::vector<std::size_t> at = matchPositions(a.name, q);
        if (at.empty()) continue;
        const std::vector<std::size_t> starts = partStarts(a.name);
        const bool atStart = std::any_of(at.begin(), at.end(), [&](std::size_t p) {
            return std::find(starts.begin(), starts.end(), p) != starts.end();
        });
        found.push_back({parent, atStart ? How::NameStart : How::Inside, i});
    }
    std::stable_sort(found.begin(), found.end(), [](const Found& x, const Found& y) {
        if (x.parent != y.parent) return !x.parent;
        return x.how < y.how;
    });
    std::vector<std::string> names;
    for (const Found& f : found) names.push_back(accounts[f.order].name);
    return names;
}

}  // namespace tw
