#pragma once
// What the summary window remembers between openings for the program's run,
// and what its callers read when it returns as a picker.

#include <string>

namespace tw {

// The summary-phrase library as a picker.
struct PhrasePicker {
    // Text of the item selected last, or the window's result.
    std::string chosenSummary;
    // 所在分类 of the selected item's record; empty when a category is selected.
    std::string chosenCategory;
    // Set by 将当前摘要插入到 and 插入空白.
    bool picked = false;
};

}  // namespace tw
