#include "vouchers/ui/voucher_sheet.h"

#include <QEvent>
#include <QKeyEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "platform/ui/widget_helpers.h"

namespace tw {

namespace {

// The sheet, in pixels: margins, the grid's rows and columns.
constexpr int kWidth = 820, kHeight = 404;
constexpr int kLeft = 24, kRight = kWidth - 24;
constexpr int kHeaderY = 98, kRowHeight = 26;
constexpr int kGridTop = 130, kHeadBottom = 162, kLineHeight = 38;
constexpr int kTotalTop = kHeadBottom + 4 * kLineHeight, kGridBottom = kTotalTop + kLineHeight;
constexpr int kFooterY = kGridBottom + 16;
// Columns: 摘要 | 科目名称 | 借方金额 | 贷方金额.
constexpr int kColSummary = kLeft, kColAccount = 232, kColDebit = 502, kColCredit = 649;
// The account's code at the left of its column, the name after it.
constexpr int kCodeWidth = 68;

const QColor kPaper(0xfd, 0xfb, 0xf3);
const QColor kInk(0x2f, 0x6b, 0x4a);       // the printed ruling and captions
const QColor kWriting(0x14, 0x1e, 0x3c);   // what was written on the form
const QColor kAmountTint(0x2f, 0x6b, 0x4a, 18);
const QColor kFocus(0xd6, 0x6e, 0x14);     // the frame of the box with the focus

QString inkStyle() {
    return QStringLiteral("color: %1; background: transparent;").arg(kInk.name());
}

// A caption of the printed form whose blanks leave room for the boxes written
// over them: each blank is kBlankWidth wide, whatever the font's own blank is.
constexpr int kBlankWidth = 8;

class FormCaption : public QLabel {
public:
    using QLabel::QLabel;
    // Where `prefix` (the caption's beginning) ends, from the left edge.
    int advance(const QString& prefix) const {
        const QFontMetrics m(font());
        int x = 0;
        for (const QString& run : prefix.split(QLatin1Char(' ')))
            x += run.isEmpty() ? 0 : m.horizontalAdvance(run);
        return x + static_cast<int>(prefix.count(QLatin1Char(' '))) * kBlankWidth;
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setPen(kInk);
        p.setFont(font());
        const QFontMetrics m(font());
        const int width = advance(text());
        int x = alignment() & Qt::AlignHCenter ? (this->width() - width) / 2 : 0;
        const int baseline = (height() + m.ascent() - m.descent()) / 2;
        const QStringList runs = text().split(QLatin1Char(' '));
        for (int i = 0; i < runs.size(); ++i) {
            if (i > 0) x += kBlankWidth;
            p.drawText(x, baseline, runs[i]);
            x += m.horizontalAdvance(runs[i]);
        }
    }
};

}  // namespace

VoucherSheet::VoucherSheet(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("凭证纸"));
    setFixedSize(kWidth, kHeight);

    // Tints under the amount columns first, so that the boxes lie over them.
    const int rowsHeight = kGridBottom - kHeadBottom;
    addTint(QStringLiteral("金额框挡板3"), {kColDebit, kHeadBottom, kColCredit - kColDebit, rowsHeight});
    addTint(QStringLiteral("金额框挡板4"), {kColCredit, kHeadBottom, kRight - kColCredit, rowsHeight});
    addTint(QStringLiteral("金额框挡板5"), {kColSummary, kTotalTop, kColDebit - kColSummary, kLineHeight});

    auto* title = addLabel(QStringLiteral("记帐凭证标签"), QStringLiteral("记帐凭证"),
                           {0, 10, kWidth, 44}, Qt::AlignCenter);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(22);
    titleFont.setBold(true);
    titleFont.setLetterSpacing(QFont::AbsoluteSpacing, 14);
    title->setFont(titleFont);

    m_kind = addBox(QStringLiteral("种类编辑框"), VoucherBox::Kind, 0, {kWidth / 2 + 120, 22, 70, 24});
    m_date = addBox(QStringLiteral("日期编辑框"), VoucherBox::Date, 0, {kWidth / 2 - 90, 64, 180, 24},
                    Qt::AlignCenter);

