#pragma once
// `摘要窗口`: the summary-phrase library as a two-level tree, with its
// categories and phrases added, renamed and deleted, and the summary picker of
// other windows: a caller opens the window modally and takes pickedSummary()
// (pickSummary does both). The last choice is remembered for the program's
// run (AppContext::phrases).

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "accounts/phrases.h"
#include "app/app_context.h"

class QLineEdit;
class QTreeWidget;

namespace tw {

class PhraseWindow : public QDialog {
    Q_OBJECT
public:
    explicit PhraseWindow(AppContext& ctx, QWidget* parent = nullptr);
    // The summary picked (empty for 插入空白), or nothing when not picked.
    const std::optional<std::string>& pickedSummary() const { return m_picked; }

private:
    void loadTree();
    void onSelectionChanged();
    void onPick();
    void onBlank();
    void onNewCategory();
    void onAddPhrase();
    void onRename();
    void onDelete();
    // Runs one change of the library as one action; shows a refusal, or
    // reloads the tree after a change. False when refused.
    bool change(const std::function<bool(RecordStore&)>& write);
    // Asks for a text in an input box and makes the change with it; a
    // refused text is offered again in the box, as typed, until it is
    // accepted or the box is cancelled.
    void askAndChange(const QString& prompt, QString initial,
                      const std::function<bool(RecordStore&, const std::string&)>& write);

    AppContext& m_ctx;
    QTreeWidget* m_tree;
    QLineEdit* m_text;
    std::vector<Phrase> m_phrases;  // as loaded with the tree
    std::optional<std::string> m_picked;
};

// Opens the summary window as a picker over `parent`; the picked summary, or nothing.
std::optional<std::string> pickSummary(AppContext& ctx, QWidget* parent);

}  // namespace tw
