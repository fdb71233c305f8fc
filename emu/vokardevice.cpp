#include "vokardevice.h"

#include "chips/chipcatalogue.h"

#include <QStringList>
#include <QtNumeric>
#include <algorithm>

namespace {
constexpr quint8 CmdPlay = 1, CmdRecord = 2, CmdStop = 3, CmdScan = 4, CmdSetChip = 5,
                 CmdContinue = 6, CmdPowerUp = 7, CmdPowerDown = 8, CmdErase = 10;

// The ISD 1700 family's catalogue time is not its real one: at 8 kHz a row
// takes 125 ms.
constexpr double Isd1700RowMs = 125.0;

int word(const QByteArray& frame, int high) {
    return (quint8(frame[high]) << 8) | quint8(frame[high + 1]);
}
} // namespace

VokarDevice::Chip VokarDevice::chipFor(int catalogueIndex) {
    Chip chip;
    const ChipInfo* info = ChipCatalogue::find(catalogueIndex);
    if (info == nullptr)
        return chip;
    chip.index = catalogueIndex;
    chip.isd1700 = ChipCatalogue::isIsd1700(catalogueIndex);
    // The rows the commands address; for the ISD 1760 one fewer than shown.
    chip.lastRow = info->commandLastAddress;
    chip.firstRow = chip.isd1700 ? 16 : 0;
    chip.rowMs =
        chip.isd1700 ? Isd1700RowMs : double(info->totalSeconds) * 1000.0 / (int(chip.lastRow) + 1);
    return chip;
}

VokarDevice::VokarDevice(int catalogueIndex) {
    insertChip(catalogueIndex);
}

void VokarDevice::insertChip(int catalogueIndex) {
    socket = chipFor(catalogueIndex);
    checker.setChip(socket.index);
    awaiting = ProtocolChecker::Awaiting();
    rows = QVector<quint8>(socket.index == 0 ? 0 : int(socket.lastRow) + 1, 0);
    levels = QVector<float>(rows.size(), qQNaN());
    busy = Activity::Idle;
    waiting = false;
}

QByteArray VokarDevice::replyFrame(char code, int address, char byte6) {
    QByteArray frame(FrameSize, '\0');
    frame[0] = code;
    const QByteArray digits = QByteArray::number(qBound(0, address, 99999)).rightJustified(5, '0');
    for (int i = 0; i < 5; ++i)
        frame[1 + i] = digits[i];
    frame[6] = byte6;
    return frame;
}

void VokarDevice::reply(char code, int address, char byte6) {
    if (code == '2' || code == '3')
        ++awaiting.progressReports;
    else if (code == '4')
        awaiting.endOfMessage = true;
    if (onReply)
        onReply(replyFrame(code, address, byte6));
}

void VokarDevice::announce() {
    reply(';', 0, char('0' + powerFlag));
}

void VokarDevice::inject(char code, int address, char digit) {
    reply(code, address, digit);
}

void VokarDevice::reportCircularFail() {
    reply('=', socket.firstRow);
}

bool VokarDevice::repeatProgress() {
    if (!waiting)
        return false;
    reply('2', position);
    return true;
}

void VokarDevice::receive(const QByteArray& bytes) {
    pending.append(bytes);
    while (pending.size() >= FrameSize) {
        const QByteArray frame = pending.left(FrameSize);
        pending.remove(0, FrameSize);
        command(frame);
    }
}

void VokarDevice::command(const QByteArray& frame) {
    ++commandCount;
    if (onCommand)
        onCommand(frame);
    if (commandCount == silentCommand)
        return;
    const QList<ProtocolChecker::Violation> faults = checker.check(frame, awaiting);
    if (strict) {
        violationCount += int(faults.size());
        for (const ProtocolChecker::Violation& fault : faults) {
            if (onViolation)
                onViolation(ProtocolChecker::line(frame, fault));
        }
    }
    const quint8 code = quint8(frame[0]);
    const int start = word(frame, 1);
    const int stop = word(frame, 5);
    const quint8 power = quint8(frame[7]);
    const bool chipCommand =
        code == CmdPlay || code == CmdRecord || code == CmdScan || code == CmdErase;
    if (code == CmdPowerUp || code == CmdPowerDown) {
        powerFlag = code == CmdPowerUp ? 1 : 0;
        return;
    }
    if (chipCommand && socket.index == 0) {
        reply('<', 0);
        return;
    }
    // A new chip command ends a recording where it stands, message mark and all.
    if (chipCommand)
        abandonRecording();
    // Byte 7 of the chip commands says whether the chip stays powered after.
    if (chipCommand || code == CmdStop || code == CmdContinue)
        powerFlag = power == 1 ? 1 : 0;
    switch (code) {
    case CmdPlay:
        startPlay(start, stop);
        break;
    case CmdRecord:
        startRecord(start, stop);
        break;
    case CmdScan:
        startScan(start);
        break;
    case CmdErase:
        startErase();
        break;
    case CmdStop:
        stopOperation();
        break;
    case CmdContinue:
        resume();
        break;
    case CmdSetChip:
    default:
        // The chip type the PC chose changes nothing in the chip itself.
        break;
    }
}

