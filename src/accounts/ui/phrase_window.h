#pragma once
// `摘要窗口`: the summary-phrase library as a two-level tree, with its
// categories and phrases added, renamed and deleted, and the summary picker of
// other windows. The picker's state lives in the session
// (Session::phrasePicker): a caller opens the window modally and reads the
// chosen summary and the picked flag after.

#include <QDialog>
#include <vector>

#include "accounts/phrases.h"
#include "shell/ui/app_context.h"

class QLineEdit;
class QTreeWidget;

namespace tw {

class PhraseWindow : public QDialog {
    Q_OBJECT
public:
    explicit PhraseWindow(AppContext& ctx, QWidget* parent = nullptr);

private:
    void loadTree();
    void onSelectionChanged();
    void onPick();
    void onBlank();
    void onNewCategory();
    void onAddPhrase();
    void onRename();
    void onDelete();
    // Shows a refusal, or reloads the tree after a change.
    void showOutcome(const PhraseOutcome& out);

    AppContext& m_ctx;
    QTreeWidget* m_tree;
    QLineEdit* m_text;
    std::vector<Phrase> m_phrases;  // as loaded with the tree
};

}  // namespace tw
