#pragma once

#include <QString>
#include <optional>

// How the tables write and read chip addresses. Cells hold texts; wherever a
// text is used as a number it must be a whole decimal integer.
namespace AddressText {

// The cell text of an address the user has not given.
QString notUsed();

// Five decimal digits of the low 16 bits: 16 gives "00016".
QString dec(int value);
// Four upper-case hexadecimal digits of the low 16 bits: 123 gives "007B".
QString hex(int value);

// The value of a whole decimal integer text, or nothing.
std::optional<int> toInteger(const QString& text);
// The same, but a text that does not convert ends the running command with
// the standard error report.
int toIntegerOrFail(const QString& text);

} // namespace AddressText