void VokarDevice::startPlay(int start, int stop) {
    busy = Activity::Idle;
    waiting = false;
    const int last = socket.lastRow;
    if (start > last) {
        reply('5', last + 1);
        return;
    }
    busy = Activity::Playing;
    position = start;
    endRow = qMin(qMax(stop, start), last);
    rowEndsAt = clock + socket.rowMs;
    progressAt = clock + progressIntervalMs;
}

void VokarDevice::startRecord(int start, int stop) {
    busy = Activity::Idle;
    waiting = false;
    const int last = socket.lastRow;
    if (start > last) {
        reply('7', start);
        return;
    }
    reply(':', start);
    busy = Activity::Recording;
    position = qMax(start, int(socket.firstRow));
    endRow = qMax(stop, position);
    rowStartedAt = clock;
    rowEndsAt = clock + socket.rowMs;
    progressAt = clock + progressIntervalMs;
}

void VokarDevice::startScan(int start) {
    busy = Activity::Scanning;
    waiting = false;
    const int last = socket.lastRow;
    int row = qMax(start, 0);
    while (row <= last && !hasMark(row))
        ++row;
    scanFoundMark = row <= last;
    if (scanFoundMark) {
        replyRow = row + 1;
        position = row;
    } else {
        replyRow = last + 1;
        position = last + 1;
    }
    const int skipped = qMax(0, qMin(row, last) - start + 1);
    rowEndsAt = clock + skipped * socket.rowMs / scanSpeedup;
}

void VokarDevice::startErase() {
    reply(':', socket.firstRow);
    busy = Activity::Erasing;
    waiting = false;
    rowEndsAt = clock + eraseMs;
}

void VokarDevice::stopOperation() {
    const Activity was = busy;
    busy = Activity::Idle;
    waiting = false;
    if (was == Activity::Playing)
        reply('5', position);
    else if (was == Activity::Recording)
        endRecordingAt(position);
    // A stop to an idle device, or after a scan's report, needs no answer.
}

void VokarDevice::resume() {
    if (!waiting)
        return;
    waiting = false;
    const double paused = clock - pausedAt;
    rowEndsAt += paused;
    progressAt = clock + progressIntervalMs;
}

void VokarDevice::rowRecorded(int row) {
    // Until it is heard, a row just recorded has no level: an earlier
    // recording's does not hold for it.
    levels[row] = qQNaN();
    if (onRowRecorded)
        onRowRecorded(row, rowStartedAt, clock);
}

void VokarDevice::abandonRecording() {
    if (busy != Activity::Recording)
        return;
    rows[position] = Recorded | Mark;
    rowRecorded(position);
    busy = Activity::Idle;
    waiting = false;
}

void VokarDevice::endRecordingAt(int row) {
    busy = Activity::Idle;
    waiting = false;
    rows[row] = Recorded | Mark;
    rowRecorded(row);
    reply('1', row + 1);
}

double VokarDevice::nextEventAt() const {
    if (busy == Activity::Idle || waiting)
        return -1;
    if (busy == Activity::Playing || busy == Activity::Recording)
        return qMin(rowEndsAt, progressAt);
    return rowEndsAt;
}

void VokarDevice::advanceTo(double ms) {
    for (;;) {
        const double due = nextEventAt();
        if (due < 0 || due > ms)
            break;
        clock = qMax(clock, due);
        runDueEvent();
    }
    clock = qMax(clock, ms);
}

void VokarDevice::runDueEvent() {
    switch (busy) {
    case Activity::Scanning:
        busy = Activity::Idle;
        // A message that runs into the end of memory has no mark to stop at.
        reply(scanFoundMark ? '4' : '9', replyRow);
        return;
    case Activity::Erasing:
        busy = Activity::Idle;
        for (int row = socket.firstRow; row < rows.size(); ++row) {
            rows[row] = 0;
            levels[row] = qQNaN();
        }
        reply('1', socket.firstRow);
        return;
    case Activity::Playing:
    case Activity::Recording:
        break;
    case Activity::Idle:
        return;
    }
    if (progressAt <= rowEndsAt && progressAt <= clock) {
        // Each report waits for the PC's continue or stop.
        waiting = true;
        pausedAt = clock;
        reply('2', position);
        return;
    }
    // A row has been played or recorded.
    if (busy == Activity::Playing) {
        if (hasMark(position) || position >= endRow) {
            busy = Activity::Idle;
            reply('5', position + 1);
            return;
        }
    } else {
        if (position >= endRow) {
            endRecordingAt(position);
            return;
        }
        if (position >= int(socket.lastRow)) {
            // The end address lies beyond the chip: the memory is full.
            rows[position] = Recorded | Mark;
            rowRecorded(position);
            busy = Activity::Idle;
            reply('8', position + 1);
            return;
        }
        rows[position] = Recorded;
        rowRecorded(position);
    }
    ++position;
    rowStartedAt = clock;
    rowEndsAt += socket.rowMs;
}

