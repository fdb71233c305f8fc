#include "core/paneltexts.h"
#include "emuprocess.h"
#include "fakeprompter.h"
#include "link/serialcomport.h"
#include "tempfolder.h"
#include "widgets/portdialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <fcntl.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

namespace {

QByteArray powerUpFrame() {
    QByteArray frame(20, char(0xFF));
    frame[0] = 7;
    frame[3] = 1;
    frame[7] = 1;
    return frame;
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The stand-in on a pty, mapped to COM1 in the working folder's ports file,
// and the real port component.
struct Line {
    TempFolder folder;
    EmuProcess emu;
    SerialComPort port;
    QSignalSpy deliveries{&port, &ComPort::OnRxChar};

    bool start(const QStringList& arguments = {}) {
        if (!emu.start(arguments))
            return false;
        folder.write(QStringLiteral("isdvokar.ports"),
                     "COM1=" + emu.device().toLocal8Bit() + "\nCOM2=/dev/no-such-vokar\n");
        port.setPortNum(1);
        return true;
    }
    // Opens the port and takes the stand-in's announcement off the line.
    bool openAnnounced() {
        port.Open();
        if (!QTest::qWaitFor([&] { return port.ReadBufUsed() >= 20; }, 5000))
            return false;
        port.PurgeRead();
        deliveries.clear();
        return true;
    }
    int lastCount() const { return deliveries.isEmpty() ? -1 : deliveries.last().at(0).toInt(); }
};

// The port dialog over the stand-in's line, with the panel and the messages
// it shows.
struct DialogOnLine : Line {
    PanelTexts panel;
    FakePrompter prompter;
    PortDialog dialog{port, panel, prompter};

    // Runs the dialog: chooses COM`number` (0: leaves the choice as it is),
    // then presses `button` ("OKBtn" or "CancelBtn") once it shows.
    bool choose(int number, const char* button) {
        if (number > 0)
            dialog.portButton(number)->setChecked(true);
        QTimer::singleShot(0, &dialog, [this, button] {
            dialog.findChild<QPushButton*>(QString::fromLatin1(button))->click();
        });
        return dialog.Execute();
    }
};

} // namespace

class TestComPortWithEmu : public QObject {
    Q_OBJECT
private slots:
    void opensMappedDeviceAndHearsAnnouncement() {
        Line line;
        QVERIFY(line.start());
        line.port.Open();
        QVERIFY(line.port.Active());
        QCOMPARE(line.port.deviceName(), line.emu.device());
        QTRY_VERIFY(!line.deliveries.isEmpty());
        QTRY_COMPARE(line.port.ReadBufUsed(), 20);
        char reply[20];
        QCOMPARE(line.port.ReadBuf(reply, 20), 20);
        QCOMPARE(QByteArray(reply, 7), QByteArray(";000000"));
        QVERIFY(line.emu.logContains(QStringLiteral("# port opened")));
    }

    void lineIsSetTo57600EightNoneOneWithoutFlowControl() {
        Line line;
        QVERIFY(line.start());
        line.port.Open();
        // Root may open a tty that another holds exclusively; others cannot
        // look at the settings this way.
        const int fd =
            ::open(line.emu.device().toLocal8Bit().constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
        if (fd < 0)
            QSKIP("the device is held exclusively; its settings cannot be read from here");
        termios tio{};
        QCOMPARE(tcgetattr(fd, &tio), 0);
        ::close(fd);
        QCOMPARE(cfgetospeed(&tio), speed_t(B57600));
        QCOMPARE(tio.c_cflag & CSIZE, tcflag_t(CS8));
        QCOMPARE(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), tcflag_t(0));
        QCOMPARE(tio.c_iflag & (IXON | IXOFF), tcflag_t(0));
    }

    void secondOpenOfSameDeviceFails() {
        Line line;
        QVERIFY(line.start());
        line.port.Open();
        SerialComPort second;
        second.setPortNum(1);
        QVERIFY_THROWS_EXCEPTION(ComPortError, second.Open());
        QVERIFY(!second.Active());
        QSerialPort other(line.emu.device());
        QVERIFY(!other.open(QIODevice::ReadWrite));
        QVERIFY(line.port.Active());
    }

