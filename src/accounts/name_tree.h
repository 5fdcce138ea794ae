#pragma once
// The trees the chart and phrase windows show, built from records in table
// order: a record without a parent becomes a root item; any other becomes a
// child of every item already in the tree whose text is its parent, and is
// not shown when there is none yet (its parent comes later in the table).

#include <string>
#include <vector>

namespace tw {

// Adds one record to `tree` (items with a text member `label` and children
// as indexes into the tree's items; roots as indexes too).
template <class Tree>
void addTreeItem(Tree& tree, std::string Tree::Item::*label, const std::string& text,
                 const std::string& parent) {
    if (parent.empty()) {
        tree.roots.push_back(static_cast<int>(tree.items.size()));
        tree.items.push_back({text, {}});
        return;
    }
    const std::size_t n = tree.items.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (tree.items[i].*label != parent) continue;
        tree.items[i].children.push_back(static_cast<int>(tree.items.size()));
        tree.items.push_back({text, {}});
    }
}

}  // namespace tw