bool VokarDevice::hasMark(int row) const {
    return row >= 0 && row < rows.size() && (rows[row] & Mark) != 0;
}

bool VokarDevice::isRecorded(int row) const {
    return row >= 0 && row < rows.size() && (rows[row] & Recorded) != 0;
}

QVector<VokarDevice::Message> VokarDevice::messages() const {
    QVector<Message> list;
    int start = -1;
    for (int row = 0; row < rows.size(); ++row) {
        if (!isRecorded(row)) {
            start = -1;
            continue;
        }
        if (start < 0)
            start = row;
        if (hasMark(row)) {
            list.append({start, row});
            start = -1;
        }
    }
    return list;
}

QString VokarDevice::memoryMap() const {
    if (socket.index == 0)
        return QStringLiteral("no chip");
    QStringList lines;
    lines << QStringLiteral("chip %1 %2, rows %3-%4, %5 ms a row")
                 .arg(socket.index)
                 .arg(QString::fromLatin1(ChipCatalogue::find(socket.index)->name))
                 .arg(socket.firstRow)
                 .arg(socket.lastRow)
                 .arg(socket.rowMs, 0, 'f', 2);
    for (const Message& m : messages()) {
        lines << QStringLiteral("message %1 %2")
                     .arg(m.start, 5, 10, QLatin1Char('0'))
                     .arg(m.end, 5, 10, QLatin1Char('0'));
        const QString heard = levelsLine(m);
        if (!heard.isEmpty())
            lines << heard;
    }
    lines << QStringLiteral("end of map");
    return lines.join(QLatin1Char('\n'));
}

QByteArray VokarDevice::saveImage() const {
    QByteArray image = "vokar-emu image\nchip " + QByteArray::number(socket.index) + '\n';
    for (const Message& m : messages()) {
        image += "message " + QByteArray::number(m.start) + ' ' + QByteArray::number(m.end) + '\n';
        const QString heard = levelsLine(m);
        if (!heard.isEmpty())
            image += heard.toLatin1() + '\n';
    }
    return image;
}

bool VokarDevice::loadImage(const QByteArray& image) {
    const QList<QByteArray> lines = image.split('\n');
    if (lines.size() < 2 || lines[0].trimmed() != "vokar-emu image")
        return false;
    const QList<QByteArray> chipLine = lines[1].simplified().split(' ');
    if (chipLine.size() != 2 || chipLine[0] != "chip" || chipLine[1].toInt() != socket.index)
        return false;
    QVector<quint8> loaded(rows.size(), 0);
    QVector<float> heard(rows.size(), qQNaN());
    for (int i = 2; i < lines.size(); ++i) {
        const QList<QByteArray> parts = lines[i].simplified().split(' ');
        if (parts.size() >= 2 && parts[0] == "levels") {
            int row = parts[1].toInt();
            for (int k = 2; k < parts.size() && row >= 0 && row < heard.size(); ++k, ++row) {
                bool ok = false;
                const float db = parts[k].toFloat(&ok);
                heard[row] = ok ? db : qQNaN();
            }
            continue;
        }
        if (parts.size() != 3 || parts[0] != "message")
            continue;
        const int start = parts[1].toInt();
        const int end = parts[2].toInt();
        if (start < 0 || end < start || end >= loaded.size())
            return false;
        std::fill(loaded.begin() + start, loaded.begin() + end + 1, quint8(Recorded));
        loaded[end] = Recorded | Mark;
    }
    rows = loaded;
    levels = heard;
    return true;
}

void VokarDevice::setLevel(int row, float db) {
    if (row >= 0 && row < levels.size())
        levels[row] = qMax(db, Silence);
}

std::optional<float> VokarDevice::level(int row) const {
    if (row < 0 || row >= levels.size() || qIsNaN(levels[row]))
        return std::nullopt;
    return levels[row];
}

QString VokarDevice::levelsLine(const Message& message) const {
    QStringList words{QStringLiteral("levels"), QString::number(message.start)};
    bool any = false;
    for (int row = message.start; row <= message.end; ++row) {
        const std::optional<float> db = level(row);
        any = any || db.has_value();
        words << (db ? QString::number(qRound(*db)) : QStringLiteral("-"));
    }
    return any ? words.join(QLatin1Char(' ')) : QString();
}
