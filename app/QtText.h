#pragma once

#include <QString>
#include <QWidget>
#include <string_view>

namespace tessra::app {

inline QString qstr(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

inline void setBold(QWidget* w, bool bold) {
    QFont f = w->font();
    f.setBold(bold);
    w->setFont(f);
}

}  // namespace tessra::app
