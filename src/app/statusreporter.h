#pragma once

#include "core/handler.h"
#include "link/linkprogress.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

class ComPort;

// Writes what the link is doing into the status bar. It watches: after every
// command and every reply it asks LinkProgress what to show, and while an
// operation runs a clock ticks (the elapsed time of a recording, the
// watchdog's verdict). It never touches the link.
class StatusReporter : public QObject {
    Q_OBJECT
public:
    StatusReporter(LinkProgress::Sources sources, ComPort& port, std::function<qint64()> durationMs,
                   std::function<void(QString)> show, QObject* parent = nullptr);

    // A command ran (`handler` is the operation's name).
    void afterCommand(Handler handler);
    // A reply or any other event that may have moved the link on.
    void refresh();

    // The sentence shown while no programmer is connected at start.
    static QString notConnectedHint();

signals:
    // A new text went to the status bar.
    void shown(const QString& text);
    // The note on line noise changed ("line noise: 12 bytes dropped").
    void noiseNoted(const QString& note);

private:
    void say(const QString& text);

    QElapsedTimer clock;
    LinkProgress progress;
    std::function<void(QString)> show;
    QTimer tick;
    QString noise;
};
