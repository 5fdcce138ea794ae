#pragma once
// The account-set chooser: `套账列表框` lists the sets; `打开` (or a
// double-click) logs in to the selected one, `新建` makes a new set, `删除`
// deletes one after an administrator's login and a confirmation. The first
// set is selected when the chooser opens; arrows move the selection and Enter
// opens the set selected.

#include <QDialog>

#include "shell/ui/app_context.h"

class QListWidget;
class QPushButton;

namespace tw {

class SetChooserWindow : public QDialog {
    Q_OBJECT
public:
    // How the chooser was left.
    enum Outcome { Closed = QDialog::Rejected, LoggedIn = QDialog::Accepted, NewSet, Reopen };

    explicit SetChooserWindow(AppContext& ctx, QWidget* parent = nullptr);

    // The set selected in `套账列表框`; empty while none is.
    const std::string& selectedSet() const { return m_selectedSet; }

private:
    void onOpen();
    void onNew();
    void onDelete();
    void logout();

    AppContext& m_ctx;
    QListWidget* m_list;
    std::string m_selectedSet;
};

// Shows the chooser modally over `parent` until it is left. `新建` opens the
// create window there and, once a set has been made, the chooser again; a
// deletion reopens it so that the list is fresh.
void runSetChooser(AppContext& ctx, QWidget* parent);

}  // namespace tw
