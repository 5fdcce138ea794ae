#pragma once
// The paper form of the voucher window: a ruled 记帐凭证 with its header
// (单位, 日期, 编号/第/共, 附件数), four lines of 摘要 · 科目名称 · 借方金额 ·
// 贷方金额 (each account's code beside it, in 科目编码1标签 … 科目编码4标签),
// the 合计 row and the signature footer. Every box is bound to a
// field of the page shown and is read-only: values go in through the pickers
// and dialogs that a click on a box opens (the window decides what a click
// does). The shapes 外形框1…5, 竖线外形框, 竖线外形框1 and 金额框挡板1…5 draw
// the ruling; they take no clicks.

#include <QList>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>

#include "vouchers/voucher_texts.h"

class QKeyEvent;
class QLabel;
class QLineEdit;

namespace tw {

// A bound box; the line boxes carry their line number 1 … 4 beside it.
enum class VoucherBox {
    Date, Kind, Number, Page, PageCount, Attachments,
    Summary, Account, Debit, Credit,
    DebitTotal, CreditTotal, Preparer, Reviewer, Poster, PrintDate
};

class VoucherSheet : public QWidget {
public:
    explicit VoucherSheet(QWidget* parent = nullptr);

    // Shows a page's texts and the company in 单位标签.
    void showPage(const VoucherPageTexts& texts, const std::string& company);
    // Shows the codes of the lines' accounts beside them; empty for none.
    void showCodes(const std::array<std::string, kLinesPerPage>& codes);
    // Called with the box, its line (0 for boxes not on a line) and the
    // character typed (empty for a click or Enter) when a box is opened.
    std::function<void(VoucherBox, int, const QString& typed)> onOpen;

    // The boxes the keyboard visits, in their order.
    QList<QWidget*> focusChain() const;
    // The box of `kind` on line `line` (0 for 附件数 and the header boxes).
    QLineEdit* box(VoucherBox kind, int line) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* addBox(const QString& name, VoucherBox box, int line, const QRect& at,
                      Qt::Alignment align = Qt::AlignLeft);
    QLabel* addLabel(const QString& name, const QString& text, const QRect& at,
                     Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter);
    void addRule(const QString& name, const QRect& at);
    void addTint(const QString& name, const QRect& at);
    void open(QLineEdit* box, const QString& typed);
    // Enter, a typed character and the arrows on a focused box; true when taken.
    bool keyPressed(QLineEdit* box, QKeyEvent* key);
    // Puts `box` right after `prefix` of the label's text.
    void placeAfter(QLabel* label, const QString& prefix, QLineEdit* box, int width);

    QLabel* m_company = nullptr;
    QLineEdit *m_date, *m_kind, *m_number, *m_page, *m_pageCount, *m_attachments;
    std::array<QLineEdit*, 4> m_summary{}, m_account{}, m_debit{}, m_credit{};
    std::array<QLabel*, 4> m_code{};
    QLineEdit *m_debitTotal, *m_creditTotal, *m_preparer, *m_reviewer, *m_poster, *m_printDate;
};

}  // namespace tw
