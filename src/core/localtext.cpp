#include "localtext.h"

namespace {

constexpr char16_t KeptByteBase = 0xDC00; // U+DC80 .. U+DCFF hold bytes 0x80 .. 0xFF

// Whether text[i] holds a kept byte: a low surrogate of that range on its
// own. The same unit after a high surrogate is the second half of a
// character beyond U+FFFF (U+F3CF3 is DB8F DCF3), which is text.
bool isKeptByte(QStringView text, qsizetype i) {
    const char16_t unit = text[i].unicode();
    return unit >= KeptByteBase + 0x80 && unit <= KeptByteBase + 0xFF &&
           (i == 0 || !text[i - 1].isHighSurrogate());
}

#ifndef Q_OS_WIN
// Length of the valid UTF-8 sequence at `at`, or 0.
qsizetype validSequence(const uchar* at, qsizetype left) {
    const uchar lead = at[0];
    qsizetype length = 0;
    char32_t min = 0;
    char32_t code = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        min = 0x80;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        min = 0x800;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        min = 0x10000;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (left < length)
        return 0;
    for (qsizetype i = 1; i < length; ++i) {
        if ((at[i] & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (at[i] & 0x3F);
    }
    // Overlong forms, surrogates and code points beyond Unicode are not text.
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}
#endif

} // namespace

namespace LocalText {

#ifdef Q_OS_WIN
QString decode(QByteArrayView bytes) {
    return QString::fromLocal8Bit(bytes);
}

QByteArray encode(QStringView text) {
    return text.toLocal8Bit();
}
#else
QString decode(QByteArrayView bytes) {
    if (bytes.isValidUtf8())
        return QString::fromUtf8(bytes);
    QString text;
    text.reserve(bytes.size());
    const auto* data = reinterpret_cast<const uchar*>(bytes.data());
    qsizetype run = 0; // start of the valid text not yet taken
    qsizetype i = 0;
    while (i < bytes.size()) {
        const qsizetype length = validSequence(data + i, bytes.size() - i);
        if (length > 0) {
            i += length;
            continue;
        }
        text.append(QString::fromUtf8(bytes.sliced(run, i - run)));
        text.append(QChar(char16_t(KeptByteBase + data[i])));
        run = ++i;
    }
    text.append(QString::fromUtf8(bytes.sliced(run)));
    return text;
}

QByteArray encode(QStringView text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    qsizetype from = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isKeptByte(text, i))
            continue;
        bytes += text.sliced(from, i - from).toUtf8();
        bytes += char(text[i].unicode() - KeptByteBase);
        from = i + 1;
    }
    bytes += text.sliced(from).toUtf8();
    return bytes;
}
#endif

QString readable(const QString& text) {
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isKeptByte(text, i))
            continue;
        if (shown.isEmpty())
            shown = text;
        shown[i] = QChar(char16_t(text[i].unicode() - KeptByteBase));
    }
    return shown.isEmpty() ? text : shown;
}

} // namespace LocalText
