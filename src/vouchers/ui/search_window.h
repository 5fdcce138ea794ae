#pragma once
// `查阅凭证`: voucher pages found by conditions, listed, opened and printed.
//
// Each condition box holds a value or "[任意]" (no restriction); its 任意 tick
// is set exactly while the box holds "[任意]". Pressing a box opens its
// picker (summaries, the chart, the amount dialog, the user list); a picked
// value goes into the box. A key typed into an account box opens the chart
// as well, the key in its search box (as the voucher window's 科目 boxes
// do). Clicking a tick: on a box with a value it resets the box to "[任意]";
// on a "[任意]" box it opens the picker. The amount row's tick resets both
// amount boxes. 按条件查找, or Enter in a date or condition box, turns
// emptied boxes back into "[任意]" and lists the pages found (searchVouchers;
// a start after the end is refused, checkedRange); a double-click on a row
// opens the voucher window on that page; 打印全部 prints every listed page,
// read afresh and in list order, as one print job through one print dialog
// and says how many pages it printed; 预览全部 shows them in one print
// preview (printed_vouchers.h). The label of the date range blinks red
// and black (时钟1).

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ledgers/voucher_sheet.h"
#include "shell/ui/app_context.h"
#include "vouchers/voucher_page.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace tw {

class DateBox;

class SearchWindow : public QDialog {
    Q_OBJECT
public:
    explicit SearchWindow(AppContext& ctx, QWidget* parent = nullptr);

    // The pages listed, in list order.
    const std::vector<VoucherPage>& found() const { return m_found; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A box's picker, handed the key typed to open it (empty for a click).
    using Picker = std::function<std::optional<std::string>(const QString& typed)>;
    struct Condition {
        QLineEdit* box = nullptr;
        QCheckBox* any = nullptr;
        Picker pick;
        bool typingPicks = false;  // a key typed opens the picker with it
    };
    Condition& addCondition(const char* boxName, const char* tickName, Picker pick,
                            bool typingPicks = false);
    static void setAny(Condition& c);
    void pickInto(Condition& c, const QString& typed = {});
    void onTickClicked(Condition& c);
    void onAmountTickClicked();
    void syncAmountTick();

    void onSearch();
    void onOpen(QTreeWidgetItem* item);
    // The listed pages read afresh, in list order; nullopt (the reason said)
    // when 凭证库 cannot be read.
    std::optional<std::vector<VoucherSheetTexts>> listedSheets();
    void onPrintAll();
    void onPreviewAll();
    void onTick();

    AppContext& m_ctx;
    DateBox* m_from;
    DateBox* m_to;
    std::vector<Condition> m_conditions;  // summary, debit, credit, poster, reviewer, preparer
    std::vector<Condition> m_amounts;     // minimum, maximum
    QCheckBox* m_amountAny = nullptr;
    QLabel* m_rangeLabel;
    QTimer* m_clock;
    bool m_red = false;
    QTreeWidget* m_list;
    std::vector<VoucherPage> m_found;
};

// Opens 查阅凭证 modally over `parent`; a 凭证库 that cannot be read shows its
// message and opens nothing.
void runSearchWindow(AppContext& ctx, QWidget* parent);

}  // namespace tw
