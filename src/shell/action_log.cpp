#include "shell/action_log.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <set>

#include "shell/account_sets.h"
#include "storage/dates.h"
#include "storage/gbk.h"
#include "storage/paths.h"
#include "storage/schemas.h"
#include "storage/scoped_table.h"

namespace tw {

namespace {

// The GBK lengths of the log's text fields (actionLogSchema).
constexpr std::size_t kUserBytes = 100, kWhatBytes = 20, kDetailBytes = 255;

bool nothingAt(const fs::path& path) {
    std::error_code ec;
    return fs::symlink_status(path, ec).type() == fs::file_type::not_found;
}

// The bytes of the UTF-8 character that starts with `lead` (1 for a stray byte).
std::size_t characterBytes(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8) return 4;
    if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
    if (lead >= 0xC0) return 2;
    return 1;
}

// `text` in at most `maxBytes` GBK bytes, cut at a character's end; a
// character GBK cannot hold becomes "?", a control character a blank.
std::string fitted(const std::string& text, std::size_t maxBytes) {
    std::string out;
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = std::min(characterBytes(static_cast<unsigned char>(text[i])),
                                       text.size() - i);
        std::string character = text.substr(i, n);
        i += n;
        if (hasControlChar(character)) character = " ";
        std::size_t length = gbkLength(character).value_or(0);
        if (length == 0) {
            character = "?";
            length = 1;
        }
        if (bytes + length > maxBytes) break;
        out += character;
        bytes += length;
    }
    return out;
}

std::string twoDigits(long n) { return (n < 10 ? "0" : "") + std::to_string(n); }

// Opens the log of `folder` into `log`, made with the set password when
// nothing is at its name; refuses what is there but cannot be read as it.
void openLog(RecordStore& store, ScopedTable& log, const fs::path& folder,
             const std::string& setPassword) {
    if (openTableIn(log, folder, file::kActionLog, setPassword)) return;
    const fs::path path = folder / fs::u8path(file::kActionLog);
    if (store.lastOpenFailure() == RecordStore::OpenFailure::NewerFormat)
        refuse(newerFormatMessage(file::kActionLog), pathText(path) + " is of a newer format");
    if (store.lastOpenFailure() != RecordStore::OpenFailure::Missing || !nothingAt(path))
        refuse(kUnreadableSet, "cannot open " + pathText(path));
    if (!store.createTable(path, actionLogSchema()) || !log.open(path, ""))
        throw StoreError("cannot make " + pathText(path));
    store.setTablePassword(setPassword);
}

fs::path openSetFolder(const Session& session) {
    if (session.login.setName.empty()) refuse(kUnreadableSet, "no set is open");
    return setFolder(session.dataDir, session.login.setName);
}

}  // namespace

double currentMoment() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const int seconds = local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
    return dayNumber(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) + seconds / 86400.0;
}

std::string momentText(double moment) {
    double day = std::floor(moment);
    long seconds = std::lround((moment - day) * 86400.0);
    if (seconds >= 86400) {  // rounded up to the next midnight
        day += 1;
        seconds -= 86400;
    }
    return formatDate(day) + " " + twoDigits(seconds / 3600) + ":" + twoDigits(seconds / 60 % 60) +
           ":" + twoDigits(seconds % 60);
}

void appendLogEntry(RecordStore& store, const fs::path& folder, const std::string& setPassword,
                    const LogEntry& entry) {
    ScopedTable log(store);
    openLog(store, log, folder, setPassword);
    log.table().append({entry.time, fitted(entry.user, kUserBytes), fitted(entry.what, kWhatBytes),
                        fitted(entry.detail, kDetailBytes)});
}

void logAction(RecordStore& store, const Session& session, const std::string& what,
               const std::string& detail) {
    appendLogEntry(store, openSetFolder(session), session.login.setPassword,
                   {currentMoment(), session.login.userName, what, detail});
}

void ensureActionLog(RecordStore& store, const Session& session) {
    const fs::path folder = openSetFolder(session);
    if (!nothingAt(folder / fs::u8path(file::kActionLog))) return;
    ScopedTable log(store);
    openLog(store, log, folder, session.login.setPassword);
}

Outcome recordOnItsOwn(RecordStore& store, const fs::path& folder, const std::string& setPassword,
                       const LogEntry& entry) {
    return runAction(store, [&] { appendLogEntry(store, folder, setPassword, entry); });
}

ActionLog readActionLog(RecordStore& store, const Session& session, const LogFilter& filter) {
    if (const Outcome allowed = checkAdministrator(session.login); !allowed)
        refuse(allowed.message, "the log is for administrators");
    const fs::path folder = openSetFolder(session);
    ActionLog out;
    ScopedTable log(store);
    if (!openTableIn(log, folder, file::kActionLog, session.login.setPassword)) {
        const fs::path path = folder / fs::u8path(file::kActionLog);
        if (store.lastOpenFailure() == RecordStore::OpenFailure::Missing && nothingAt(path))
            return out;  // a set that has not logged anything yet
        if (store.lastOpenFailure() == RecordStore::OpenFailure::NewerFormat)
            refuse(newerFormatMessage(file::kActionLog), pathText(path) + " is of a newer format");
        refuse(kUnreadableSet, "cannot open " + pathText(path));
    }
    const Table t = log.table();
    const int time = t.position(field::kLogTime), user = t.position(field::kUserName),
              what = t.position(field::kLogAction), detail = t.position(field::kLogDetail);
    const std::optional<double> from =
        filter.from ? std::optional<double>(std::floor(*filter.from)) : std::nullopt;
    const std::optional<double> to =
        filter.to ? std::optional<double>(std::floor(*filter.to)) : std::nullopt;
    std::set<std::string> named;
    t.forEach({}, [&](const Record& r) {
        LogEntry e{r[time].number(), r[user].text(), r[what].text(), r[detail].text()};
        if (!e.user.empty() && named.insert(e.user).second) out.users.push_back(e.user);
        const double day = std::floor(e.time);
        if ((filter.user.empty() || e.user == filter.user) && (!from || day >= *from) &&
            (!to || day <= *to))
            out.entries.push_back(std::move(e));
        return true;
    });
    return out;
}

}  // namespace tw
