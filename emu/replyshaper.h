#pragma once

#include <QByteArray>
#include <QList>
#include <functional>

class LineNoise;

// How reply frames leave the stand-in. Normally each frame is one write; for
// tests it can misbehave the ways a real line does.
class ReplyShaper {
public:
    struct Write {
        QByteArray bytes;
        int pauseBeforeMs = 0; // real milliseconds, not scaled
        int ofPieces = 0;      // on the last piece of a split reply: how many there were
    };

    // Each frame in pieces of this many bytes, with pauses between them.
    int pieceSize = 0;
    int piecePauseMs = 0;
    // Frames go out two at a time: one is held until the next one comes.
    bool pairFrames = false;
    // This many garbage bytes before every frame.
    int garbageBytes = 0;
    // After this many frames the line goes dead (0: never).
    int hangupAfterFrames = 0;
    // Stray bytes right before a frame and in the pauses of a split one
    // (never inside a frame's code, address and byte 6); none when null.
    LineNoise* noise = nullptr;
    // Told of every burst of noise put into the writes, and where it goes.
    std::function<void(const QByteArray& bytes, const char* where)> onNoise;

    // The writes that carry one reply frame (none while it is held).
    QList<Write> shape(const QByteArray& frame);
    // A frame still held for pairing, written alone; empty when none.
    QList<Write> flushHeld();
    bool holding() const { return !held.bytes.isEmpty(); }
    // True once the frame after which the line goes dead has been shaped.
    bool hangupDue() const { return hangupAfterFrames > 0 && frames >= hangupAfterFrames; }

    static QByteArray garbage(int count);
    // The bytes of a reply that say what it is: code, address, byte 6.
    static constexpr int HeadSize = 7;

private:
    // Bytes for the line with the positions where reply frames start in them.
    struct Run {
        QByteArray bytes;
        QList<int> frameStarts;
        void append(const Run& other);
    };
    QList<Write> split(const Run& run);
    bool mayCutAt(const Run& run, int at) const;
    QByteArray makeNoise(const char* where);

    Run held;
    int frames = 0;
};