    m_company = addLabel(QStringLiteral("单位标签"), QStringLiteral("单位："),
                         {kLeft, kHeaderY, 330, kRowHeight});
    auto* numbers = addLabel(QStringLiteral("编号等"), QStringLiteral("编号：        第    共"),
                             {440, kHeaderY, 220, kRowHeight});
    m_number = addBox(QStringLiteral("月编号编辑框"), VoucherBox::Number, 0, {}, Qt::AlignCenter);
    m_page = addBox(QStringLiteral("第几编辑框"), VoucherBox::Page, 0, {}, Qt::AlignCenter);
    m_pageCount = addBox(QStringLiteral("共几编辑框"), VoucherBox::PageCount, 0, {}, Qt::AlignCenter);
    placeAfter(numbers, QStringLiteral("编号："), m_number, 64);
    placeAfter(numbers, QStringLiteral("编号：        第"), m_page, 30);
    placeAfter(numbers, QStringLiteral("编号：        第    共"), m_pageCount, 30);
    auto* attachments = addLabel(QStringLiteral("附件数标签"), QStringLiteral("附件数：       张"),
                                 {kRight - 132, kHeaderY, 132, kRowHeight});
    m_attachments = addBox(QStringLiteral("附件数编辑框"), VoucherBox::Attachments, 0, {},
                           Qt::AlignCenter);
    placeAfter(attachments, QStringLiteral("附件数："), m_attachments, 40);

    // Column heads.
    const int headHeight = kHeadBottom - kGridTop;
    addLabel(QStringLiteral("摘要标签"), QStringLiteral("摘   要"),
             {kColSummary, kGridTop, kColAccount - kColSummary, headHeight}, Qt::AlignCenter);
    addLabel(QStringLiteral("科目名称标签"), QStringLiteral("科目名称"),
             {kColAccount, kGridTop, kColDebit - kColAccount, headHeight}, Qt::AlignCenter);
    addLabel(QStringLiteral("借方金额标签"), QStringLiteral("借方金额"),
             {kColDebit, kGridTop, kColCredit - kColDebit, headHeight}, Qt::AlignCenter);
    addLabel(QStringLiteral("贷方金额标签"), QStringLiteral("贷方金额"),
             {kColCredit, kGridTop, kRight - kColCredit, headHeight}, Qt::AlignCenter);

    for (int i = 0; i < 4; ++i) {
        const int y = kHeadBottom + i * kLineHeight + 6, h = kLineHeight - 12;
        const QString n = QString::number(i + 1);
        m_summary[i] = addBox(QStringLiteral("摘要") + n + QStringLiteral("编辑框"), VoucherBox::Summary,
                              i + 1, {kColSummary + 6, y, kColAccount - kColSummary - 12, h});
        m_code[i] = new QLabel(this);
        m_code[i]->setObjectName(QStringLiteral("科目编码") + n + QStringLiteral("标签"));
        m_code[i]->setStyleSheet(
            QStringLiteral("color: %1; background: transparent;").arg(kWriting.name()));
        m_code[i]->setGeometry(kColAccount + 6, y, kCodeWidth, h);
        m_code[i]->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_account[i] = addBox(QStringLiteral("科目") + n + QStringLiteral("编辑框"), VoucherBox::Account,
                              i + 1,
                              {kColAccount + 6 + kCodeWidth, y,
                               kColDebit - kColAccount - 12 - kCodeWidth, h});
        m_debit[i] = addBox(QStringLiteral("借方金额") + n + QStringLiteral("编辑框"), VoucherBox::Debit,
                            i + 1, {kColDebit + 4, y, kColCredit - kColDebit - 12, h}, Qt::AlignRight);
        m_credit[i] = addBox(QStringLiteral("贷方金额") + n + QStringLiteral("编辑框"), VoucherBox::Credit,
                             i + 1, {kColCredit + 4, y, kRight - kColCredit - 12, h}, Qt::AlignRight);
    }

    auto* total = addLabel(QStringLiteral("合计标签"), QStringLiteral("合计："),
                           {kColSummary, kTotalTop, kColDebit - kColSummary, kLineHeight},
                           Qt::AlignCenter);
    QFont totalFont = total->font();
    totalFont.setLetterSpacing(QFont::AbsoluteSpacing, 6);
    total->setFont(totalFont);
    const int ty = kTotalTop + 6, th = kLineHeight - 12;
    m_debitTotal = addBox(QStringLiteral("借方金额合计编辑框"), VoucherBox::DebitTotal, 0,
                          {kColDebit + 4, ty, kColCredit - kColDebit - 12, th}, Qt::AlignRight);
    m_creditTotal = addBox(QStringLiteral("贷方金额合计编辑框"), VoucherBox::CreditTotal, 0,
                           {kColCredit + 4, ty, kRight - kColCredit - 12, th}, Qt::AlignRight);
    for (QLineEdit* box : {m_debitTotal, m_creditTotal}) {
        QFont f = box->font();
        f.setBold(true);
        box->setFont(f);
    }

