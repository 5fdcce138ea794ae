#pragma once
// `凭证窗口`: vouchers written, browsed page by page, changed, deleted,
// renumbered and reviewed, one page at a time on a paper form. Nothing on the
// page is typed: a click on a box opens the account or summary picker or a
// small dialog, after the editable check. Every change is one action through
// the core (src/vouchers/) and the page is read again afterwards, with its
// totals; the record view holds only the order of the records.
//
// The keyboard: the line boxes and 附件数 take the focus in reading order;
// Enter or a typed character opens a box's picker or dialog (the character
// goes into its search box), and once something was put in, the focus moves
// on: 摘要 → 科目 → 借方金额 → 贷方金额 (skipped once the line has an amount)
// → the next line's 摘要 … 附件数 → 新建凭证. The pickers start where the
// line, or else the line above, stands; the amount dialog offers the amount
// that balances the voucher, and "=" on either amount box of a line puts it
// in at once, on the side that takes it. The buttons have their keys
// (kVoucherKeys), shown in their tooltips. 计算器 runs the calculator
// launcher of the account-set directory (runLauncher) and says so when it
// finds no calculator installed.
//
// Leaving the window (Esc, its close button) with a voucher written or
// changed in it left incomplete (voucher_completeness.h) asks, naming each
// such voucher, whether to go back to it (返回修改: the window stays, on its
// page) or to leave it as it is (保留离开).
//
// 打印当前 prints every page of the voucher shown as one job through the
// print dialog (printed_vouchers.h) and says how many pages it printed;
// 打印预览 shows them in one preview.
//
// Locate mode (the ledger window): set a target — a date, a number text and
// a page text, as the page's boxes show them — and the window opens on that
// page (on the table's first record when none matches). With the print flag
// the page is printed through AppContext::printVoucherPage and the window
// closes without waiting for the user.

#include <QDialog>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ledgers/voucher_sheet.h"
#include "accounts/account_codes.h"
#include "shell/ui/app_context.h"
#include "vouchers/record_view.h"
#include "vouchers/voucher_texts.h"

class QPushButton;

namespace tw {

class VoucherSheet;
enum class VoucherBox;

// The keys of the window's buttons (QKeySequence text), by button name.
struct VoucherKey {
    const char* button;
    const char* keys;
};
inline constexpr VoucherKey kVoucherKeys[] = {
    {"新建凭证", "F5"},   {"增加子页", "F6"},   {"删除凭证", "Ctrl+Del"}, {"审核或撤销", "F7"},
    {"翻到上张", "PgUp"}, {"翻到下张", "PgDown"}, {"计算器", "F8"},
    {"审撤全部", "Shift+F7"},
};

struct VoucherTarget {
    double date = 0;          // the page's date (day number)
    std::string number;       // 月编号 as its box shows it: "30001"
    std::string page = "1";   // 第几 as its box shows it
    bool print = false;       // print the page found, then close
};

class VoucherWindow : public QDialog {
    Q_OBJECT
public:
    // Opens on the newest page (the table's last record).
    explicit VoucherWindow(AppContext& ctx, QWidget* parent = nullptr);
    ~VoucherWindow() override;

    // Shows the target's page (the last one in record order that matches),
    // or the first record when none does.
    void locate(const VoucherTarget& target);
    // Prints the page shown through AppContext::printVoucherPage (nothing
    // when no printing is installed).
    void printShownPage();

    const VoucherPage& shownPage() const { return m_page; }
    // 1-based position of the page shown in the table; 0 when it is empty.
    long position() const { return m_view.position(); }
    // False when 凭证库 could not be read on opening (the message was shown).
    bool loaded() const { return m_loaded; }

    // Leaving the window: each voucher written or changed in it that is left
    // incomplete is named first, and 返回修改 keeps the window open on it.
    void done(int result) override;

private:
    void reload();   // the record view from the table, on its last record
    void refresh();  // the current page and its totals, read afresh
    // The chart's codes, shown beside the lines' accounts, read afresh.
    Outcome loadCodes();
    void message(const std::string& text);
    // Runs one change as one action; shows a refusal. True when it was done.
    template <class Body>
    bool change(Body&& body);
    // The editable check with its message.
    bool editable();
    // Keeps the pages of the voucher of `page` (changed just now) to be
    // judged on leaving: a deleted page leaves the rest of its voucher.
    void remember(const VoucherPage& page);
    void remember(std::int64_t id);
    // Asks about each incomplete voucher remembered; false to stay.
    bool mayLeave();

    // Opens a box; true when something was put into it.
    bool openBox(VoucherBox box, int line, const QString& typed);
    bool onAccount(int line, const QString& typed);
    bool onSummary(int line, const QString& typed);
    bool onAmount(int line, bool debit, const QString& typed);
    bool onAttachments(const QString& typed);
    // The focus after something was put into `box` of `line`.
    void focusAfter(VoucherBox box, int line);
    void addKeys();
    void onDate();
    void onNumber();
    void onNewVoucher();
    void onAddPage();
    void onDelete();
    void onMove(int by);
    void onSort();
    void onReview();
    void onReviewAll();
    void onCalculator();
    // Every page of the voucher shown, read afresh; nullopt (the reason
    // said) on a page that holds no voucher.
    std::optional<std::vector<VoucherSheetTexts>> shownVoucherSheets();
    void onPrint();    // 打印当前: the print dialog, then the voucher's pages
    void onPreview();  // 打印预览: the voucher's pages in one preview

    AppContext& m_ctx;
    std::unique_ptr<RecordStore> m_store;
    VoucherRecordView m_view;
    VoucherPage m_page;
    VoucherPageTexts m_texts;
    AccountCodes m_codes;
    VoucherSheet* m_sheet;
    QPushButton* m_newButton = nullptr;
    bool m_loaded = false;
    std::vector<std::int64_t> m_written;  // pages written or changed here, first first
};

// Opens 凭证窗口 modally over `parent`; with a target in locate mode (and, with
// its print flag, prints the page and closes without showing). A 凭证库 that
// cannot be read shows its message and opens nothing.
void runVoucherWindow(AppContext& ctx, QWidget* parent,
                      const std::optional<VoucherTarget>& target = std::nullopt);

}  // namespace tw
