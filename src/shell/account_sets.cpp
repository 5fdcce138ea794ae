#include "shell/account_sets.h"

#include <algorithm>
#include <cmath>
#include <ctime>

#include "shell/password_hash.h"
#include "shell/set_lock.h"
#include "storage/gbk.h"
#include "storage/paths.h"
#include "storage/file_operations.h"
#include "storage/record_store.h"
#include "storage/schemas.h"

namespace tw {

namespace {

constexpr std::size_t kMaxNameBytes = 100;  // set, company and user names, in GBK bytes

// The working tables copied from templates and given the set password, in the
// order they are made; 总账库 starts as a copy of the ledger template.
struct Copy {
    const char* target;
    const char* source;
};
constexpr Copy kProtectedCopies[] = {
    {file::kAccounts, file::kAccounts}, {file::kVouchers, file::kVouchers},
    {file::kLedger, file::kLedger},     {file::kJournal, file::kJournal},
    {file::kGeneralLedger, file::kLedger}, {file::kBalances, file::kBalances},
    {file::kCarryForward, file::kCarryForward},
};
// Copied unchanged.
constexpr const char* kPlainCopies[] = {file::kPhrases, file::kReportScratch,
                                        file::kReportWorkbook, file::kCoverWorkbook};

bool hasRefusedChar(const std::string& name) {
    return name.find_first_of(kRefusedNameChars) != std::string::npos;
}

std::string currentSetPassword() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return setPasswordFor(local.tm_hour, local.tm_min, local.tm_sec);
}

// The checks of the create window, in their order; empty when all pass.
std::string refusalOf(const fs::path& dataDir, const NewSetRequest& r, const std::string& name) {
    if (name.empty()) return kSetNameEmpty;
    // A name that cannot be a folder name is refused as such before the
    // look-up, which finds "." and ".." (the directory and its parent) and
    // paths such as "华兴/.." and would call them taken.
    if (name == "." || name == "..") return kSetNameNotAFolder;
    if (hasRefusedChar(name)) return kSetNameBadChar;
    std::error_code ec;
    if (fs::exists(setFolder(dataDir, name), ec)) return r.setName + kSetNameTaken;
    if (trimBlanks(r.adminName).empty()) return kAdminNameEmpty;
    if (r.password != r.passwordCheck) return kAdminPasswordsDiffer;

    if (name.front() == '.') return kSetNameLeadingDot;
    if (hasControlChar(name)) return kSetNameControlChar;
    struct Limit {
        const char* label;
        const std::string& text;
        std::size_t maxBytes;
    };
    const Limit limits[] = {{"套账名称", name, kMaxNameBytes},
                            {"单位名称", r.companyName, kMaxNameBytes},
                            {"管理员名", r.adminName, kMaxNameBytes},
                            {"密码", r.password, kMaxPasswordBytes}};
    for (const Limit& l : limits)
        if (std::string m = checkGbkText(l.label, l.text, l.maxBytes); !m.empty()) return m;
    return {};
}

// Makes the complete set in `folder`; throws StoreError on any failure.
void buildSet(RecordStore& store, const fs::path& dataDir, const fs::path& folder,
              const NewSetRequest& r, const std::string& setPassword, const StepHook& hook) {
    const fs::path basic = folder / fs::u8path(file::kBasicInfo);
    const fs::path users = folder / fs::u8path(file::kUsers);
    if (!store.createTable(basic, basicInfoSchema()) || !store.createTable(users, usersSchema()))
        throw StoreError("cannot create the tables of the new set");
    for (const Copy& c : kProtectedCopies)
        if (!copyFile(templatePath(dataDir, c.source), folder / fs::u8path(c.target)))
            throw StoreError(std::string("cannot copy template ") + c.source);
    for (const char* name : kPlainCopies)
        if (!copyFile(templatePath(dataDir, name), folder / fs::u8path(name)))
            throw StoreError(std::string("cannot copy template ") + name);
    if (!copyFile(templatePath(dataDir, file::kActionLog), folder / fs::u8path(file::kActionLog)))
        throw StoreError(std::string("cannot copy template ") + file::kActionLog);
    step(hook, "copied");

    const double start = std::floor(r.startDate);
    const std::string adminHash = hashPassword(r.password);
    Action action(store);
    if (!store.openTable(basic, "")) throw StoreError("new 基本信息 does not open");
    store.setTablePassword(kFixedPassword);
    store.appendRecord({r.companyName, start, setPassword, false, start});
    if (!store.openTable(users, "")) throw StoreError("new 用户 does not open");
    store.setTablePassword(setPassword);
    store.appendRecord({trimBlanks(r.adminName), adminHash, 1});
    for (const Copy& c : kProtectedCopies) {
        if (!store.openTable(folder / fs::u8path(c.target), kFixedPassword))
            throw StoreError(std::string("template does not open: ") + c.source);
        store.setTablePassword(setPassword);
    }
    action.commit();
    for (const fs::path& p : {basic, users}) store.closeTable(p);
    for (const Copy& c : kProtectedCopies) store.closeTable(folder / fs::u8path(c.target));
    step(hook, "tables");
}

// The empty 上机日志 that buildSet copied gets the set password in an action
// of its own: one commit attaches at most ten table files.
void protectActionLog(RecordStore& store, const fs::path& folder, const std::string& setPassword) {
    const fs::path log = folder / fs::u8path(file::kActionLog);
    Action action(store);
    if (!store.openTable(log, kFixedPassword))
        throw StoreError(std::string("template does not open: ") + file::kActionLog);
    store.setTablePassword(setPassword);
    action.commit();
    store.closeTable(log);
}

}  // namespace