    auto* footer = addLabel(QStringLiteral("编号等1"),
                            QStringLiteral("主管：         登账：          审核：          编制：          打印日期："),
                            {kLeft, kFooterY, kRight - kLeft, kRowHeight});
    m_poster = addBox(QStringLiteral("登账编辑框"), VoucherBox::Poster, 0, {});
    m_reviewer = addBox(QStringLiteral("审核编辑框"), VoucherBox::Reviewer, 0, {});
    m_preparer = addBox(QStringLiteral("编制编辑框"), VoucherBox::Preparer, 0, {});
    m_printDate = addBox(QStringLiteral("打印日期编辑框"), VoucherBox::PrintDate, 0, {});
    const QString f = footer->text();
    placeAfter(footer, f.left(f.indexOf(QStringLiteral("登账：")) + 3), m_poster, 76);
    placeAfter(footer, f.left(f.indexOf(QStringLiteral("审核：")) + 3), m_reviewer, 76);
    placeAfter(footer, f.left(f.indexOf(QStringLiteral("编制：")) + 3), m_preparer, 76);
    placeAfter(footer, f, m_printDate, 96);

    // The ruling, over everything.
    const int gridHeight = kGridBottom - kGridTop;
    addRule(QStringLiteral("外形框1"), {kLeft, kGridTop, kRight - kLeft, gridHeight});
    addRule(QStringLiteral("外形框2"), {kLeft, kHeadBottom, kRight - kLeft, 1});
    for (int i = 1; i <= 3; ++i)
        addRule(QStringLiteral("外形框") + QString::number(i + 2),
                {kLeft, kHeadBottom + i * kLineHeight, kRight - kLeft, 1});
    addRule(QStringLiteral("金额框挡板1"), {kLeft, kTotalTop - 1, kRight - kLeft, 3});
    addRule(QStringLiteral("竖线外形框"), {kColAccount, kGridTop, 1, kTotalTop - kGridTop});
    addRule(QStringLiteral("竖线外形框1"), {kColDebit, kGridTop, 1, gridHeight});
    addRule(QStringLiteral("金额框挡板2"), {kColCredit, kGridTop, 1, gridHeight});
}

QLineEdit* VoucherSheet::addBox(const QString& name, VoucherBox box, int line, const QRect& at,
                                Qt::Alignment align) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setReadOnly(true);
    const bool keyboard = line > 0 || box == VoucherBox::Attachments;
    edit->setFocusPolicy(keyboard ? Qt::StrongFocus : Qt::NoFocus);
    edit->setFrame(false);
    edit->setCursor(Qt::PointingHandCursor);
    edit->setAlignment(align | Qt::AlignVCenter);
    edit->setContextMenuPolicy(Qt::NoContextMenu);
    // The blanks of the header and the footer are dotted lines to write on;
    // the grid's boxes lie between its rules.
    const bool blank = line == 0 && box != VoucherBox::DebitTotal &&
                       box != VoucherBox::CreditTotal && box != VoucherBox::Kind;
    // The box with the focus wears a frame in the colour of a marker pen; the
    // text of a box nothing is typed into never shows as selected.
    edit->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; color: %1; border: none;%2"
                                       " selection-background-color: transparent; selection-color: %1; }"
                                       " QLineEdit:hover { background: rgba(47,107,74,22); }"
                                       " QLineEdit:focus { border: 2px solid %3;"
                                       " background: rgba(214,110,20,28); }")
                            .arg(kWriting.name(),
                                 blank ? QStringLiteral(" border-bottom: 1px dotted rgba(47,107,74,90);")
                                       : QString(),
                                 kFocus.name()));
    QFont f = edit->font();
    f.setPointSizeF(f.pointSizeF() * 1.1);
    edit->setFont(f);
    if (!at.isNull()) edit->setGeometry(at);
    edit->setProperty("voucherBox", static_cast<int>(box));
    edit->setProperty("voucherLine", line);
    edit->installEventFilter(this);
    return edit;
}

QLabel* VoucherSheet::addLabel(const QString& name, const QString& text, const QRect& at,
                               Qt::Alignment align) {
    auto* label = new FormCaption(text, this);
    label->setObjectName(name);
    label->setAlignment(align);
    label->setStyleSheet(inkStyle());
    label->setGeometry(at);
    return label;
}