    void openingWhileOpenOrWithoutDeviceFails() {
        Line line;
        QVERIFY(line.start());
        line.port.Open();
        QVERIFY_THROWS_EXCEPTION(ComPortError, line.port.Open());
        QVERIFY_THROWS_EXCEPTION(ComPortError, line.port.setPortNum(2));
        line.port.Close();
        line.port.setPortNum(2);
        QVERIFY_THROWS_EXCEPTION(ComPortError, line.port.Open());
        QVERIFY(!line.port.Active());
    }

    void frameLeavesWithoutTheEventLoop() {
        Line line;
        QVERIFY(line.start());
        QVERIFY(line.openAnnounced());
        const QByteArray frame = powerUpFrame();
        QCOMPARE(line.port.WriteBuf(frame.constData(), 20), 20);
        // No event of ours is processed while waiting here.
        QVERIFY(line.emu.waitForLogBlocking(QStringLiteral(" in  07 FF FF 01")));
        QTRY_COMPARE(line.port.WriteBufUsed(), 0);
    }

    void nineteenBytesWaitForTheTwentieth() {
        Line line;
        QVERIFY(line.start());
        QVERIFY(line.openAnnounced());
        line.emu.command(
            QStringLiteral("raw 35 30 30 30 31 30 00 00 00 00 00 00 00 00 00 00 00 00 00"));
        QTRY_COMPARE(line.lastCount(), 19);
        QCOMPARE(line.port.ReadBufUsed(), 19);
        line.emu.command(QStringLiteral("raw 00"));
        QTRY_COMPARE(line.lastCount(), 20);
        char bytes[1024];
        QCOMPARE(line.port.ReadBuf(bytes, 1024), 20);
        QCOMPARE(QByteArray(bytes, 6), QByteArray("500010"));
    }

    void twoFramesTogetherAreOneDeliveryOfForty() {
        Line line;
        QVERIFY(line.start());
        QVERIFY(line.openAnnounced());
        line.emu.command(QStringLiteral("pair 2 5 5 7"));
        QTRY_COMPARE(line.lastCount(), 40);
        QCOMPARE(line.deliveries.size(), 1);
        line.port.PurgeRead();
        QCOMPARE(line.port.ReadBufUsed(), 0);
    }

    void bytesArrivingDuringADeliveryGiveAnotherOne() {
        Line line;
        QVERIFY(line.start());
        QVERIFY(line.openAnnounced());
        bool inHandler = false;
        bool overlapped = false;
        bool secondArrivedInside = false;
        int calls = 0;
        connect(&line.port, &ComPort::OnRxChar, this, [&](int) {
            overlapped = overlapped || inHandler;
            inHandler = true;
            if (++calls == 1) {
                // As a message box would: the handler waits in an event loop
                // of its own while the next reply comes in.
                line.emu.command(QStringLiteral("reply 5 00020"));
                secondArrivedInside =
                    QTest::qWaitFor([&] { return line.port.ReadBufUsed() >= 40; }, 5000);
            }
            inHandler = false;
        });
        line.emu.command(QStringLiteral("reply 2 00010"));
        QTRY_VERIFY(line.deliveries.size() >= 2);
        QVERIFY(secondArrivedInside);
        QCOMPARE(line.lastCount(), 40);
        QVERIFY(!overlapped);
    }

    void fullOutputQueueRaisesAfterWaiting() {
        Line line;
        QVERIFY(line.start());
        QVERIFY(line.openAnnounced());
        // The programmer stops reading: the driver's queue fills and counts.
        line.emu.setStopped(true);
        const QByteArray frame = powerUpFrame();
        bool raised = false;
        QString message;
        for (int i = 0; i < 10000 && !raised; ++i) {
            try {
                line.port.WriteBuf(frame.constData(), 20);
            } catch (const ComPortError& error) {
                raised = true;
                message = error.message();
            }
        }
        line.emu.setStopped(false);
        QVERIFY(raised);
        QCOMPARE(message, QStringLiteral("Output buffer is full. Please check comm status."));
        QTRY_COMPARE_WITH_TIMEOUT(line.port.WriteBufUsed(), 0, 10000);
    }

