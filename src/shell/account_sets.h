#pragma once
// Account sets: one folder per company's books in the account-set directory.
//
// Creating a set (the create window's 确定, `set create`):
//   1. refuse an empty name, a name that cannot be a folder name ("." or
//      "..", or one with a file-name character), a name that exists, an empty
//      administrator name and two differing passwords, in that order, each
//      with its own message; then refuse what the disk or GBK cannot hold (a
//      leading dot, control characters such as a line break, which would
//      make one set look like two in a list, text outside GBK, over-long
//      names and passwords);
//   2. build the whole set in a work folder: `基本信息` (fixed password) with
//      company, start date, the new set password, not enabled, period = start
//      date; `用户` with the administrator (permission 1); the seven working
//      tables and the empty 上机日志 copied from the templates and given the
//      set password; the phrase and report-scratch tables and the two
//      workbooks copied unchanged;
//   3. rename the work folder into place. Any failure leaves no folder behind
//      and answers the disk message (kDiskMessage).
//
// Deleting a set needs a logged-in administrator of that set, and no other
// process working on it (setInUseForDeletion); the folder is renamed aside
// first, so a set is never left half-deleted. Creating and deleting a set
// are operations on the directory: the caller holds its lock
// (shell/set_lock.h).

#include <filesystem>
#include <string>
#include <vector>

#include "shell/login_state.h"
#include "shell/set_folders.h"
#include "shell/set_list.h"
#include "storage/outcome.h"

namespace tw {

namespace fs = std::filesystem;

inline constexpr const char* kSetNameEmpty = "套账名称 不能为空！";
inline constexpr const char* kSetNameTaken = " 和已有套账同名，请更换！";  // after the typed name
inline constexpr const char* kAdminNameEmpty = "管理员名 必须填写！";
inline constexpr const char* kAdminPasswordsDiffer = "管理密码 与 密码效验  必须相同！";
inline constexpr const char* kSetCreated = "新套账创建成功！";
inline constexpr const char* kNoPermission = "您的权限不够！";
inline constexpr const char* kDeleteQuestion = "是否要删除  ";  // followed by the set name
inline constexpr const char* kSetNameBadChar =
    "套账名称 不能含有 \\ / : * ? \" < > | 这九个字符！";
inline constexpr const char* kSetNameLeadingDot = "套账名称 不能以“.”开头！";
inline constexpr const char* kSetNameNotAFolder = "套账名称 不能是“.”或“..”，请更换！";
inline constexpr const char* kSetNameControlChar = "套账名称 不能含有换行等控制字符！";

// The nine characters a file name cannot hold; the set-name box refuses them.
inline constexpr const char* kRefusedNameChars = "\\/:*?\"<>|";

// Refusal messages for text that GBK cannot hold or that is too long, for a
// box named `label` ("套账名称", "单位名称", "管理员名", "用户名", "密码").
std::string notGbkMessage(const std::string& label);
std::string tooLongMessage(const std::string& label, std::size_t maxBytes);
// The first refusal among the GBK repertoire and the length limit; empty when
// the text is acceptable.
std::string checkGbkText(const std::string& label, const std::string& text, std::size_t maxBytes);

struct NewSetRequest {
    std::string setName;  // as typed
    std::string companyName;
    std::string adminName;
    std::string password;
    std::string passwordCheck;
    double startDate = 0;  // day number
};

struct CreatedSet {
    std::string setName;  // the folder name (trimmed)
    std::string setPassword;
};

// "9时5分3秒": the set password made from a time of day.
std::string setPasswordFor(int hours, int minutes, int seconds);

// The message on success is "新套账创建成功！".
Result<CreatedSet> createAccountSet(const fs::path& dataDir, const NewSetRequest& request,
                                    const StepHook& hook = {});

// "您的权限不够！" unless an administrator (permission 1) is logged in.
Outcome checkAdministrator(const LoginState& login);
// Deleting a set, as restoring one, is for administrators.
inline Outcome checkDeletePermission(const LoginState& login) { return checkAdministrator(login); }
// Removes the set folder of `login.setName` after checking the permission
// again; the set's lock, when `login` holds it, is let go of with it.
Outcome deleteAccountSet(const fs::path& dataDir, const LoginState& login);

}  // namespace tw
