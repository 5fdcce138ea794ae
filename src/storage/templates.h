#pragma once
// The template files of the account-set directory: the tables every new set
// copies, the two workbooks, the calculator launcher, the page templates and
// the statements' line rules.

#include <filesystem>

namespace tw {

// Makes each template file that is missing; an existing file is never touched.
void makeMissingTemplates(const std::filesystem::path& dataDir);

}  // namespace tw
