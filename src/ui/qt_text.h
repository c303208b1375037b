// The one conversion between the core's UTF-8 std::string and Qt's QString.
#pragma once

#include <QString>
#include <string>

namespace zl::ui {

inline QString toQString(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string toStdString(const QString& text) { return text.toStdString(); }

}  // namespace zl::ui
