#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>

class ChipControl;
class MediaPlayer;
class StringGrid;
struct LinkContext;

// What the link is doing, in the status bar's words. It only looks: after
// each event that may move an operation on (a command, a reply, a tick of
// the clock while an operation runs) update() reads the window's state and
// tells what to show. Nothing here changes the state it reads.
//
// An ending claims only what happened: "Recorded" only when the programmer
// confirmed a recording that ran, "Chip erased" only when it confirmed the
// erase; an operation ended by an error, or by the port closing, says that
// it was not completed; one the user stopped says so.
class LinkProgress {
public:
    struct Sources {
        const LinkContext& link;
        const ChipControl& chip;
        const StringGrid& fileGrid;
        const StringGrid& mapGrid;
        const MediaPlayer& player;
    };
    // `nowMs` a monotonic clock; `durationMs` the length of the file the
    // player has open, 0 when unknown.
    LinkProgress(Sources sources, std::function<qint64()> nowMs,
                 std::function<qint64()> durationMs);

    // The text to show now; empty when the shown text stays.
    QString update();
    // A file is being recorded: its clock wants ticks.
    bool recording() const;
    // An operation runs: the watchdog's verdict may change without a reply.
    bool busy() const;
    // "line noise: 12 bytes dropped" once the line has brought noise; empty
    // before.
    QString noiseNote() const;

private:
    QString running();
    QString ended(int state) const;
    // Notes what the counters say as an operation starts.
    void operationStarted();
    int messagesInMap() const;
    int mapRecords() const;
    int tableFiles() const;
    QString recordedFileName() const;

    Sources s;
    std::function<qint64()> nowMs;
    std::function<qint64()> durationMs;
    int lastState;
    int recordingRow = -1;
    qint64 recordingSince = 0;
    // The counters as the operation started.
    int confirmedAtStart = 0;
    int erasedAtStart = 0;
    int failedAtStart = 0;
    QString lastFileName;
    QString shown;
};
