// 凭证窗口's 打印当前 and 打印预览: every page of the voucher shown as one
// document, through the scripted print dialog into a PDF read back with
// pdftotext, or in one print preview.
#include <gtest/gtest.h>

#include <QPrintPreviewWidget>
#include <QTemporaryDir>

#include "support/pdf_text.h"
#include "vouchers_window_support.h"

namespace tw::test {
namespace {

constexpr auto npos = std::string::npos;

class VoucherPrintTest : public VoucherWindowTest {
protected:
    QTemporaryDir out;
};

TEST_F(VoucherPrintTest, PrintCurrentPrintsEveryPageOfTheVoucherShown) {
    simple(5, 50);            // 30001
    multiPage(9, 2, 117000);  // 30002, its total on its second page
    open();
    ASSERT_EQ(shown(), "30002 2/2");
    const QString pdf = out.filePath("凭证.pdf");
    prompter.printFileAnswers.enqueue(pdf);
    press("打印当前");
    EXPECT_EQ(prompter.printRequests, QList<int>{2});
    EXPECT_EQ(prompter.messages, QStringList{"共打印2页。"});
    const std::vector<std::string> pages = pdfPages(pdf.toStdString());
    ASSERT_EQ(pages.size(), 2u);
    for (const std::string& page : pages) EXPECT_NE(page.find("记字第2号"), npos) << page;
    EXPECT_NE(pages[0].find("第1张"), npos) << pages[0];
    EXPECT_EQ(pages[0].find("壹拾壹万柒仟元整"), npos) << pages[0];
    // The totals, grouped and in capitals, stand on the voucher's last page.
    EXPECT_NE(pages[1].find("第2张"), npos) << pages[1];
    EXPECT_NE(pages[1].find("壹拾壹万柒仟元整"), npos) << pages[1];
    EXPECT_NE(pages[1].find("117,000.00"), npos) << pages[1];
    EXPECT_NE(pdfInfo(pdf.toStdString()).find("凭证 30002 第1至2张"), npos);
    EXPECT_EQ(shown(), "30002 2/2");
}

TEST_F(VoucherPrintTest, PreviewShowsTheWholeVoucherAndAnEmptyTableNothing) {
    open();
    press("打印当前");
    press("打印预览");
    EXPECT_EQ(prompter.messages, QStringList(2, QString::fromUtf8(kNoVoucherToEdit)));
    EXPECT_TRUE(prompter.printRequests.isEmpty());
    window.reset();

    multiPage(9, 3, 80);
    open();
    prompter.clearRecords();
    QString title;
    int pages = -1;
    whenModalOpens([&](QWidget* modal) {
        title = modal->windowTitle();
        if (auto* preview = modal->findChild<QPrintPreviewWidget*>()) pages = preview->pageCount();
        modal->close();
    });
    press("打印预览");
    EXPECT_EQ(title, "打印预览");
    EXPECT_EQ(pages, 3);
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_TRUE(prompter.printRequests.isEmpty());
}

}  // namespace
}  // namespace tw::test
