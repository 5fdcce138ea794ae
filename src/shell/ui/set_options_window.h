#pragma once
// 套账选项窗口 (menu 套账 → 套账选项, administrators only): the options of the
// open set that are kept with it (shell/set_options.h). For now one tick box,
// 审核人与制单人不能为同一人; 确定 keeps what it shows (an option it changes
// is logged), 取消 leaves the set as it was.

#include <QDialog>
#include <string>

#include "shell/ui/app_context.h"

class QCheckBox;

namespace tw {

class SetOptionsWindow : public QDialog {
    Q_OBJECT
public:
    explicit SetOptionsWindow(AppContext& ctx, QWidget* parent = nullptr);
    // Why the options could not be read (the window is not to open), or empty.
    const std::string& refusal() const { return m_refusal; }

private:
    void onConfirm();

    AppContext& m_ctx;
    QCheckBox* m_reviewerApart;
    bool m_reviewerApartWas = false;  // as the set kept it when the window opened
    std::string m_refusal;
};

// Opens the window over `parent` for an administrator; tells anybody else
// "您的权限不够！", and says why when the options cannot be read.
void runSetOptionsWindow(AppContext& ctx, QWidget* parent);

}  // namespace tw