void VoucherSheet::addRule(const QString& name, const QRect& at) {
    auto* rule = new QFrame(this);
    rule->setObjectName(name);
    const bool box = at.width() > 3 && at.height() > 3;
    rule->setStyleSheet(box ? QStringLiteral("border: 2px solid %1; background: transparent;").arg(kInk.name())
                            : QStringLiteral("background: %1; border: none;").arg(kInk.name()));
    rule->setGeometry(at);
    rule->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void VoucherSheet::addTint(const QString& name, const QRect& at) {
    auto* tint = new QFrame(this);
    tint->setObjectName(name);
    tint->setStyleSheet(QStringLiteral("background: rgba(%1,%2,%3,%4); border: none;")
                            .arg(kAmountTint.red())
                            .arg(kAmountTint.green())
                            .arg(kAmountTint.blue())
                            .arg(kAmountTint.alpha()));
    tint->setGeometry(at);
    tint->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void VoucherSheet::placeAfter(QLabel* label, const QString& prefix, QLineEdit* box, int width) {
    const int x = label->x() + static_cast<FormCaption*>(label)->advance(prefix);
    box->setGeometry(x, label->y() + 1, width, label->height() - 2);
    box->raise();
}

void VoucherSheet::showPage(const VoucherPageTexts& t, const std::string& company) {
    m_company->setText(QStringLiteral("单位：") + qs(company));
    m_date->setText(qs(t.date));
    m_kind->setText(qs(t.kind));
    m_number->setText(qs(t.number));
    m_page->setText(qs(t.page));
    m_pageCount->setText(qs(t.pageCount));
    m_attachments->setText(qs(t.attachments));
    for (int i = 0; i < 4; ++i) {
        m_summary[i]->setText(qs(t.summary[i]));
        m_account[i]->setText(qs(t.account[i]));
        m_debit[i]->setText(qs(t.debit[i]));
        m_credit[i]->setText(qs(t.credit[i]));
    }
    m_debitTotal->setText(qs(t.debitTotal));
    m_creditTotal->setText(qs(t.creditTotal));
    m_preparer->setText(qs(t.preparer));
    m_reviewer->setText(qs(t.reviewer));
    m_poster->setText(qs(t.poster));
    m_printDate->setText(qs(t.printDate));
    // Long texts show from their beginning.
    for (QLineEdit* box : findChildren<QLineEdit*>()) box->setCursorPosition(0);
}

void VoucherSheet::showCodes(const std::array<std::string, kLinesPerPage>& codes) {
    for (int i = 0; i < 4; ++i) m_code[i]->setText(qs(codes[i]));
}

void VoucherSheet::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kPaper);
    p.setPen(QPen(QColor(0, 0, 0, 40), 1));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    // The double rule under the caption.
    p.setPen(QPen(kInk, 1.5));
    const int x0 = kWidth / 2 - 96, x1 = kWidth / 2 + 96;
    p.drawLine(x0, 56, x1, 56);
    p.drawLine(x0, 60, x1, 60);
}

QList<QWidget*> VoucherSheet::focusChain() const {
    QList<QWidget*> chain;
    for (int i = 0; i < 4; ++i) chain << m_summary[i] << m_account[i] << m_debit[i] << m_credit[i];
    chain << m_attachments;
    return chain;
}

QLineEdit* VoucherSheet::box(VoucherBox kind, int line) const {
    const int i = std::clamp(line, 1, 4) - 1;
    switch (kind) {
        case VoucherBox::Summary: return m_summary[i];
        case VoucherBox::Account: return m_account[i];
        case VoucherBox::Debit: return m_debit[i];
        case VoucherBox::Credit: return m_credit[i];
        case VoucherBox::Attachments: return m_attachments;
        case VoucherBox::Date: return m_date;
        case VoucherBox::Number: return m_number;
        default: return nullptr;
    }
}

void VoucherSheet::open(QLineEdit* box, const QString& typed) {
    if (onOpen)
        onOpen(static_cast<VoucherBox>(box->property("voucherBox").toInt()),
               box->property("voucherLine").toInt(), typed);
}

bool VoucherSheet::keyPressed(QLineEdit* box, QKeyEvent* key) {
    const auto kind = static_cast<VoucherBox>(box->property("voucherBox").toInt());
    const int line = box->property("voucherLine").toInt();
    const Qt::KeyboardModifiers mods = key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    if (mods != Qt::NoModifier) return false;  // shortcuts go on to the window
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            open(box, QString());
            return true;
        // Home and End: the first line's 摘要 and 附件数, the ends of the way.
        case Qt::Key_Home:
            m_summary[0]->setFocus(Qt::OtherFocusReason);
            return true;
        case Qt::Key_End:
            m_attachments->setFocus(Qt::OtherFocusReason);
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
            if (line > 0) {
                const int to = line + (key->key() == Qt::Key_Up ? -1 : 1);
                if (to >= 1 && to <= 4) this->box(kind, to)->setFocus(Qt::OtherFocusReason);
            }
            return true;
        default:
            break;
    }
    const QString text = key->text();
    if (text.size() == 1 && text.at(0).isPrint() && !text.at(0).isSpace()) {
        open(box, text);
        return true;
    }
    return false;
}

bool VoucherSheet::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (!box) return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress && box->focusPolicy() != Qt::NoFocus)
        return keyPressed(box, static_cast<QKeyEvent*>(event)) || QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonDblClick) return true;
    if (event->type() != QEvent::MouseButtonRelease) return QWidget::eventFilter(watched, event);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton || !box->rect().contains(mouse->position().toPoint()))
        return QWidget::eventFilter(watched, event);
    open(box, QString());
    return true;
}

}  // namespace tw
