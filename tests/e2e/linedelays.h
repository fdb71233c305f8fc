#pragma once

#include <QString>
#include <QStringList>

// How promptly each side of one programmer's line read what the other wrote,
// from both frame logs: isdvokar-cli's --log (its lines for one port) and the
// stand-in's own log. The two clocks start at different moments, so each
// direction is measured against its quickest frame: what is left is how much
// later than that a frame was read. A machine too busy to pass bytes through
// a pty in time shows here; so does a program that stops reading its line.
namespace LineDelays {

struct Worst {
    double ms = 0;
    QString what; // the frame read latest, and which way it went
};

Worst worst(const QStringList& cliLog, const QString& port, const QStringList& emuLog);

} // namespace LineDelays
