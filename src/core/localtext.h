#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// 8-bit text in the system's encoding (UTF-8 here; the ANSI code page on
// Windows) as the list files hold it, kept byte for byte. A list written on
// another system may hold names in Latin-1 or a Windows code page; a byte that
// is not part of a valid UTF-8 sequence is held in the text as the code point
// U+DC80 + (byte - 0x80), a lone surrogate that no decoded text contains, and
// written back as that same byte. So a load and a save never change a name.
namespace LocalText {

QString decode(QByteArrayView bytes);
QByteArray encode(QStringView text);

// The text for showing: each kept byte as the Latin-1 character it would be
// there (a Latin-1 list reads right; others show their bytes).
QString readable(const QString& text);

} // namespace LocalText
