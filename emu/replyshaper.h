#pragma once

#include <QByteArray>
#include <QList>

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

    // The writes that carry one reply frame (none while it is held).
    QList<Write> shape(const QByteArray& frame);
    // A frame still held for pairing, written alone; empty when none.
    QList<Write> flushHeld();
    bool holding() const { return !held.isEmpty(); }
    // True once the frame after which the line goes dead has been shaped.
    bool hangupDue() const { return hangupAfterFrames > 0 && frames >= hangupAfterFrames; }

    static QByteArray garbage(int count);

private:
    QList<Write> split(const QByteArray& bytes) const;

    QByteArray held;
    int frames = 0;
};
