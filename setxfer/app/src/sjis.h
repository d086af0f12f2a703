// Code page 932 for display: the settings-file library's Shift_JIS texts and the
// table editor's bytes go through Qt's converter for it.
#pragma once
#include <QString>
#include <string>
#include <string_view>

namespace setxfer::app {

QString from_cp932(std::string_view bytes);
// Characters that code page 932 lacks become "?", as in a classic edit control.
std::string to_cp932(const QString& text);
QString from_utf8(std::string_view text);

}  // namespace setxfer::app