    void replySplitIntoPiecesIsOneFrameOnceComplete() {
        Line line;
        QVERIFY(line.start({QStringLiteral("--split"), QStringLiteral("7"),
                            QStringLiteral("--split-pause"), QStringLiteral("30")}));
        line.port.Open();
        QTRY_COMPARE(line.lastCount(), 20);
        QVERIFY(line.deliveries.size() >= 2);
        QCOMPARE(line.deliveries.first().at(0).toInt(), 7);
    }

    void emptySocketAnswersScanWithNoDevice() {
        Line line;
        QVERIFY(line.start({QStringLiteral("--no-chip")}));
        QVERIFY(line.openAnnounced());
        QByteArray scan = powerUpFrame();
        scan[0] = 4;
        line.port.WriteBuf(scan.constData(), 20);
        QTRY_COMPARE(line.port.ReadBufUsed(), 20);
        char bytes[20];
        line.port.ReadBuf(bytes, 20);
        QCOMPARE(bytes[0], '<');
    }

    void hangupAfterNthReplyEndsTheLine() {
        Line line;
        QVERIFY(line.start({QStringLiteral("--hangup-after"), QStringLiteral("2")}));
        QSignalSpy vanished(&line.port, &ComPort::vanished);
        QVERIFY(line.openAnnounced());
        QByteArray record = powerUpFrame();
        record[0] = 2; // ":" is the second reply
        line.port.WriteBuf(record.constData(), 20);
        QVERIFY(vanished.wait(5000));
        QVERIFY(line.emu.finished());
        QVERIFY(line.emu.logContains(QStringLiteral("# hanging up")));
    }

    void pairedRepliesArriveAsOneDeliveryOfForty() {
        Line line;
        QVERIFY(line.start({QStringLiteral("--pair")}));
        line.port.Open();
        // The announcement is held for its partner: the record's ":".
        QByteArray record = powerUpFrame();
        record[0] = 2;
        record[1] = record[2] = 0;
        line.port.WriteBuf(record.constData(), 20);
        QTRY_COMPARE(line.lastCount(), 40);
        QCOMPARE(line.deliveries.size(), 1);
        char bytes[40];
        QCOMPARE(line.port.ReadBuf(bytes, 40), 40);
        QCOMPARE(bytes[0], ';');
        QCOMPARE(bytes[20], ':');
    }

    void garbageBeforeEveryReply() {
        Line line;
        QVERIFY(line.start({QStringLiteral("--garbage"), QStringLiteral("3")}));
        line.port.Open();
        QTRY_COMPARE(line.port.ReadBufUsed(), 23);
        char bytes[23];
        line.port.ReadBuf(bytes, 23);
        QCOMPARE(bytes[3], ';');
    }

    void silentCommandGetsNoReply() {
        Line line;
        QVERIFY(line.start({QStringLiteral("--silent"), QStringLiteral("1"),
                            QStringLiteral("--time-scale"), QStringLiteral("0.01")}));
        QVERIFY(line.openAnnounced());
        QByteArray scan = powerUpFrame();
        scan[0] = 4;
        scan[1] = scan[2] = 0;
        line.port.WriteBuf(scan.constData(), 20);
        QVERIFY(line.emu.waitForLog(QStringLiteral(" in  04")));
        line.port.WriteBuf(scan.constData(), 20);
        QTRY_COMPARE(line.port.ReadBufUsed(), 20);
        char bytes[20];
        line.port.ReadBuf(bytes, 20);
        QCOMPARE(bytes[0], '9'); // only the second scan was answered
        QCOMPARE(line.emu.log().filter(QStringLiteral(" out 39")).size(), 1);
    }

    void imageKeepsTheChipsMessagesBetweenRuns() {
        TempFolder folder;
        const QString image = folder.file(QStringLiteral("chip.img"));
        folder.write(QStringLiteral("chip.img"), "vokar-emu image\nchip 1\nmessage 0 9\n");
        {
            EmuProcess emu;
            QVERIFY(emu.start({QStringLiteral("--image"), image}));
            emu.command(QStringLiteral("map"));
            QVERIFY(emu.waitForLog(QStringLiteral("message 00000 00009")));
            emu.command(QStringLiteral("nochip"));
            emu.command(QStringLiteral("chip 1"));
            emu.command(QStringLiteral("quit"));
            QVERIFY(emu.finished());
        }
        QCOMPARE(folder.read(QStringLiteral("chip.img")), QByteArray("vokar-emu image\nchip 1\n"));
    }

