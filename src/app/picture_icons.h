#pragma once
// The main window's pictures, drawn in code so the program needs no image
// files: the icon of each picture button, the program icon and the banner.

#include <QIcon>
#include <QPixmap>

namespace tw {

enum class PictureIcon {
    VoucherEntry,
    VoucherReview,
    VoucherSearch,
    Posting,
    CarryForward,
    PeriodClose,
    GeneralLedger,
    DetailLedger,
    Journal,
    CashReceipt,
    CashPayment,
    BankReceipt,
    BankPayment,
    PrintWizard,
    Report,
};

QIcon pictureIcon(PictureIcon which);
QIcon programIcon();
// The banner of `主窗口图片框`, filling the given size.
QPixmap mainPicture(const QSize& size);

}  // namespace tw
