#pragma once

#include <QByteArray>

// A reply frame as the programmer sends it: the code, five address digits,
// the power digit (of ";"), then padding.
inline QByteArray replyFrame(char code, int address = 0, char power = '0', char padding = '\0') {
    QByteArray bytes(1, code);
    bytes += QByteArray::number(address).rightJustified(5, '0');
    bytes += power;
    bytes += QByteArray(13, padding);
    return bytes;
}
