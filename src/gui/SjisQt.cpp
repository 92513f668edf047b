#include "SjisQt.h"

#include "text/Cp932.h"

namespace pomurina {

QString FromSjis(std::string_view sjis) {
    bool ascii = true;
    for (const char c : sjis) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) return QString::fromLatin1(sjis.data(), static_cast<qsizetype>(sjis.size()));
    const std::string utf8 = Cp932ToUtf8(sjis);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToSjis(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return Utf8ToCp932(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

}  // namespace pomurina
