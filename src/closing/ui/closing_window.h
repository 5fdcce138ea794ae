#pragma once
// `凭证登账、结转损益、期末结账窗口`: the month's voucher counters, posting the
// reviewed vouchers, the carry-forward pairs (edited in `结转损益设置窗口` once
// `结转损益设置保护` is clicked), the set's `年末将本年利润转入利润分配` (saved
// with each click), and the month-end close, which closes the window.
//
// Undo posting and undo close are menu commands of the main window; they run
// through runUndoPosting and runUndoClose below.

#include <QDialog>
#include <vector>

#include "closing/carry_forward.h"
#include "shell/ui/app_context.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace tw {

class ClosingWindow : public QDialog {
    Q_OBJECT
public:
    explicit ClosingWindow(AppContext& ctx, QWidget* parent = nullptr);

private:
    void refreshCounts();
    void fillList();
    CarryForwardPair selectedPair() const;
    void onPost();
    void onProtect();
    void onYearEnd(bool on);
    void onNewPair();
    void onModifyPair();
    void onDeletePair();
    void onClose();

    AppContext& m_ctx;
    QLabel* m_total;
    QLabel* m_posted;
    QLabel* m_waiting;
    QPushButton* m_post;
    QTreeWidget* m_pairs;
    QPushButton* m_new;
    QPushButton* m_modify;
    QPushButton* m_delete;
    QCheckBox* m_protect;
    QCheckBox* m_yearEnd;
    QPushButton* m_close;
};

// `结转损益设置窗口`: the two account boxes of a pair; 确定 saves it.
class CarryForwardSettingWindow : public QDialog {
    Q_OBJECT
public:
    CarryForwardSettingWindow(AppContext& ctx, const CarryForwardPair& shown,
                              QWidget* parent = nullptr);

private:
    void onConfirm();

    AppContext& m_ctx;
    QLineEdit* m_source;
    QLineEdit* m_target;
};

// 撤销登账 and 撤销结账: ask, run, and tell. The main window's title follows the
// period (AppContext::refreshTitle).
void runUndoPosting(AppContext& ctx, QWidget* parent);
void runUndoClose(AppContext& ctx, QWidget* parent);

}  // namespace tw
