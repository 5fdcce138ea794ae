#pragma once
// The files of the account-set directory made for the desktop's programs on
// first start, each only when it is missing: the two workbooks every set
// copies (报表.xlsx with the sheets the month's report fills, 常用封面.xlsx
// with the voucher cover) and the calculator launcher (计算器), a shell
// script starting the first calculator this desktop has and ending at once,
// with status 127 when there is none. A launcher left exactly as an earlier
// version made it (one that ended only with the calculator) is replaced by
// the present one; a launcher the user changed is kept.

#include <filesystem>
#include <string_view>

namespace tw {

void makeMissingWorkbookTemplates(const std::filesystem::path& dataDir);
void makeMissingCalculator(const std::filesystem::path& dataDir);
// The launcher's text, as made.
std::string_view calculatorScript();

}  // namespace tw
