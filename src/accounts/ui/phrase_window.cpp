#include "accounts/ui/phrase_window.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "accounts/pinyin.h"
#include "platform/ui/widget_helpers.h"

namespace tw {

namespace {

void addItems(QTreeWidgetItem* parent, QTreeWidget* tree, const PhraseTree& phrases, int index) {
    const PhraseTree::Item& item = phrases.items[index];
    auto* widgetItem = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
    widgetItem->setText(0, qs(item.name));
    for (int child : item.children) addItems(widgetItem, tree, phrases, child);
}

// A search of letters and digits only (pinyin initials), as opposed to a
// text of one's own.
bool isLetterSearch(const QString& text) {
    if (text.isEmpty()) return false;
    for (const QChar c : text)
        if (c.unicode() >= 0x80 || !c.isLetterOrNumber()) return false;
    return true;
}

}  // namespace

PhraseWindow::PhraseWindow(AppContext& ctx, QWidget* parent, const PhraseStart& start)
    : QDialog(parent), m_ctx(ctx) {
    setObjectName(QStringLiteral("摘要窗口"));
    setWindowTitle(QStringLiteral("常用摘要"));
    setModal(true);

    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("摘要树型框"));
    m_tree->setHeaderHidden(true);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(m_tree, &QTreeWidget::itemSelectionChanged, this, &PhraseWindow::onSelectionChanged);
    // A double-click on a phrase inserts it, as 将当前摘要插入到 does; on a
    // category it only opens or folds it.
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (item->parent()) onPick();
    });

    m_tree->installEventFilter(this);

    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("摘要文本框"));
    m_text->setToolTip(QStringLiteral("输入摘要，或输入文字、拼音首字母（如 sdhk）查找常用摘要；"
                                      "↑↓ 选择，回车插入"));
    m_text->installEventFilter(this);
    connect(m_text, &QLineEdit::textEdited, this, &PhraseWindow::onSearchEdited);

    auto* newCategory = namedButton(this, "新建分类", "新建分类");
    auto* addPhraseButton = namedButton(this, "增加摘要", "增加摘要");
    auto* rename = namedButton(this, "修改当前", "修改当前");
    auto* remove = namedButton(this, "删除当前", "删除当前");
    auto* pick = namedButton(this, "将当前摘要插入到", "将当前摘要插入到...");
    auto* blank = namedButton(this, "插入空白", "插入空白");
    connect(newCategory, &QPushButton::clicked, this, &PhraseWindow::onNewCategory);
    connect(addPhraseButton, &QPushButton::clicked, this, &PhraseWindow::onAddPhrase);
    connect(rename, &QPushButton::clicked, this, &PhraseWindow::onRename);
    connect(remove, &QPushButton::clicked, this, &PhraseWindow::onDelete);
    connect(pick, &QPushButton::clicked, this, &PhraseWindow::onPick);
    connect(blank, &QPushButton::clicked, this, &PhraseWindow::onBlank);

    auto* edits = new QGridLayout;
    edits->addWidget(newCategory, 0, 0);
    edits->addWidget(addPhraseButton, 0, 1);
    edits->addWidget(rename, 1, 0);
    edits->addWidget(remove, 1, 1);
    auto* picks = new QGridLayout;
    picks->addWidget(pick, 0, 0);
    picks->addWidget(blank, 0, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tree, 1);
    layout->addWidget(m_text);
    layout->addLayout(edits);
    layout->addSpacing(6);
    layout->addLayout(picks);
    resize(360, 480);

    PhrasePicker& p = m_ctx.phrases;
    p.chosenCategory.clear();
    p.chosenSummary.clear();
    loadTree();

    if (!start.typed.isEmpty()) {
        m_text->setText(start.typed);
        keepTypedText(m_text);
        onSearchEdited(start.typed);
    } else if (!start.text.empty()) {
        const auto found = m_tree->findItems(qs(start.text), Qt::MatchExactly | Qt::MatchRecursive);
        if (!found.isEmpty()) {
            m_tree->setCurrentItem(found.first());
            m_tree->scrollToItem(found.first());
        }
        m_text->setText(qs(start.text));
        m_text->selectAll();
    }
}

void PhraseWindow::loadTree() {
    const QSignalBlocker block(m_tree);
    m_tree->clear();
    RecordStore store(m_ctx.session.dataDir);
    const auto phrases = runCaught([&] { return loadPhrases(store, m_ctx.session); });
    if (!phrases.ok) m_ctx.prompter.showMessage(this, qs(phrases.message));
    m_phrases = phrases.value;
    const PhraseTree tree = buildPhraseTree(m_phrases);
    for (int root : tree.roots) addItems(nullptr, m_tree, tree, root);
    m_tree->expandAll();
    m_tree->clearSelection();
    m_tree->setCurrentItem(nullptr);
    m_ctx.phrases.chosenSummary.clear();
    // The text box follows the selection: with none, it holds nothing (not
    // the text of an item just renamed or deleted).
    m_text->clear();
    m_text->setFocus();
}

void PhraseWindow::onSelectionChanged() {
    const auto selected = m_tree->selectedItems();
    if (selected.isEmpty()) return;
    PhrasePicker& p = m_ctx.phrases;
    selectPhrase(p, m_phrases, selected.first()->text(0).toStdString());
    if (!m_quiet) m_text->setText(qs(p.chosenSummary));
}

void PhraseWindow::selectQuietly(QTreeWidgetItem* item) {
    m_quiet = true;
    if (item) {
        m_tree->setCurrentItem(item);
        m_tree->scrollToItem(item);
    } else {
        m_tree->clearSelection();
        m_tree->setCurrentItem(nullptr);
    }
    m_quiet = false;
}