    void writingOnClosedPortIsDroppedQuietly() {
        Line line;
        QVERIFY(line.start());
        const QByteArray frame = powerUpFrame();
        QCOMPARE(line.port.WriteBuf(frame.constData(), 20), 0);
        QCOMPARE(line.port.WriteBufUsed(), 0);
        QCOMPARE(line.port.ReadBufUsed(), 0);
        char bytes[20];
        QCOMPARE(line.port.ReadBuf(bytes, 20), 0);
        line.port.PurgeRead();
    }

    void vanishedDeviceClosesThePortOnceAndStaysIdle() {
        Line line;
        QVERIFY(line.start());
        QVERIFY(line.openAnnounced());
        QSignalSpy vanished(&line.port, &ComPort::vanished);
        QSignalSpy active(&line.port, &ComPort::activeChanged);
        line.emu.command(QStringLiteral("hangup"));
        QVERIFY(vanished.wait(5000));
        QVERIFY(!line.port.Active());
        QCOMPARE(active.size(), 1);
        // Measure a quiet spell: the process must not spin on the dead line.
        const double before = cpuSeconds();
        QTest::qWait(400);
        const double used = cpuSeconds() - before;
        QVERIFY2(used < 0.1, qPrintable(QStringLiteral("%1 s of CPU in 0.4 s").arg(used)));
        QCOMPARE(vanished.size(), 1);
        const QByteArray frame = powerUpFrame();
        QCOMPARE(line.port.WriteBuf(frame.constData(), 20), 0);
    }

    void portDialogOkOpensChosenPortAndShowsDevices() {
        DialogOnLine line;
        QVERIFY(line.start());
        QVERIFY(line.choose(1, "OKBtn"));
        QVERIFY(line.port.Active());
        QCOMPARE(line.panel.portNumber(), QStringLiteral("1"));
        QCOMPARE(line.dialog.portDevice(1)->text(), line.emu.device());
        QCOMPARE(line.dialog.portDevice(2)->text(), QStringLiteral("/dev/no-such-vokar"));
        QVERIFY(line.prompter.messages.isEmpty());
        QVERIFY(line.emu.waitForLog(QStringLiteral("# port opened")));
    }

    void portDialogOkOnMissingDeviceSaysNotAvailable() {
        DialogOnLine line;
        QVERIFY(line.start());
        line.choose(2, "OKBtn");
        QVERIFY(!line.port.Active());
        QCOMPARE(line.prompter.messages, QStringList{QStringLiteral("Serial Port not available")});
        QCOMPARE(line.panel.portNumber(), QStringLiteral("not connected"));
    }

    void portDialogCancelReopensThePortThatWasOpen() {
        DialogOnLine line;
        QVERIFY(line.start());
        line.panel.setText(PanelTexts::PortNumber, QStringLiteral("1"));
        line.port.Open();
        QSignalSpy active(&line.port, &ComPort::activeChanged);
        QVERIFY(!line.choose(2, "CancelBtn"));
        QVERIFY(line.port.Active());
        QCOMPARE(line.port.PortNum(), 1);
        QCOMPARE(active.size(), 2); // closed for the dialog, opened again
        QCOMPARE(line.panel.portNumber(), QStringLiteral("1"));
        QVERIFY(line.prompter.messages.isEmpty());
    }

    void portDialogCancelLeavesClosedPortClosed() {
        DialogOnLine line;
        QVERIFY(line.start());
        line.panel.setText(PanelTexts::PortNumber, QStringLiteral("not connected"));
        QVERIFY(!line.choose(0, "CancelBtn"));
        QVERIFY(!line.port.Active());
        QCOMPARE(line.panel.portNumber(), QStringLiteral("not connected"));
    }
};

QTEST_MAIN(TestComPortWithEmu)
#include "tst_comport_emu.moc"
