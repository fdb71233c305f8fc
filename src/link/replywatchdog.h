#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

class Commands;
struct LinkContext;

// Tells when the programmer has gone quiet while an operation runs. It only
// informs: after three report intervals without a reply it sets
// LinkContext::ProgrammerSilent (the status bar says so) and offers the
// chip's Stop commands, so that the user has a way out; the chip Stop then
// sends its stop at once (ChipOperations::stopChip). It sends nothing and
// changes no other state. A reply clears the flag.
class ReplyWatchdog : public QObject {
    Q_OBJECT
public:
    // A recording or a playback reports about once a second.
    static constexpr int ReportIntervalMs = 1000;
    static constexpr int SilenceLimitMs = 3 * ReportIntervalMs;
    // How often it looks while an operation runs.
    static constexpr int LookMs = 250;

    // `nowMs` a monotonic clock (tests give their own); empty: the real one.
    ReplyWatchdog(LinkContext& link, Commands& commands, std::function<qint64()> nowMs = {},
                  QObject* parent = nullptr);

    // Starts looking if an operation runs; call after each delivery.
    void watch();
    // A command ran: an operation it started is timed from now.
    void restart();
    // Looks at the link now.
    void check();
    bool looking() const { return timer.isActive(); }

signals:
    void silenceChanged(bool silent);

private:
    void setSilent(bool silent);

    LinkContext& link;
    Commands& commands;
    std::function<qint64()> nowMs;
    QElapsedTimer clock;
    QTimer timer;
    bool running = false;
    qint64 since = 0;
    quint64 repliesSeen = 0;
};
