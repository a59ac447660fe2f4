#include "bytedecoding.h"

#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace {

// Windows-1252 at 0x80–0x9F. The five codes it leaves undefined keep their
// Latin-1 meaning, so every byte decodes to something.
constexpr char16_t windows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString decodeWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        *out++ = (code >= 0x80 && code < 0xA0) ? QChar(windows1252High[code - 0x80]) : QChar(code);
    }
    return text;
}

} // namespace

QString decodeLatin9(QByteArrayView bytes)
{
    QString text = QString::fromLatin1(bytes);
    for (QChar &c : text) {
        switch (c.unicode()) {
        case 0xA4:
            c = QChar(0x20AC); // €
            break;
        case 0xA6:
            c = QChar(0x0160); // Š
            break;
        case 0xA8:
            c = QChar(0x0161); // š
            break;
        case 0xB4:
            c = QChar(0x017D); // Ž
            break;
        case 0xB8:
            c = QChar(0x017E); // ž
            break;
        case 0xBC:
            c = QChar(0x0152); // Œ
            break;
        case 0xBD:
            c = QChar(0x0153); // œ
            break;
        case 0xBE:
            c = QChar(0x0178); // Ÿ
            break;
        default:
            break;
        }
    }
    return text;
}

QString textEncodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return u"UTF-8"_s;
    case TextEncoding::Utf16LE:
        return u"UTF-16LE"_s;
    case TextEncoding::Utf16BE:
        return u"UTF-16BE"_s;
    case TextEncoding::Windows1252:
        return u"Windows-1252 (Latin-1)"_s;
    }
    return QString();
}

bool isValidUtf8(QByteArrayView bytes)
{
    for (char byte : bytes) {
        if (static_cast<unsigned char>(byte) >= 0x80) {
            QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
            const QString ignored = decoder.decode(bytes);
            return !decoder.hasError();
        }
    }
    return true; // plain ASCII, the common case, without a decoder
}

QString decodeText(QByteArrayView bytes, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return QString::fromUtf8(bytes);
    case TextEncoding::Utf16LE: {
        QStringDecoder decoder(QStringConverter::Utf16LE, QStringConverter::Flag::Stateless);
        return decoder.decode(bytes);
    }
    case TextEncoding::Utf16BE: {
        QStringDecoder decoder(QStringConverter::Utf16BE, QStringConverter::Flag::Stateless);
        return decoder.decode(bytes);
    }
    case TextEncoding::Windows1252:
        return decodeWindows1252(bytes);
    }
    return QString();
}

QString decodeUtf8OrLatin1(QByteArrayView bytes)
{
    return decodeText(bytes, isValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Windows1252);
}

TextEncoding detectEncoding(QByteArrayView bytes, qsizetype *bomLength)
{
    *bomLength = 0;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        *bomLength = 3;
        return TextEncoding::Utf8;
    }
    if (bytes.startsWith("\xFF\xFE")) {
        *bomLength = 2;
        return TextEncoding::Utf16LE;
    }
    if (bytes.startsWith("\xFE\xFF")) {
        *bomLength = 2;
        return TextEncoding::Utf16BE;
    }
    return isValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

bool looksBinary(QByteArrayView bytes)
{
    constexpr qsizetype sampleLength = 64 * 1024;
    const QByteArrayView sample = bytes.first(std::min(bytes.size(), sampleLength));
    if (sample.isEmpty())
        return false;
    qsizetype bomLength = 0;
    const TextEncoding encoding = detectEncoding(sample, &bomLength);
    // UTF-16 has a NUL byte in every Latin letter: count its characters.
    const QString text = encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE
                             ? decodeText(sample.sliced(bomLength), encoding)
                             : QString();
    const auto isControl = [](char32_t code) {
        return (code < 0x20 && code != u'\t' && code != u'\n' && code != u'\f' && code != u'\r') ||
               code == 0x7F;
    };
    qsizetype controls = 0;
    qsizetype total = 0;
    if (text.isNull()) {
        for (char byte : sample)
            controls += isControl(static_cast<unsigned char>(byte)) ? 1 : 0;
        total = sample.size();
    } else {
        for (QChar c : text)
            controls += isControl(c.unicode()) ? 1 : 0;
        total = text.size();
    }
    return total > 0 && controls * 20 > total;
}
