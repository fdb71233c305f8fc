#include "linenoise.h"

#include <QtGlobal>

namespace {
// What breaks a reader that takes the first byte it sees for a reply code.
constexpr char Plausible[] = "0123456789:;<=";
// Bytes that can neither start nor continue a reply.
constexpr char Safe[] = {'\x00', '\xFF', '\x7F', '\xA5', 'x', '#', ' ', '\r', '\n'};
// A reply code and four digits: one digit more would make a reply's head.
constexpr int LongestHarmlessHead = 5;
} // namespace

LineNoise::LineNoise(double rate, int maxBytes, quint32 seed)
    : chance(qBound(0.0, rate, 1.0)), longest(qMax(1, maxBytes)), seedValue(seed), random(seed) {}

bool LineNoise::isReplyCode(char byte) {
    return (byte >= '1' && byte <= '9') || (byte >= ':' && byte <= '=');
}

bool LineNoise::strikes() {
    return enabled() && random.generateDouble() < chance;
}

char LineNoise::safeByte() {
    return Safe[random.bounded(int(sizeof Safe))];
}

int LineNoise::delayMs(int maxMs) {
    return maxMs <= 0 ? 0 : int(random.bounded(maxMs + 1));
}

QByteArray LineNoise::burst() {
    return bytes(1 + int(random.bounded(longest)));
}

QByteArray LineNoise::bytes(int count) {
    QByteArray out;
    out.reserve(count + 1);
    // The length of the tail that reads as a reply code followed by digits.
    int head = 0;
    for (int i = 0; i < count; ++i) {
        char byte = random.bounded(100) < 65 ? Plausible[random.bounded(int(sizeof Plausible) - 1)]
                                             : char(random.bounded(256));
        if (isDigit(byte) && head == LongestHarmlessHead)
            byte = safeByte();
        if (head > 0 && isDigit(byte))
            ++head;
        else
            head = isReplyCode(byte) ? 1 : 0;
        out.append(byte);
    }
    if (head > 0)
        out.append(safeByte());
    return out;
}
