#pragma once
// The summary-phrase library of the open set (摘要库.edb, no password): a
// category record has an empty 所在分类; a phrase names its category there.

#include <optional>
#include <string>
#include <vector>

#include "accounts/account_names.h"
#include "accounts/phrase_picker.h"
#include "shell/session.h"
#include "storage/outcome.h"

namespace tw {

struct Phrase {
    std::string text;      // 摘要名称
    std::string category;  // 所在分类; empty for a category
};

// Every record in table order; refuses (kUnreadableSet) when 摘要库 cannot be read.
std::vector<Phrase> loadPhrases(RecordStore& store, const Session& session);

// The library as the summary window's tree shows it: categories at the root,
// and under every item already in the tree whose text is a phrase's
// category, that phrase. A phrase whose category comes later is not shown.
// Items carry the phrase's text as their name.
using PhraseTree = NameTree;
PhraseTree buildPhraseTree(const std::vector<Phrase>& phrases);

// An item selected in the tree: remembers its text and its record's category
// (of the first record with that text).
void selectPhrase(PhrasePicker& picker, const std::vector<Phrase>& phrases,
                  const std::string& text);

// The changes below work inside the caller's action and refuse by Refusal;
// each returns false for a silent cancel (nothing written).

// Appends a category record (新建分类). An empty name is a silent cancel.
bool addCategory(RecordStore& store, const Session& session, const std::string& name);

// Refusal of 增加摘要 for this picker state, or empty: a category must be
// selected ("请先为新摘要选择分类！").
std::string addPhraseRefusal(const PhrasePicker& picker);
// Appends a phrase under the selected category (增加摘要).
bool addPhrase(RecordStore& store, const Session& session, const PhrasePicker& picker,
               const std::string& text);

inline constexpr const char* kChooseToRename = "请选侧要修改的摘要！";
inline constexpr const char* kChooseToDelete = "请选侧要删除的摘要！";

// Renames the first record whose text is `current`; its 所在分类 stays, so
// the phrases of a renamed category no longer show under it.
// Refuses an empty `current` (kChooseToRename). An empty new text is a silent cancel.
bool renamePhrase(RecordStore& store, const Session& session, const std::string& current,
                  const std::string& newText);

// Deletes the first record whose text is `current` (after the user confirmed).
// Refuses an empty `current` (kChooseToDelete) and an item with children in the tree:
// current + "  ，无法删除！（需先删除其下级科目）".
bool deletePhrase(RecordStore& store, const Session& session, const std::string& current);

}  // namespace tw
