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
// the clock while recording) update() reads the window's state and tells
// what to show. Nothing here changes the state it reads.
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

    // The user asked the running operation to stop.
    void stopRequested();
    // The text to show now; empty when the shown text stays.
    QString update();
    // A file is being recorded: its clock wants ticks.
    bool recording() const;

private:
    QString running();
    QString ended(int state) const;
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
    bool stopSeen = false;
    QString lastFileName;
    QString shown;
};
