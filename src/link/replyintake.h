#pragma once

#include <QByteArray>
#include <QMetaObject>
#include <QtGlobal>
#include <deque>
#include <optional>

class ComPort;

// Takes the programmer's replies off the line. A reply is 20 bytes that start
// with a reply code and five ASCII digits (the address); the rest of it is
// not looked at. Whatever else arrives (line noise, a reply cut short) is
// dropped and counted, and the next reply is found by its code and digits
// whatever came before it. Several replies in one read are handed on one by
// one, in order.
//
// Memory stays flat whatever the line sends: between reads the intake keeps
// at most the beginning of one reply and a bounded number of whole replies
// not yet handed on; while that many wait, nothing more is read and the
// bytes stay with the port, whose own buffer is bounded.
class ReplyIntake {
public:
    static constexpr int FrameSize = 20;
    // Code and address: what tells a reply from noise.
    static constexpr int HeadSize = 6;
    // The most read from the port at once.
    static constexpr int ReadChunk = 1024;
    // The most whole replies kept before nothing more is read.
    static constexpr int MaxWaiting = 64;

    explicit ReplyIntake(ComPort& port);
    ~ReplyIntake();
    ReplyIntake(const ReplyIntake&) = delete;
    ReplyIntake& operator=(const ReplyIntake&) = delete;

    // Reads what waits on the port (see above for the bound).
    void readPort();
    // Takes bytes as if read from the port.
    void take(const QByteArray& bytes);
    // The oldest whole reply not yet handed on.
    std::optional<QByteArray> next();
    // Forgets a reply begun and the replies not yet handed on. The port's
    // input purge does this (ComPort::inputPurged): a reply begun before the
    // purge would take its end from whatever comes after it.
    void clear();

    // Bytes dropped since start because they could not be part of a reply.
    quint64 droppedBytes() const { return dropped; }
    // Whole replies waiting to be handed on.
    int waiting() const { return int(whole.size()); }
    // Bytes kept of a reply not yet whole.
    int begun() const { return int(partial.size()); }

    // The reply codes: "1" to "5", "7" to "9", ":", ";", "<", "=".
    static bool isReplyCode(char c);

private:
    // Moves whole replies from `partial` to `whole` and drops what cannot
    // begin a reply, until `partial` holds only the beginning of one.
    void split();
    // Whether the bytes of `partial` from `at` on can be the beginning of a
    // reply: a reply code, then digits as far as they have come.
    bool canBeginReply(int at) const;

    ComPort& port;
    QMetaObject::Connection purged;
    QByteArray partial;
    std::deque<QByteArray> whole;
    quint64 dropped = 0;
};