void PhraseWindow::onSearchEdited(const QString& text) {
    const std::string query = text.trimmed().toStdString();
    QTreeWidgetItem* first = nullptr;
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* category = m_tree->topLevelItem(i);
        const bool categoryFound =
            query.empty() || findByInitials(category->text(0).toStdString(), query).has_value();
        bool any = false;
        for (int k = 0; k < category->childCount(); ++k) {
            QTreeWidgetItem* phrase = category->child(k);
            const bool shown = categoryFound ||
                               findByInitials(phrase->text(0).toStdString(), query).has_value();
            phrase->setHidden(!shown);
            if (shown && !first) first = phrase;
            any = any || shown;
        }
        category->setHidden(!categoryFound && !any);
    }
    selectQuietly(isLetterSearch(text.trimmed()) ? first : nullptr);
}

void PhraseWindow::stepPhrase(int by) {
    QList<QTreeWidgetItem*> shown;
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* category = m_tree->topLevelItem(i);
        for (int k = 0; k < category->childCount(); ++k)
            if (!category->isHidden() && !category->child(k)->isHidden()) shown << category->child(k);
    }
    if (shown.isEmpty()) return;
    const auto selected = m_tree->selectedItems();
    const int at = selected.isEmpty() ? -1 : static_cast<int>(shown.indexOf(selected.first()));
    const int next = at < 0 ? (by > 0 ? 0 : static_cast<int>(shown.size()) - 1)
                            : std::clamp(at + by, 0, static_cast<int>(shown.size()) - 1);
    m_tree->setCurrentItem(shown[next]);  // the text box takes the phrase
    m_tree->scrollToItem(shown[next]);
}

void PhraseWindow::onEnterInText() {
    const auto selected = m_tree->selectedItems();
    if (isLetterSearch(m_text->text().trimmed()) && !selected.isEmpty() && selected.first()->parent())
        m_text->setText(selected.first()->text(0));
    onPick();
}

bool PhraseWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (watched == m_text) {
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            stepPhrase(key == Qt::Key_Down ? 1 : -1);
            return true;
        }
        if (enter) {
            onEnterInText();
            return true;
        }
    } else if (watched == m_tree && enter) {
        QTreeWidgetItem* item = m_tree->currentItem();
        if (item && item->parent())
            onPick();
        else if (item)
            item->setExpanded(!item->isExpanded());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void PhraseWindow::onPick() {
    if (m_text->text().isEmpty()) {
        m_ctx.prompter.showMessage(this, QStringLiteral("请输入或选择摘要！"));
        return;
    }
    m_ctx.phrases.chosenSummary = m_text->text().toStdString();
    m_picked = m_ctx.phrases.chosenSummary;
    accept();
}

void PhraseWindow::onBlank() {
    m_ctx.phrases.chosenSummary.clear();
    m_picked = std::string();
    accept();
}

bool PhraseWindow::change(const std::function<bool(RecordStore&)>& write) {
    RecordStore store(m_ctx.session.dataDir);
    const auto changed = runAction(store, [&] { return write(store); });
    if (!changed.message.empty()) m_ctx.prompter.showMessage(this, qs(changed.message));
    if (changed.ok && changed.value) loadTree();
    return changed.ok;
}

void PhraseWindow::askAndChange(const QString& prompt, QString initial,
                                const std::function<bool(RecordStore&, const std::string&)>& write) {
    for (;;) {
        const auto answer = m_ctx.prompter.inputText(this, windowTitle(), prompt, initial);
        if (!answer || answer->isEmpty()) return;
        if (change([&](RecordStore& store) { return write(store, answer->toStdString()); })) return;
        initial = *answer;  // refused: the box comes back with the text as typed
    }
}

void PhraseWindow::onNewCategory() {
    askAndChange(QStringLiteral("输入新摘要..."), QString(),
                 [&](RecordStore& store, const std::string& text) {
                     return addCategory(store, m_ctx.session, text);
                 });
}

void PhraseWindow::onAddPhrase() {
    const PhrasePicker& p = m_ctx.phrases;
    if (const std::string refusal = addPhraseRefusal(p); !refusal.empty()) {
        m_ctx.prompter.showMessage(this, qs(refusal));
        return;
    }
    askAndChange(QStringLiteral("输入要增设的摘要..."), QString(),
                 [&](RecordStore& store, const std::string& text) {
                     return addPhrase(store, m_ctx.session, p, text);
                 });
}

void PhraseWindow::onRename() {
    const std::string current = m_ctx.phrases.chosenSummary;
    if (current.empty()) {
        m_ctx.prompter.showMessage(this, QString::fromUtf8(kChooseToRename));
        return;
    }
    askAndChange(QStringLiteral("修改当前选定..."), qs(current),
                 [&](RecordStore& store, const std::string& text) {
                     return renamePhrase(store, m_ctx.session, current, text);
                 });
}

void PhraseWindow::onDelete() {
    const std::string current = m_ctx.phrases.chosenSummary;
    if (current.empty()) {
        m_ctx.prompter.showMessage(this, QString::fromUtf8(kChooseToDelete));
        return;
    }
    if (!m_ctx.prompter.confirm(this, QStringLiteral("是否要删除  ") + qs(current))) return;
    change([&](RecordStore& store) { return deletePhrase(store, m_ctx.session, current); });
}

std::optional<std::string> pickSummary(AppContext& ctx, QWidget* parent, const PhraseStart& start) {
    PhraseWindow window(ctx, parent, start);
    window.exec();
    return window.pickedSummary();
}

}  // namespace tw
