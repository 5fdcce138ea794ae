#pragma once
// Small helpers the windows share: text between core (UTF-8 std::string) and
// Qt, and buttons that tests find by their object names.

#include <QPushButton>
#include <QString>
#include <string>

namespace tw {

inline QString qs(const std::string& s) { return QString::fromStdString(s); }

// A push button named `name` (its caption too, unless one is given) that does not
// take Enter for itself.
inline QPushButton* namedButton(QWidget* parent, const char* name, const char* caption = nullptr) {
    auto* b = new QPushButton(QString::fromUtf8(caption ? caption : name), parent);
    b->setObjectName(QString::fromUtf8(name));
    b->setAutoDefault(false);
    return b;
}

}  // namespace tw
