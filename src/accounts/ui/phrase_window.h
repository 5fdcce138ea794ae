#pragma once
// `摘要窗口`: the summary-phrase library as a two-level tree, with its
// categories and phrases added, renamed and deleted, and the summary picker of
// other windows: a caller opens the window modally and takes pickedSummary()
// (pickSummary does both). The last choice is remembered for the program's
// run (AppContext::phrases).
//
// The tree opens with its categories expanded. Typing in `摘要文本框` shows
// only the phrases it finds (a fragment, or pinyin initials: "sdhk" finds
// 收到货款); Up and Down select among them. Enter in the text box inserts:
// after letters typed as a search, the phrase selected; otherwise the text
// as it stands — so a phrase chosen, or a text of one's own, goes in as it
// reads. Enter on a phrase in the tree inserts it.

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "accounts/phrases.h"
#include "shell/ui/app_context.h"

class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace tw {

// Where the picker starts: with a summary in the text box (and its phrase
// selected), or with a character typed into the text box as a search.
struct PhraseStart {
    std::string text;
    QString typed;
};

class PhraseWindow : public QDialog {
    Q_OBJECT
public:
    explicit PhraseWindow(AppContext& ctx, QWidget* parent = nullptr, const PhraseStart& start = {});
    // The summary picked (empty for 插入空白), or nothing when not picked.
    const std::optional<std::string>& pickedSummary() const { return m_picked; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadTree();
    void onSelectionChanged();
    // Shows the phrases `text` finds; letters select the first of them.
    void onSearchEdited(const QString& text);
    // Selects the next (+1) or previous (−1) phrase shown.
    void stepPhrase(int by);
    void selectQuietly(QTreeWidgetItem* item);
    void onEnterInText();
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
    bool m_quiet = false;  // a selection made by the search leaves the text box as typed
};

// Opens the summary window as a picker over `parent`; the picked summary, or nothing.
std::optional<std::string> pickSummary(AppContext& ctx, QWidget* parent,
                                       const PhraseStart& start = {});

}  // namespace tw
