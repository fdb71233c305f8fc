#include "replyshaper.h"

QByteArray ReplyShaper::garbage(int count) {
    // Bytes that are no reply code and no digit, so that the PC cannot take
    // them for the start of a frame by luck.
    static const char noise[] = {'\x00', '\xA5', 'x', '\x7F', '\xFF', '#'};
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes.append(noise[i % int(sizeof noise)]);
    return bytes;
}

QList<ReplyShaper::Write> ReplyShaper::split(const QByteArray& bytes) const {
    QList<Write> writes;
    if (pieceSize <= 0 || pieceSize >= bytes.size()) {
        writes.append({bytes, 0});
        return writes;
    }
    for (int at = 0; at < bytes.size(); at += pieceSize)
        writes.append({bytes.mid(at, pieceSize), at == 0 ? 0 : piecePauseMs});
    writes.last().ofPieces = int(writes.size());
    return writes;
}

QList<ReplyShaper::Write> ReplyShaper::shape(const QByteArray& frame) {
    ++frames;
    const QByteArray bytes = garbage(garbageBytes) + frame;
    if (pairFrames && !hangupDue()) {
        if (held.isEmpty()) {
            held = bytes;
            return {};
        }
        const QByteArray both = held + bytes;
        held.clear();
        return split(both);
    }
    QByteArray all = held + bytes;
    held.clear();
    return split(all);
}

QList<ReplyShaper::Write> ReplyShaper::flushHeld() {
    if (held.isEmpty())
        return {};
    const QByteArray bytes = held;
    held.clear();
    return split(bytes);
}
