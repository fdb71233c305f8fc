#include "protocolchecker.h"

#include "chips/chipcatalogue.h"
#include "framelog.h"

#include <initializer_list>

namespace {

constexpr quint8 CmdPlay = 1, CmdRecord = 2, CmdStop = 3, CmdScan = 4, CmdSetChip = 5,
                 CmdContinue = 6, CmdPowerUp = 7, CmdPowerDown = 8, CmdErase = 10;

QString hexByte(quint8 value) {
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

QString address(int value) {
    return QStringLiteral("%1").arg(value, 5, 10, QLatin1Char('0'));
}

// One frame under judgement, with the chip in the socket (null when empty).
class Judgement {
public:
    Judgement(const QByteArray& frame, int chipIndex)
        : frame(frame), chipIndex(chipIndex), chip(ChipCatalogue::find(chipIndex)) {
        if (chip != nullptr)
            inSocket = QStringLiteral("the %1 in the socket").arg(QLatin1String(chip->name));
    }

    QList<ProtocolChecker::Violation> violations;

    quint8 at(int i) const { return quint8(frame[i]); }
    int word(int high) const { return (at(high) << 8) | at(high + 1); }
    bool hasChip() const { return chip != nullptr; }
    bool isd1700() const { return hasChip() && ChipCatalogue::isIsd1700(chipIndex); }

    void add(int first, int last, const QString& field, const QString& expected,
             const QString& found) {
        violations.append({first, last, field, expected, found});
    }

    void expectByte(int i, const QString& field, std::initializer_list<quint8> allowed,
                    const QString& expected) {
        for (quint8 value : allowed) {
            if (at(i) == value)
                return;
        }
        add(i, i, field, expected, hexByte(at(i)));
    }

    // Bytes 3 and 9 to 12 as the PC writes them for the chip's type.
    void chipCodes(bool withIsd1700Fields = true) {
        if (!hasChip())
            return;
        expectByte(3, QStringLiteral("chip family"), {chip->family},
                   QStringLiteral("%1 (%2)").arg(hexByte(chip->family), inSocket));
        if (chip->sampleRateCode != 0)
            expectByte(9, QStringLiteral("sample rate code"), {chip->sampleRateCode},
                       QStringLiteral("%1 ('%2', %3)")
                           .arg(hexByte(chip->sampleRateCode),
                                QString(QLatin1Char(char(chip->sampleRateCode))), inSocket));
        if (!isd1700() || !withIsd1700Fields)
            return;
        const int last = chip->commandLastAddress;
        if (word(10) != last)
            add(10, 11, QStringLiteral("last address copy"),
                QStringLiteral("%1 %2 (%3, high byte first, %4)")
                    .arg(hexByte(quint8(last >> 8)), hexByte(quint8(last & 0xFF)), address(last),
                         inSocket),
                hexByte(at(10)) + QLatin1Char(' ') + hexByte(at(11)));
        expectByte(12, QStringLiteral("ISD 1700 size code"), {chip->sizeCode},
                   QStringLiteral("%1 (%2)").arg(hexByte(chip->sizeCode), inSocket));
    }

    // The highest address a command may carry; the ISD 1760 is 495 in
    // commands but 496 in the PC's range until its first command.
    int maxAddress() const { return qMax(chip->lastAddress, chip->commandLastAddress); }

    QString lastAddressText() const {
        QString text = address(chip->commandLastAddress);
        if (chip->lastAddress != chip->commandLastAddress)
            text += QStringLiteral(" or ") + address(chip->lastAddress);
        return text + QStringLiteral(" (the last address of %1)").arg(inSocket);
    }

    // An address the command reads or records from. Rows 0 to 15 of an
    // ISD 1700 are not judged: the program sends the address on its display,
    // which is 0 after a chip type is chosen, and the row's own addresses,
    // which the user gives.
    void addressInChip(int high, const QString& field) {
        if (!hasChip())
            return;
        const int value = word(high);
        if (value > maxAddress()) {
            add(high, high + 1, field,
                QStringLiteral("at most %1 (the last address of %2)")
                    .arg(address(maxAddress()), inSocket),
                address(value));
        }
    }

    // Bytes 4 to 6: "0 and the last address", or for a recording also "1 and
    // the row's own stop address".
    void stopFields(bool mayGiveStop) {
        const quint8 flag = at(4);
        if (flag == 1 && mayGiveStop) {
            addressInChip(5, QStringLiteral("stop address"));
            return;
        }
        if (flag != 0) {
            add(4, 4, QStringLiteral("stop flag"),
                mayGiveStop ? QStringLiteral("00 or 01") : QStringLiteral("00"), hexByte(flag));
            if (mayGiveStop)
                return; // bytes 5-6 mean nothing known
        }
        if (!hasChip())
            return;
        const int stop = word(5);
        if (stop != chip->commandLastAddress && stop != chip->lastAddress)
            add(5, 6, QStringLiteral("stop address"), lastAddressText(), address(stop));
    }

    // Byte 7 written by the command: 0 or 1, or the one value given.
    void powerFlag(std::initializer_list<quint8> allowed, const QString& expected) {
        expectByte(7, QStringLiteral("power flag"), allowed, expected);
    }
    void powerFlagWritten() { powerFlag({0, 1}, QStringLiteral("00 or 01")); }
    // Byte 7 not written by the command: what the frame before left, 0 or 1,
    // or FF while no command has written it yet.
    void powerFlagLeft() {
        powerFlag({0, 1, 0xFF}, QStringLiteral("00, 01 or FF (as the frame before left it)"));
    }

    // Bytes 13 to 19 are never written.
    void unusedTail() {
        const QByteArray tail = frame.mid(13);
        if (tail != QByteArray(tail.size(), char(0xFF)))
            add(13, 19, QStringLiteral("unused"),
                FrameLog::hex(QByteArray(tail.size(), char(0xFF))), FrameLog::hex(tail));
    }

    void unanswered(const QString& waitingFor, quint8 code) {
        add(0, 0, QStringLiteral("answer"), waitingFor + QStringLiteral(" waiting for its answer"),
            ProtocolChecker::commandName(code) + QStringLiteral(" with none waiting"));
    }

    QString inSocket;

private:
    const QByteArray& frame;
    int chipIndex;
    const ChipInfo* chip;
};

} // namespace

QString ProtocolChecker::commandName(quint8 code) {
    switch (code) {
    case CmdPlay:
        return QStringLiteral("play");
    case CmdRecord:
        return QStringLiteral("record");
    case CmdStop:
        return QStringLiteral("stop");
    case CmdScan:
        return QStringLiteral("scan");
    case CmdSetChip:
        return QStringLiteral("set-chip");
    case CmdContinue:
        return QStringLiteral("continue");
    case CmdPowerUp:
        return QStringLiteral("power-up");
    case CmdPowerDown:
        return QStringLiteral("power-down");
    case CmdErase:
        return QStringLiteral("erase");
    default:
        return QStringLiteral("unknown command");
    }
}

QList<ProtocolChecker::Violation> ProtocolChecker::check(const QByteArray& frame,
                                                         Awaiting& awaiting) const {
    if (frame.size() != FrameSize)
        return {{0, int(frame.size()) - 1, QStringLiteral("length"), QStringLiteral("20 bytes"),
                 QStringLiteral("%1 bytes").arg(frame.size())}};
    Judgement j(frame, socket);
    const quint8 code = j.at(0);
    const QString progress = QStringLiteral("a progress report (2/3)");
    switch (code) {
    case CmdPlay:
        j.addressInChip(1, QStringLiteral("start address"));
        j.chipCodes();
        j.stopFields(false);
        j.powerFlagWritten();
        break;
    case CmdRecord:
        j.addressInChip(1, QStringLiteral("start address"));
        j.chipCodes();
        j.stopFields(true);
        j.powerFlagLeft();
        break;
    case CmdScan:
        j.addressInChip(1, QStringLiteral("start address"));
        j.chipCodes();
        j.stopFields(false);
        j.powerFlagWritten();
        j.expectByte(8, QStringLiteral("scan byte"), {0}, QStringLiteral("00"));
        break;
    case CmdErase:
        if (j.hasChip() && !j.isd1700()) {
            j.add(0, 0, QStringLiteral("command code"),
                  QStringLiteral("02 (%1 is erased by recording from 0)").arg(j.inSocket),
                  hexByte(code));
            break;
        }
        if (j.word(1) != 0)
            j.add(1, 2, QStringLiteral("start address"), address(0), address(j.word(1)));
        j.chipCodes();
        j.powerFlagLeft();
        break;
    case CmdSetChip:
        // Set when the type is chosen, bytes 10 to 12 are still the frame
        // before's; only the answer to ";" writes them, and the two cannot be
        // told apart here.
        j.chipCodes(false);
        j.powerFlagLeft();
        break;
    case CmdContinue:
        j.powerFlagWritten();
        if (awaiting.progressReports > 0)
            --awaiting.progressReports;
        else
            j.unanswered(progress, code);
        break;
    case CmdStop:
        j.powerFlagWritten();
        if (awaiting.progressReports > 0)
            --awaiting.progressReports;
        else if (awaiting.endOfMessage)
            awaiting.endOfMessage = false;
        else
            j.unanswered(progress + QStringLiteral(" or an end of message (4)"), code);
        break;
    case CmdPowerUp:
        j.powerFlag({1}, QStringLiteral("01"));
        break;
    case CmdPowerDown:
        j.powerFlag({0}, QStringLiteral("00"));
        break;
    default:
        j.add(0, 0, QStringLiteral("command code"), QStringLiteral("01 to 08 or 0A"),
              hexByte(code));
        return j.violations;
    }
    // A new operation leaves nothing of the one before to answer.
    if (code == CmdPlay || code == CmdRecord || code == CmdScan || code == CmdErase)
        awaiting = Awaiting();
    j.unusedTail();
    return j.violations;
}

QString ProtocolChecker::line(const QByteArray& frame, const Violation& v) {
    const QString bytes = v.first == v.last ? QString::number(v.first)
                                            : QStringLiteral("%1-%2").arg(v.first).arg(v.last);
    return QStringLiteral("PROTOCOL: %1 frame %2: byte %3 %4: expected %5, found %6")
        .arg(commandName(frame.isEmpty() ? 0 : quint8(frame[0])), FrameLog::hex(frame), bytes,
             v.field, v.expected, v.found);
}
