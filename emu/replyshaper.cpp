#include "replyshaper.h"

#include "linenoise.h"

QByteArray ReplyShaper::garbage(int count) {
    // Bytes that are no reply code and no digit, so that the PC cannot take
    // them for the start of a frame by luck.
    static const char noise[] = {'\x00', '\xA5', 'x', '\x7F', '\xFF', '#'};
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes.append(noise[i % int(sizeof noise)]);
    return bytes;
}

void ReplyShaper::Run::append(const Run& other) {
    for (int start : other.frameStarts)
        frameStarts.append(int(bytes.size()) + start);
    bytes += other.bytes;
}

bool ReplyShaper::mayCutAt(const Run& run, int at) const {
    for (int start : run.frameStarts) {
        if (at > start && at < start + HeadSize)
            return false;
    }
    return true;
}

QByteArray ReplyShaper::makeNoise(const char* where) {
    const QByteArray bytes = noise->burst();
    if (onNoise)
        onNoise(bytes, where);
    return bytes;
}

QList<ReplyShaper::Write> ReplyShaper::split(const Run& run) {
    QList<Write> writes;
    const QByteArray& bytes = run.bytes;
    if (pieceSize <= 0 || pieceSize >= bytes.size()) {
        writes.append({bytes, 0});
        return writes;
    }
    int pieces = 0;
    for (int at = 0; at < bytes.size(); at += pieceSize) {
        int pause = at == 0 ? 0 : piecePauseMs;
        if (at > 0 && noise != nullptr && mayCutAt(run, at) && noise->strikes()) {
            writes.append({makeNoise("in a pause of a reply"), pause / 2});
            pause -= pause / 2;
        }
        writes.append({bytes.mid(at, pieceSize), pause});
        ++pieces;
    }
    writes.last().ofPieces = pieces;
    return writes;
}

QList<ReplyShaper::Write> ReplyShaper::shape(const QByteArray& frame) {
    ++frames;
    Run run;
    if (noise != nullptr && noise->strikes())
        run.bytes = makeNoise("right before a reply");
    run.bytes += garbage(garbageBytes);
    run.frameStarts.append(int(run.bytes.size()));
    run.bytes += frame;
    if (pairFrames && !hangupDue() && !holding()) {
        held = run;
        return {};
    }
    Run all = held;
    all.append(run);
    held = Run();
    return split(all);
}

QList<ReplyShaper::Write> ReplyShaper::flushHeld() {
    if (!holding())
        return {};
    const Run run = held;
    held = Run();
    return split(run);
}
