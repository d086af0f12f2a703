// Conversions through the system's code page 932 tables (Windows-31J: the
// vendor characters and the backslash and tilde as ASCII, like the analyzer's PC side).
#include "sjis.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace setxfer::app {

QString from_cp932(std::string_view bytes) {
    QStringDecoder decoder("windows-31j");
    return decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string to_cp932(const QString& text) {
    QStringEncoder encoder("windows-31j");
    QByteArray bytes = encoder.encode(text);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString from_utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace setxfer::app
