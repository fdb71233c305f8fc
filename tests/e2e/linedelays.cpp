#include "linedelays.h"

#include <QByteArray>
#include <QList>
#include <QRegularExpression>
#include <limits>

namespace {

constexpr int FrameSize = 20;

struct Frame {
    double seconds = 0;
    QByteArray bytes;
};

// Cuts a side's reads into frames, each read when its last byte was.
QList<Frame> framesOf(const QList<Frame>& reads) {
    QList<Frame> frames;
    Frame building;
    for (const Frame& read : reads) {
        for (char byte : read.bytes) {
            building.bytes += byte;
            if (building.bytes.size() == FrameSize) {
                building.seconds = read.seconds;
                frames << building;
                building = Frame();
            }
        }
    }
    return frames;
}

// Each written frame with the same frame read on the other side, taken in
// order; a written frame never read (dropped by a purge) is passed over.
void measure(const QList<Frame>& written, const QList<Frame>& read, const QString& way,
             LineDelays::Worst& worst) {
    QList<double> delays;
    QList<QString> names;
    qsizetype from = 0;
    for (const Frame& frame : written) {
        for (qsizetype i = from; i < read.size(); ++i) {
            if (read[i].bytes == frame.bytes) {
                delays << read[i].seconds - frame.seconds;
                names << QStringLiteral("%1 %2 at %3 s")
                             .arg(way, QString::fromLatin1(frame.bytes.left(7).toHex(' ')))
                             .arg(frame.seconds, 0, 'f', 3);
                from = i + 1;
                break;
            }
        }
    }
    double quickest = std::numeric_limits<double>::max();
    for (double delay : delays)
        quickest = qMin(quickest, delay);
    for (qsizetype i = 0; i < delays.size(); ++i) {
        const double ms = (delays[i] - quickest) * 1000;
        if (ms > worst.ms) {
            worst.ms = ms;
            worst.what = names[i];
        }
    }
}

QByteArray bytesOf(const QString& hex) {
    return QByteArray::fromHex(hex.toLatin1());
}

} // namespace

namespace LineDelays {

Worst worst(const QStringList& cliLog, const QString& port, const QStringList& emuLog) {
    // "   1.263 COM1 out 03 00 ... | Stop", "   1.263 COM1 in  32 30 ... | 2 00007"
    static const QRegularExpression cliLine(
        QStringLiteral("^\\s*([0-9.]+) (\\S+) (in |out) ([0-9A-F ]+?)(?: \\|.*)?$"));
    // "    0.812 out 32 30 ... | 2 00007", "    0.815 in  03 00 ... | Stop"
    static const QRegularExpression emuLine(
        QStringLiteral("^\\s*([0-9.]+) (in |out) ([0-9A-F ]+?) \\|(.*)$"));
    QList<Frame> cliWrote, cliRead, emuWrote, emuRead;
    for (const QString& line : cliLog) {
        const QRegularExpressionMatch m = cliLine.match(line);
        if (!m.hasMatch() || m.captured(2) != port)
            continue;
        const Frame frame{m.captured(1).toDouble(), bytesOf(m.captured(4))};
        (m.captured(3) == QLatin1String("out") ? cliWrote : cliRead) << frame;
    }
    for (const QString& line : emuLog) {
        const QRegularExpressionMatch m = emuLine.match(line);
        if (!m.hasMatch() || m.captured(4).contains(QLatin1String("dropped")))
            continue;
        const Frame frame{m.captured(1).toDouble(), bytesOf(m.captured(3))};
        (m.captured(2) == QLatin1String("out") ? emuWrote : emuRead) << frame;
    }
    Worst result;
    measure(emuWrote, framesOf(cliRead), QStringLiteral("reply"), result);
    measure(framesOf(cliWrote), emuRead, QStringLiteral("command"), result);
    return result;
}

} // namespace LineDelays
