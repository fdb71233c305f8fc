#pragma once

#include <QByteArray>
#include <QString>

// One line of the stand-in's log for each frame in and out, so that a test
// (or a person) can see exactly what went over the line:
//   "  12.345 in  01 01 23 01 00 01 8F 00 FF ... | Play start 00291 stop 00399 power 0"
//   "  12.501 out 35 30 30 34 30 30 30 00 ... | 5 00400"
namespace FrameLog {
QString hex(const QByteArray& bytes);
QString describeCommand(const QByteArray& frame);
QString describeReply(const QByteArray& frame);
// Seconds with milliseconds, right-aligned.
QString stamp(double realMs);
QString inLine(double realMs, const QByteArray& frame);
QString outLine(double realMs, const QByteArray& frame);
QString noteLine(double realMs, const QString& text);
// Stray bytes put on the line: "   1.234 noise 37 31 78 | right before a reply".
QString noiseLine(double realMs, const QByteArray& bytes, const QString& where);
} // namespace FrameLog
