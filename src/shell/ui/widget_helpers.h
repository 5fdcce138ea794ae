#pragma once
// Small helpers the windows share: text between core (UTF-8 std::string) and
// Qt, and buttons that tests find by their object names.

#include <QPushButton>
#include <QString>
#include <string>

namespace tw {

inline QString qs(const std::string& s) { return QString::fromStdString(s); }

// A push button named `name` (its caption too, unless one is given). Enter
// typed in another box of its window does not press it; Enter on the button
// itself, once it has the focus, does, as Space does.
QPushButton* namedButton(QWidget* parent, const char* name, const char* caption = nullptr);

}  // namespace tw
