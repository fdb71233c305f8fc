#include "replyintake.h"

#include "comport.h"

#include <QLoggingCategory>

namespace {
// Off unless asked for: QT_LOGGING_RULES="vokar.link.intake.debug=true".
Q_LOGGING_CATEGORY(lcIntake, "vokar.link.intake", QtInfoMsg)

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
} // namespace

ReplyIntake::ReplyIntake(ComPort& port_) : port(port_) {
    purged = QObject::connect(&port, &ComPort::inputPurged, &port, [this] { clear(); });
}

ReplyIntake::~ReplyIntake() {
    QObject::disconnect(purged);
}

bool ReplyIntake::isReplyCode(char c) {
    switch (c) {
    case '1':
    case '2':
    case '3':
    case '4':
    case '5':
    case '7':
    case '8':
    case '9':
    case ':':
    case ';':
    case '<':
    case '=':
        return true;
    default:
        return false;
    }
}

void ReplyIntake::readPort() {
    while (int(whole.size()) < MaxWaiting) {
        const int waiting = port.ReadBufUsed();
        if (waiting <= 0)
            return;
        // No more than can become the replies there is room for.
        const int room = (MaxWaiting - int(whole.size())) * FrameSize;
        QByteArray chunk(qMin(qMin(waiting, ReadChunk), room), '\0');
        const int got = port.ReadBuf(chunk.data(), int(chunk.size()));
        if (got <= 0)
            return;
        chunk.truncate(got);
        take(chunk);
    }
}

void ReplyIntake::take(const QByteArray& bytes) {
    const quint64 before = dropped;
    partial += bytes;
    split();
    if (dropped != before)
        qCDebug(lcIntake, "line noise: %llu bytes dropped, %llu in all", dropped - before, dropped);
}

std::optional<QByteArray> ReplyIntake::next() {
    if (whole.empty())
        return std::nullopt;
    QByteArray reply = whole.front();
    whole.pop_front();
    return reply;
}

void ReplyIntake::clear() {
    partial.clear();
    whole.clear();
}

bool ReplyIntake::canBeginReply(int at) const {
    if (!isReplyCode(partial.at(at)))
        return false;
    const int end = qMin(int(partial.size()), at + HeadSize);
    for (int i = at + 1; i < end; ++i) {
        if (!isDigit(partial.at(i)))
            return false;
    }
    return true;
}

void ReplyIntake::split() {
    int at = 0;
    const int size = int(partial.size());
    while (at < size) {
        int start = at;
        while (start < size && !canBeginReply(start))
            ++start;
        dropped += quint64(start - at);
        at = start;
        if (size - start < FrameSize)
            break; // the beginning of a reply, or nothing: wait for more
        whole.push_back(partial.mid(start, FrameSize));
        at = start + FrameSize;
    }
    partial.remove(0, at);
}
