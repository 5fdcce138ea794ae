#include "shell/ui/set_options_window.h"

#include <QCheckBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/ui/busy_cursor.h"
#include "platform/ui/prompter.h"
#include "platform/ui/widget_helpers.h"
#include "shell/account_sets.h"
#include "shell/set_options.h"

namespace tw {

SetOptionsWindow::SetOptionsWindow(AppContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx) {
    setObjectName(QStringLiteral("套账选项窗口"));
    setWindowTitle(QStringLiteral("套账选项"));
    setModal(true);

    m_reviewerApart = new QCheckBox(QString::fromUtf8(kReviewerApartOption), this);
    m_reviewerApart->setObjectName(QString::fromUtf8(kReviewerApartOption));
    RecordStore store(m_ctx.session.dataDir);
    const auto apart = runCaught([&] { return reviewerApart(store, m_ctx.session); });
    if (apart.ok) m_reviewerApartWas = apart.value;
    else m_refusal = apart.message;
    m_reviewerApart->setChecked(m_reviewerApartWas);

    const OkCancelRow buttons = okCancelRow(this);
    buttons.ok->setDefault(true);
    connect(buttons.ok, &QPushButton::clicked, this, &SetOptionsWindow::onConfirm);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(18, 14, 18, 14);
    layout->addWidget(m_reviewerApart);
    layout->addSpacing(8);
    layout->addLayout(buttons.row);
}

void SetOptionsWindow::onConfirm() {
    const bool on = m_reviewerApart->isChecked();
    if (on == m_reviewerApartWas) return accept();
    Outcome out;
    {
        BusyCursor busy;
        RecordStore store(m_ctx.session.dataDir);
        out = runAction(store, [&] { setReviewerApart(store, m_ctx.session, on); });
    }
    if (!out.ok) {
        m_ctx.prompter.showMessage(this, qs(out.message));
        return;
    }
    accept();
}

void runSetOptionsWindow(AppContext& ctx, QWidget* parent) {
    if (const Outcome allowed = checkAdministrator(ctx.session.login); !allowed) {
        ctx.prompter.showMessage(parent, qs(allowed.message));
        return;
    }
    SetOptionsWindow window(ctx, parent);
    if (!window.refusal().empty()) {
        ctx.prompter.showMessage(parent, qs(window.refusal()));
        return;
    }
    window.exec();
}

}  // namespace tw
