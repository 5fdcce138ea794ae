#pragma once
// A set's own options (套账选项.edb, with the set password): one record per
// option the set has changed, name → value text. A set that never changed an
// option has no file, and every option is at its default; the file is made
// by the first change, inside that change's action, and a backup carries it
// with the set's other tables.
//
// Reading refuses (kUnreadableSet) anything at the file's name that cannot be
// read as the table, as every table of a set: a damaged or empty file, a
// folder, a link that leads nowhere never read as the defaults. Every change
// is logged in 上机日志 (修改套账选项, "name：value") in its action.

#include <string>

#include "shell/session.h"

namespace tw {

// 年末将本年利润转入利润分配: the December close also moves 本年利润's balance
// to 利润分配→未分配利润 (closing/year_end_transfer.h). Off by default.
inline constexpr const char* kYearEndTransferOption = "年末将本年利润转入利润分配";

// 审核人与制单人不能为同一人: nobody reviews a voucher he prepared
// (vouchers/review.h). Off by default; only an administrator changes it.
inline constexpr const char* kReviewerApartOption = "审核人与制单人不能为同一人";

inline constexpr const char* kOptionOn = "是";
inline constexpr const char* kOptionOff = "否";

// The value of option `name`, or `fallback` when the set has not set it.
std::string readSetOption(RecordStore& store, const Session& session, const std::string& name,
                          const std::string& fallback = {});
// Sets option `name` to `value` inside the caller's action.
void writeSetOption(RecordStore& store, const Session& session, const std::string& name,
                    const std::string& value);

// The two-valued options: "是" is on, anything else off.
bool setOptionOn(RecordStore& store, const Session& session, const std::string& name);
void setOptionOn(RecordStore& store, const Session& session, const std::string& name, bool on);

bool reviewerApart(RecordStore& store, const Session& session);
// Sets 审核人与制单人不能为同一人 inside the caller's action; refuses
// kNoPermission unless an administrator is logged in.
void setReviewerApart(RecordStore& store, const Session& session, bool on);

}  // namespace tw
