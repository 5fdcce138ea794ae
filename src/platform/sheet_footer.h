#pragma once
// What each printed sheet of a document carries under its rows, in the
// bottom margin: a text on the left (the company) and, when numbered,
// "第2页/共5页" on the right, the sheets counted over the whole document.

#include <string>

namespace tw {

struct SheetFooter {
    std::string left;
    bool numbered = false;
    bool empty() const { return left.empty() && !numbered; }
};

// "第2页/共5页"
inline std::string sheetNumberText(int number, int count) {
    return "第" + std::to_string(number) + "页/共" + std::to_string(count) + "页";
}

}  // namespace tw
