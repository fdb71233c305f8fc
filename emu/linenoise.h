#pragma once

#include <QByteArray>
#include <QRandomGenerator>

// Stray bytes for a dirty line: bursts of garbage that looks like the start
// of a reply (reply codes, digits) mixed with any other bytes, at the places
// the owner offers. The same seed gives the same decisions, bursts and delays.
//
// A burst never holds a reply code followed by five digits, and never ends in
// a reply code or a digit: a reply's head that follows it cannot be read
// together with the burst's tail as another, well-formed reply. A line without
// a checksum could not tell such a fake from a true reply, so no program could
// be asked to.
class LineNoise {
public:
    // `rate`: the chance, 0 to 1, that a place gets a burst; bursts are 1 to
    // `maxBytes` bytes long (one more when a safe last byte has to be added).
    LineNoise(double rate = 0, int maxBytes = 8, quint32 seed = 1);

    bool enabled() const { return chance > 0; }
    double rate() const { return chance; }
    int maxBytes() const { return longest; }
    quint32 seed() const { return seedValue; }

    // Whether this place gets a burst.
    bool strikes();
    QByteArray burst();
    // `count` bytes of babble, under the same rules as a burst.
    QByteArray bytes(int count);
    // A delay from 0 to `maxMs`.
    int delayMs(int maxMs);

    static bool isReplyCode(char byte);
    static bool isDigit(char byte) { return byte >= '0' && byte <= '9'; }

private:
    char safeByte();

    double chance;
    int longest;
    quint32 seedValue;
    QRandomGenerator random;
};
