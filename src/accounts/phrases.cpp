#include "accounts/phrases.h"

#include <functional>

#include "storage/paths.h"
#include "storage/schemas.h"

namespace tw {

namespace {

constexpr const char* kUnreadable = "无法读出套账数据！  请检查后重试！";

std::filesystem::path phraseTable(const Session& session) {
    return tablePath(session.dataDir, session.login.setName, file::kPhrases);
}

std::string failure(const StoreError& e) {
    return e.userMessage().empty() ? e.what() : e.userMessage();
}

// Runs one write to 摘要库 as one action.
PhraseOutcome write(RecordStore& store, const Session& session,
                    const std::function<void()>& change) {
    try {
        Action action(store);
        if (!store.openTable(phraseTable(session), "")) return {false, kUnreadable};
        change();
        action.commit();
        store.closeTable();
    } catch (const StoreError& e) {
        store.closeTable();
        return {false, failure(e)};
    }
    return {true, {}};
}

bool findText(RecordStore& store, const std::string& text) {
    store.goFirst();
    return store.findRecord(
        [&text](const RecordView& r) { return r.text(field::kPhrase) == text; });
}

}  // namespace

std::optional<std::vector<Phrase>> loadPhrases(RecordStore& store, const Session& session) {
    if (!store.openTable(phraseTable(session), "")) return std::nullopt;
    std::vector<Phrase> phrases;
    for (store.goFirst(); !store.isPastEnd(); store.skipRecords(1))
        phrases.push_back({store.readField(field::kPhrase).text(),
                           store.readField(field::kPhraseCategory).text()});
    store.closeTable();
    return phrases;
}

PhraseTree buildPhraseTree(const std::vector<Phrase>& phrases) {
    PhraseTree tree;
    for (const Phrase& p : phrases) {
        if (p.category.empty()) {
            tree.roots.push_back(static_cast<int>(tree.items.size()));
            tree.items.push_back({p.text, {}});
            continue;
        }
        const std::size_t n = tree.items.size();
        for (std::size_t i = 0; i < n; ++i) {
            if (tree.items[i].text != p.category) continue;
            tree.items[i].children.push_back(static_cast<int>(tree.items.size()));
            tree.items.push_back({p.text, {}});
        }
    }
    return tree;
}

void selectPhrase(PhrasePicker& picker, const std::vector<Phrase>& phrases,
                  const std::string& text) {
    picker.chosenSummary = text;
    for (const Phrase& p : phrases) {
        if (p.text == text) {
            picker.chosenCategory = p.category;
            return;
        }
    }
}

PhraseOutcome addCategory(RecordStore& store, const Session& session, const std::string& name) {
    if (name.empty()) return {false, {}};
    return write(store, session, [&] { store.appendRecord({name, std::string()}); });
}

std::string addPhraseRefusal(const PhrasePicker& picker) {
    if (picker.chosenSummary.empty() || !picker.chosenCategory.empty())
        return "请先为新摘要选择分类！";
    return {};
}

PhraseOutcome addPhrase(RecordStore& store, const Session& session, const PhrasePicker& picker,
                        const std::string& text) {
    if (std::string refusal = addPhraseRefusal(picker); !refusal.empty()) return {false, refusal};
    if (text.empty()) return {false, {}};
    return write(store, session, [&] { store.appendRecord({text, picker.chosenSummary}); });
}

PhraseOutcome renamePhrase(RecordStore& store, const Session& session, const std::string& current,
                           const std::string& newText) {
    if (current.empty()) return {false, kChooseToRename};
    if (newText.empty()) return {false, {}};
    return write(store, session, [&] {
        if (findText(store, current)) store.modifyRecord({Value(newText)});
    });
}

PhraseOutcome deletePhrase(RecordStore& store, const Session& session, const std::string& current) {
    if (current.empty()) return {false, kChooseToDelete};
    const auto phrases = loadPhrases(store, session);
    if (!phrases) return {false, kUnreadable};
    const PhraseTree tree = buildPhraseTree(*phrases);
    for (const auto& item : tree.items)
        if (item.text == current && !item.children.empty())
            return {false, current + "  ，无法删除！（需先删除其下级科目）"};
    return write(store, session, [&] {
        if (findText(store, current)) {
            store.deleteRecord();
            store.purgeDeleted();
        }
    });
}

}  // namespace tw
