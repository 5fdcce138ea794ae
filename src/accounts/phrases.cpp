#include "accounts/phrases.h"


#include "storage/paths.h"
#include "storage/schemas.h"

namespace tw {

namespace {

bool findText(RecordStore& store, const std::string& text) {
    store.goFirst();
    return store.findRecord(
        [&text](const RecordView& r) { return r.text(field::kPhrase) == text; });
}

}  // namespace

std::vector<Phrase> loadPhrases(RecordStore& store, const Session& session) {
    const SetTable phraseTable(store, session, file::kPhrases);
    std::vector<Phrase> phrases;
    for (store.goFirst(); !store.isPastEnd(); store.skipRecords(1))
        phrases.push_back({store.readField(field::kPhrase).text(),
                           store.readField(field::kPhraseCategory).text()});
    return phrases;
}

PhraseTree buildPhraseTree(const std::vector<Phrase>& phrases) {
    return buildNameTree(phrases, &Phrase::text, &Phrase::category, EarlyChildren::Hidden);
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

bool addCategory(RecordStore& store, const Session& session, const std::string& name) {
    if (name.empty()) return false;
    const SetTable phraseTable(store, session, file::kPhrases);
    store.appendRecord({name, std::string()});
    return true;
}

std::string addPhraseRefusal(const PhrasePicker& picker) {
    if (picker.chosenSummary.empty() || !picker.chosenCategory.empty())
        return "请先为新摘要选择分类！";
    return {};
}

bool addPhrase(RecordStore& store, const Session& session, const PhrasePicker& picker,
               const std::string& text) {
    if (std::string refusal = addPhraseRefusal(picker); !refusal.empty()) refuse(refusal);
    if (text.empty()) return false;
    const SetTable phraseTable(store, session, file::kPhrases);
    store.appendRecord({text, picker.chosenSummary});
    return true;
}

bool renamePhrase(RecordStore& store, const Session& session, const std::string& current,
                  const std::string& newText) {
    if (current.empty()) refuse(kChooseToRename);
    if (newText.empty()) return false;
    const SetTable phraseTable(store, session, file::kPhrases);
    if (findText(store, current)) store.modifyRecord({Value(newText)});
    return true;
}

bool deletePhrase(RecordStore& store, const Session& session, const std::string& current) {
    if (current.empty()) refuse(kChooseToDelete);
    const PhraseTree tree = buildPhraseTree(loadPhrases(store, session));
    for (const auto& item : tree.items)
        if (item.name == current && !item.children.empty())
            refuse(current + "  ，无法删除！（需先删除其下级科目）");
    const SetTable phraseTable(store, session, file::kPhrases);
    if (findText(store, current)) {
        store.deleteRecord();
        store.purgeDeleted();
    }
    return true;
}

}  // namespace tw
