#pragma once

#include <QString>
#include <string_view>

namespace tessra::app {

inline QString qstr(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace tessra::app
