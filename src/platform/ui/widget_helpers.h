#pragma once
// Small helpers the windows share: text between core (UTF-8 std::string) and
// Qt, and buttons that tests find by their object names.

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <functional>
#include <string>

class QDialog;

namespace tw {

inline QString qs(const std::string& s) { return QString::fromStdString(s); }

// A push button named `name` (its caption too, unless one is given). Enter
// typed in another box of its window does not press it; Enter on the button
// itself, once it has the focus, does, as Space does.
QPushButton* namedButton(QWidget* parent, const char* name, const char* caption = nullptr);

// The row of 确定 and 取消 at the foot of a dialog, both named buttons at its
// right end. 取消 rejects the dialog; the caller connects 确定 (named `okName`,
// its caption 确定 all the same) and makes it the default button when Enter in
// the dialog's boxes should press it.
struct OkCancelRow {
    QHBoxLayout* row;
    QPushButton* ok;
    QPushButton* cancel;
};
OkCancelRow okCancelRow(QDialog* dialog, const char* okName = "确定");

// A dialog selects the text of the box that has the focus when it opens.
// For a box that starts with a character the user already typed, that would
// make the next key replace it: this keeps the text unselected, the cursor
// at its end, for the one opening.
void keepTypedText(QLineEdit* box);

// Gives `widget` the focus as Tab would, so that the style draws its focus
// frame (buttons show it only after a move by the keyboard).
void showKeyboardFocus(QWidget* widget);

// Runs `act` when the left mouse button is released over `box` (a read-only
// box that opens a picker), instead of the box's own handling of the click,
// and when Enter is pressed on the box, so that the keyboard opens it too.
void whenClicked(QWidget* box, std::function<void()> act);

}  // namespace tw
