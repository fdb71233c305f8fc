#include "core/paneltexts.h"
#include "fakecomport.h"
#include "fakeprompter.h"
#include "link/portresolver.h"
#include "tempfolder.h"
#include "widgets/portdialog.h"
#include "wiredprogram.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QTest>

class TestPortDialog : public QObject {
    Q_OBJECT
private slots:
    void portsFileLineMapsTheNumber_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("device");
        QTest::newRow("plain") << QByteArray("COM1=/dev/ttyUSB0\n") << 1
                               << QStringLiteral("/dev/ttyUSB0");
        QTest::newRow("blanks and case")
            << QByteArray("  com2 = /dev/ttyACM1 \r\n") << 2 << QStringLiteral("/dev/ttyACM1");
        QTest::newRow("COM1 is not COM10")
            << QByteArray("COM10=/dev/ttyS9\nCOM1=/dev/a\n") << 1 << QStringLiteral("/dev/a");
        QTest::newRow("comment") << QByteArray("#COM3=/dev/x\n") << 3 << QString();
        QTest::newRow("other number") << QByteArray("COM4=/dev/y\n") << 3 << QString();
        QTest::newRow("the first line for a number counts")
            << QByteArray("COM2=/dev/first\nCOM2=/dev/second\n") << 2
            << QStringLiteral("/dev/first");
        QTest::newRow("COM01 is not COM1") << QByteArray("COM01=/dev/x\n") << 1 << QString();
        QTest::newRow("last line unended, CR LF before")
            << QByteArray("# ports\r\nCOM6 =/dev/z") << 6 << QStringLiteral("/dev/z");
        // Read in pieces of 1 MiB: a line across two of them.
        QByteArray across(1024 * 1024 - 5, '#');
        across += "\nCOM3=/dev/across\n";
        QTest::newRow("a line across the reader's pieces")
            << across << 3 << QStringLiteral("/dev/across");
    }
    void portsFileLineMapsTheNumber() {
        QFETCH(QByteArray, file);
        QFETCH(int, number);
        QFETCH(QString, device);
        TempFolder folder;
        folder.write(QStringLiteral("isdvokar.ports"), file);
        QCOMPARE(PortResolver::fromPortsFile(number), device);
        if (!device.isEmpty()) {
            QCOMPARE(PortResolver::resolve(number).device, device);
            QVERIFY(PortResolver::resolve(number).fromPortsFile);
        }
    }

    void systemPortsAreNumberedAdaptersFirst() {
        const QStringList ordered = PortResolver::orderForNumbering(
            {QStringLiteral("/dev/ttyS0"), QStringLiteral("/dev/ttyUSB10"),
             QStringLiteral("/dev/ttyS1"), QStringLiteral("/dev/ttyACM0"),
             QStringLiteral("/dev/ttyUSB2")});
        QCOMPARE(ordered,
                 (QStringList{QStringLiteral("/dev/ttyACM0"), QStringLiteral("/dev/ttyUSB2"),
                              QStringLiteral("/dev/ttyUSB10"), QStringLiteral("/dev/ttyS0"),
                              QStringLiteral("/dev/ttyS1")}));
    }

    void numberZeroMeansNoDevice() {
        TempFolder folder;
        QCOMPARE(PortResolver::resolve(0).device, QString());
        folder.write(QStringLiteral("isdvokar.ports"), "COM5=/dev/z\n");
        QCOMPARE(PortResolver::describe(5), QStringLiteral("/dev/z"));
    }

    void dialogShowsTheDeviceBesideEachPort() {
        FakeComPort port;
        PanelTexts panel;
        FakePrompter prompter;
        PortDialog dialog(port, panel, prompter);
        dialog.setPortDescriber([](int n) {
            return n == 2 ? QStringLiteral("/dev/ttyUSB0") : QStringLiteral("(no device)");
        });
        QCOMPARE(dialog.portDevice(2)->text(), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(dialog.portDevice(6)->text(), QStringLiteral("(no device)"));
        QCOMPARE(dialog.portButton(2)->text(), QStringLiteral("Serial Port COM2"));
    }

    void refusalForPermissionAddsReasonAndRemedyToTheSameBox() {
        FakeComPort port;
        PanelTexts panel;
        FakePrompter prompter;
        PortDialog dialog(port, panel, prompter);
        port.refuseOpen = true;
        port.refuseDetail =
            QStringLiteral("Permission to use /dev/ttyUSB0 was denied. Add your user "
                           "to the group that owns it (dialout)");
        dialog.portButton(1)->setChecked(true);
        dialog.conclude(true, false);
        QCOMPARE(prompter.messages.size(), 1);
        QVERIFY(
            prompter.messages.first().startsWith(QStringLiteral("Serial Port not available\n\n")));
        QVERIFY(prompter.messages.first().contains(QStringLiteral("dialout")));
        QCOMPARE(panel.portNumber(), QStringLiteral("not connected"));
    }

    void storedPortAboveSixShowsItsNumberOnceOpen() {
        TempFolder folder;
        folder.write(SettingsFile::name(), SettingsFile().port(7).text());
        FakeComPort port;
        PanelTexts panel;
        FakePrompter prompter;
        PortDialog dialog(port, panel, prompter);
        dialog.loadSettings(QStringLiteral("isdvokar.fig"));
        QVERIFY(port.Active());
        QCOMPARE(port.PortNum(), 7);
        QCOMPARE(panel.portNumber(), QStringLiteral("7"));
    }

    // OK with no button checked (no port was ever stored): the open is
    // refused; with a stored port above 6 that port opens and is shown.
    void okWithoutAChosenPortShowsWhatIsReallyOpen_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QString>("shown");
        QTest::newRow("no port stored")
            << QByteArray("0") << false << QStringLiteral("not connected");
        QTest::newRow("port 7 stored") << QByteArray("7") << true << QStringLiteral("7");
    }
    void okWithoutAChosenPortShowsWhatIsReallyOpen() {
        QFETCH(QByteArray, stored);
        QFETCH(bool, opens);
        QFETCH(QString, shown);
        TempFolder folder;
        folder.write(QStringLiteral("isdvokar.fig"),
                     "VOKAR-1 Configuration File\r\n" + stored + "\r\n1\r\n\r\n\r\n\r\n0\r\n");
        FakeComPort port;
        PanelTexts panel;
        FakePrompter prompter;
        PortDialog dialog(port, panel, prompter);
        dialog.loadSettings(QStringLiteral("isdvokar.fig"));
        QVERIFY(!port.Active());
        for (int number = 1; number <= 6; ++number)
            QVERIFY(!dialog.portButton(number)->isChecked());
        dialog.conclude(true, false);
        QCOMPARE(port.Active(), opens);
        QCOMPARE(panel.portNumber(), shown);
        QCOMPARE(prompter.messages,
                 opens ? QStringList() : QStringList{QStringLiteral("Serial Port not available")});
    }

    void vanishedPortShowsNotConnectedAndTellsOnce() {
        FakeProgram program(SettingsFile().text());
        FakeComPort& port = program.port;
        QVERIFY(port.Active());
        QCOMPARE(program.state().panel.portNumber(), QStringLiteral("1"));
        port.vanish(QStringLiteral("Input/output error"));
        port.vanish(); // already closed: nothing more
        QCOMPARE(program.state().panel.portNumber(), QStringLiteral("not connected"));
        QCOMPARE(program.prompter.messages.size(), 1);
        QVERIFY(program.prompter.messages.first().contains(QStringLiteral("COM1")));
        QVERIFY(program.prompter.messages.first().contains(QStringLiteral("Input/output error")));
    }

    void lineErrorShowsCommunicationError() {
        FakeProgram program;
        emit program.port.OnError(0x0008);
        QCOMPARE(program.prompter.messages, QStringList{QStringLiteral("Communication error")});
    }
};

QTEST_MAIN(TestPortDialog)
#include "tst_portdialog.moc"
