#pragma once
// The users of the open account set, kept in its `用户` table with the set
// password. Users are only ever added (permission 2) and change their own
// password; none is deleted or renamed. Passwords are stored as hash strings.
//
// Adding a user: the name must not be empty ("用户名 必须填写！"), the two
// password boxes must agree ("密码 与 效验  必须相同！"), and the trimmed name
// must be new ("新用户名与已有用户名不能相同！"); then the caller asks
// newUserQuestion() and, on yes, addUser() appends (name, password, 2).
//
// Changing a password: the two new boxes must agree ("新密码输入的两次结果不同！")
// and the old password must match the logged-in user's first record
// ("原密码不正确！").
//
// Both are logged in 上机日志 in their action (新建用户 with the name, 修改密码).

#include <string>

#include "shell/session.h"
#include "storage/outcome.h"

namespace tw {

inline constexpr const char* kUserNameEmpty = "用户名 必须填写！";
inline constexpr const char* kUserPasswordsDiffer = "密码 与 效验  必须相同！";
inline constexpr const char* kUserNameTaken = "新用户名与已有用户名不能相同！";
inline constexpr const char* kUserCreated = " 用户创建完毕！";  // after the name
inline constexpr const char* kNewPasswordsDiffer = "新密码输入的两次结果不同！";
inline constexpr const char* kOldPasswordWrong = "原密码不正确！";
inline constexpr const char* kPasswordChanged = "新密码修改成功！";

struct NewUserRequest {
    std::string name;  // as typed
    std::string password;
    std::string passwordCheck;
};

// The checks before the question; the value is the trimmed user name.
Result<std::string> checkNewUser(RecordStore& store, const Session& session,
                                 const NewUserRequest& request);
// "是否创建用户：" + name + "  ？\r\n创建后将不能再删除！"
std::string newUserQuestion(const std::string& name);
// Checks again and appends the user; the message is name + " 用户创建完毕！".
Outcome addUser(RecordStore& store, const Session& session, const NewUserRequest& request);

// The message on success is "新密码修改成功！".
Outcome changePassword(RecordStore& store, const Session& session, const std::string& oldPassword,
                       const std::string& newPassword, const std::string& repeatPassword);

}  // namespace tw
