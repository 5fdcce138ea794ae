#pragma once
// 核对账目窗口 (menu 其它 → 核对账目): runs the check of the open set
// (closing/books_check.h) and shows its findings, one a line, under a line
// that says whether the books are sound. 重新核对 runs it again; 关闭 closes.
// Nothing in the set changes.

#include <QDialog>

#include "shell/ui/app_context.h"

class QLabel;
class QListWidget;

namespace tw {

class CheckWindow : public QDialog {
    Q_OBJECT
public:
    explicit CheckWindow(AppContext& ctx, QWidget* parent = nullptr);

private:
    void runCheck();

    AppContext& m_ctx;
    QLabel* m_summary;
    QListWidget* m_findings;
};

}  // namespace tw
