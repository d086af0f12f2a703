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
    QByteArray whole = encoder.encode(text);
    if (from_cp932(std::string_view(whole.constData(), static_cast<std::size_t>(whole.size()))) == text)
        return std::string(whole.constData(), static_cast<std::size_t>(whole.size()));
    // The converter puts its own substitute bytes for missing characters, which would
    // read back as other characters; go character by character and put "?" instead.
    std::string out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QString one = text.mid(i, n);
        QByteArray bytes = QStringEncoder("windows-31j").encode(one);
        std::string_view view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        out += from_cp932(view) == one ? std::string(view) : std::string("?");
        i += n - 1;
    }
    return out;
}

QString from_utf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace setxfer::app
