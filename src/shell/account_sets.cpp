#include "shell/account_sets.h"

#include <cmath>
#include <ctime>

#include "shell/password_hash.h"
#include "storage/gbk.h"
#include "storage/paths.h"
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
    std::error_code ec;
    if (fs::exists(setFolder(dataDir, name), ec)) return r.setName + kSetNameTaken;
    if (trimBlanks(r.adminName).empty()) return kAdminNameEmpty;
    if (r.password != r.passwordCheck) return kAdminPasswordsDiffer;

    if (hasRefusedChar(name)) return kSetNameBadChar;
    if (name.front() == '.') return kSetNameLeadingDot;
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

CreateSetOutcome createAccountSet(const fs::path& dataDir, const NewSetRequest& request,
                                  const StepHook& hook) {
    CreateSetOutcome out;
    out.setName = trimBlanks(request.setName);
    out.message = refusalOf(dataDir, request, out.setName);
    if (!out.message.empty()) return out;

    out.setPassword = currentSetPassword();
    const fs::path work = workFolder(dataDir, "new");
    std::error_code ec;
    if (!fs::create_directory(work, ec)) {
        out.message = kDiskFailure;
        out.detail = "cannot create " + pathText(work) + ": " + ec.message();
        return out;
    }
    try {
        RecordStore store(dataDir);
        buildSet(store, dataDir, work, request, out.setPassword, hook);
        syncTree(work);
        if (!renameNoReplace(work, setFolder(dataDir, out.setName)))
            throw StoreError("cannot move the new set into place");
        step(hook, "renamed");
        out.ok = true;
    } catch (const std::exception& e) {
        out.message = kDiskFailure;
        out.detail = e.what();
        fs::remove_all(work, ec);
    }
    return out;
}

DeleteSetOutcome checkDeletePermission(const LoginState& login) {
    DeleteSetOutcome out;
    if (!login.loggedIn || login.permission != 1) {
        out.message = kNoPermission;
        return out;
    }
    out.ok = true;
    return out;
}

DeleteSetOutcome deleteAccountSet(const fs::path& dataDir, const LoginState& login) {
    DeleteSetOutcome out = checkDeletePermission(login);
    if (!out.ok) return out;
    out.ok = false;
    const std::string& name = login.setName;
    if (name.empty() || name.front() == '.' || hasRefusedChar(name)) {
        out.message = kDiskFailure;
        out.detail = "not a set name: " + name;
        return out;
    }
    // Out of the list in one rename, then removed at leisure.
    const fs::path aside = workFolder(dataDir, "delete");
    if (!renameNoReplace(setFolder(dataDir, name), aside)) {
        out.message = kDiskFailure;
        out.detail = "cannot move " + name + " aside";
        return out;
    }
    if (!removeDirectory(aside, dataDir)) out.detail = "left behind: " + pathText(aside);
    out.ok = true;
    return out;
}

}  // namespace tw