std::string notGbkMessage(const std::string& label) {
    return label + " 含有无法保存的字符，请更换！";
}

std::string tooLongMessage(const std::string& label, std::size_t maxBytes) {
    return label + " 不能超过" + std::to_string(maxBytes) + "个字节（" +
           std::to_string(maxBytes / 2) + "个汉字）！";
}

std::string checkGbkText(const std::string& label, const std::string& text, std::size_t maxBytes) {
    const auto length = gbkLength(text);
    if (!length) return notGbkMessage(label);
    if (*length > maxBytes) return tooLongMessage(label, maxBytes);
    return {};
}

std::string setPasswordFor(int hours, int minutes, int seconds) {
    return std::to_string(hours) + "时" + std::to_string(minutes) + "分" +
           std::to_string(seconds) + "秒";
}

Result<CreatedSet> createAccountSet(const fs::path& dataDir, const NewSetRequest& request,
                                    const StepHook& hook) {
    CreatedSet set;
    set.setName = trimBlanks(request.setName);
    if (std::string refusal = refusalOf(dataDir, request, set.setName); !refusal.empty())
        return Outcome::refused(refusal);

    set.setPassword = currentSetPassword();
    const fs::path work = workFolder(dataDir, "new");
    std::error_code ec;
    if (!fs::create_directory(work, ec))
        return Outcome::refused(kDiskMessage, "cannot create " + pathText(work) + ": " + ec.message());
    try {
        RecordStore store(dataDir);
        buildSet(store, dataDir, work, request, set.setPassword, hook);
        protectActionLog(store, work, set.setPassword);
        syncTree(work);
        if (!renameNoReplace(work, setFolder(dataDir, set.setName)))
            throw StoreError("cannot move the new set into place");
        step(hook, "renamed");
    } catch (const StoreError& e) {
        fs::remove_all(work, ec);
        return Outcome::refused(e.userMessage(), e.what());
    }
    return Result<CreatedSet>(set, kSetCreated);
}

Outcome checkAdministrator(const LoginState& login) {
    if (!login.loggedIn || login.permission != 1) return Outcome::refused(kNoPermission);
    return {};
}

Outcome deleteAccountSet(const fs::path& dataDir, const LoginState& login) {
    if (Outcome allowed = checkDeletePermission(login); !allowed) return allowed;
    const std::string& name = login.setName;
    if (name.empty() || name.front() == '.' || hasRefusedChar(name))
        return Outcome::refused(kDiskMessage, "not a set name: " + name);
    DirectoryLock taken;
    if (Outcome usable = lockSetForOperation(login, dataDir, name, taken, setInUseForDeletion(name));
        !usable)
        return usable;
    // Out of the list in one rename, then removed at leisure.
    const fs::path aside = workFolder(dataDir, "delete");
    if (!renameNoReplace(setFolder(dataDir, name), aside))
        return Outcome::refused(kDiskMessage, "cannot move " + name + " aside");
    // The set is gone: its lock goes before its folder, lock file and all.
    taken = DirectoryLock();
    if (holdsSet(login, name)) login.setLock->lock = DirectoryLock();
    Outcome out;
    if (!removeDirectory(aside, dataDir)) out.detail = "left behind: " + pathText(aside);
    return out;
}

}  // namespace tw
