#pragma once
// UTF-8 texts of the logic as Qt strings and back, for the chart and histogram windows.

#include <QString>

#include <string>
#include <string_view>

namespace mv::ui {

inline QString ToQ(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
inline std::string FromQ(const QString& text) { return text.toUtf8().toStdString(); }
// A CR LF text of the logic for a Qt text field.
inline QString LinesToQ(std::string_view text) { return ToQ(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

}  // namespace mv::ui
