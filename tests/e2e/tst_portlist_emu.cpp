#include "app/mainwindow.h"
#include "app/reopenoffer.h"
#include "app/startup.h"
#include "emuprocess.h"
#include "fakeplayer.h"
#include "fakeprompter.h"
#include "link/portresolver.h"
#include "link/serialcomport.h"
#include "screenshot.h"
#include "settingsfile.h"
#include "tempfolder.h"
#include "widgets/portdialog.h"

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>

namespace {

QStringList listed(const PortDialog& dialog) {
    QStringList labels;
    for (int row = 0; row < dialog.presentDevices()->count(); ++row)
        labels << dialog.presentDevices()->item(row)->text();
    return labels;
}

bool listsDevice(const PortDialog& dialog, const QString& path) {
    for (const QString& label : listed(dialog)) {
        if (label == path || label.startsWith(path + QLatin1Char(' ')))
            return true;
    }
    return false;
}

QStringList emuArguments(int com) {
    return {QStringLiteral("--com"), QString::number(com), QStringLiteral("--ports-file"),
            QStringLiteral("isdvokar.ports")};
}

const QByteArray closedAtStart = SettingsFile().autoOpen(false).text();

} // namespace

// The port dialog's list of devices present, and the offer to reopen a port
// whose device came back.
class TestPortListEmu : public QObject {
    Q_OBJECT

private slots:
    void listFollowsStandInsAppearingAndGoing();
    void choosingADeviceWritesItsPortsLine();
    void reopenIsOfferedWhenTheDeviceComesBackAndTakenOnlyOnClick();
};

void TestPortListEmu::listFollowsStandInsAppearingAndGoing() {
    TempFolder folder;
    folder.write(QStringLiteral("isdvokar.fig"), closedAtStart);
    SerialComPort port;
    FakePlayer player;
    FakePrompter prompter;
    Windows windows = createWindows(port, &player, prompter, QStringLiteral("isdvokar.fig"));
    PortDialog& dialog = *windows.port;
    dialog.show();
    // The system's own ports are listed whatever else is there.
    for (const QString& path : PortResolver::systemPorts())
        QVERIFY2(listsDevice(dialog, path), qPrintable(path));

    EmuProcess first;
    QVERIFY(first.start(emuArguments(2)));
    QTRY_VERIFY_WITH_TIMEOUT(listsDevice(dialog, first.device()), 5000);
    QVERIFY(
        listed(dialog).contains(first.device() + QStringLiteral(" \u2014 COM2 in isdvokar.ports")));
    EmuProcess second;
    QVERIFY(second.start(emuArguments(3)));
    QTRY_VERIFY_WITH_TIMEOUT(listsDevice(dialog, second.device()), 5000);
    QVERIFY(listsDevice(dialog, first.device()));
    // The label beside the COM number follows as well.
    QCOMPARE(dialog.portDevice(3)->text(), second.device());
    screenshot(dialog, QStringLiteral("port-list.png"));

    second.command(QStringLiteral("hangup"));
    QVERIFY(second.finished());
    QTRY_VERIFY_WITH_TIMEOUT(!listsDevice(dialog, second.device()), 5000);
    QVERIFY(listsDevice(dialog, first.device()));
    dialog.hide();
}

void TestPortListEmu::choosingADeviceWritesItsPortsLine() {
    TempFolder folder;
    folder.write(QStringLiteral("isdvokar.fig"), closedAtStart);
    folder.write(QStringLiteral("isdvokar.ports"), "# kept\nCOM4=/dev/ttyS9\n");
    SerialComPort port;
    FakePlayer player;
    FakePrompter prompter;
    Windows windows = createWindows(port, &player, prompter, QStringLiteral("isdvokar.fig"));
    PortDialog& dialog = *windows.port;
    EmuProcess emu;
    QVERIFY(emu.start(emuArguments(2)));
    dialog.refreshPresent();
    // Nothing chosen in the list: nothing is written.
    dialog.portButton(5)->setChecked(true);
    QVERIFY(!dialog.useChosenDevice());
    const QList<QListWidgetItem*> items =
        dialog.presentDevices()->findItems(emu.device(), Qt::MatchStartsWith);
    QCOMPARE(items.size(), 1);
    dialog.presentDevices()->setCurrentItem(items.first());
    QTest::mouseClick(dialog.useDeviceButton(), Qt::LeftButton);

    const QString ports = QString::fromUtf8(folder.read(QStringLiteral("isdvokar.ports")));
    QVERIFY2(ports.contains(QStringLiteral("COM5=") + emu.device()), qPrintable(ports));
    QVERIFY(ports.contains(QStringLiteral("# kept")));
    QVERIFY(ports.contains(QStringLiteral("COM4=/dev/ttyS9")));
    QCOMPARE(dialog.portDevice(5)->text(), emu.device());
    // Chosen again for the same number: still one line for it.
    QVERIFY(dialog.useChosenDevice());
    QCOMPARE(QString::fromUtf8(folder.read(QStringLiteral("isdvokar.ports")))
                 .count(QStringLiteral("COM5=")),
             1);
}

void TestPortListEmu::reopenIsOfferedWhenTheDeviceComesBackAndTakenOnlyOnClick() {
    TempFolder folder;
    // The programmer's device path as the user names it; the test points it
    // at whichever pseudo-terminal the stand-in has.
    const QString programmer = folder.file(QStringLiteral("programmer"));
    EmuProcess before;
    QVERIFY(before.start());
    QVERIFY(QFile::link(before.device(), programmer));
    folder.write(QStringLiteral("isdvokar.ports"), "COM1=" + programmer.toUtf8() + "\n");
    folder.write(SettingsFile::name(), SettingsFile().text());
    SerialComPort port;
    FakePlayer player;
    FakePrompter prompter;
    Windows windows = createWindows(port, &player, prompter, QStringLiteral("isdvokar.fig"));
    QVERIFY(port.Active());
    QVERIFY(before.waitForLog(QStringLiteral("SetChip")));
    auto* offer = windows.main->findChild<ReopenOffer*>();
    QVERIFY(offer != nullptr);
    QVERIFY(offer->button()->isHidden());

    before.command(QStringLiteral("hangup"));
    QVERIFY(before.finished());
    QTRY_VERIFY_WITH_TIMEOUT(!port.Active(), 5000);
    QCOMPARE(offer->awaited(), programmer);
    QVERIFY(offer->button()->isHidden());

    EmuProcess after;
    QVERIFY(after.start());
    QVERIFY(QFile::remove(programmer));
    QVERIFY(QFile::link(after.device(), programmer));
    QTRY_VERIFY_WITH_TIMEOUT(!offer->button()->isHidden(), 5000);
    QCOMPARE(offer->button()->text(), QStringLiteral("Reopen COM1"));
    QCOMPARE(windows.main->statusBar()->findChild<QLabel*>(QStringLiteral("LinkStatus"))->text(),
             QStringLiteral("The programmer on %1 is back.").arg(programmer));
    // Offered, not taken: the port stays closed until the user clicks.
    QVERIFY(!after.waitForLog(QStringLiteral("port opened"), 1000));
    QVERIFY(!port.Active());

    QTest::mouseClick(offer->button(), Qt::LeftButton);
    QVERIFY(port.Active());
    QVERIFY(after.waitForLog(QStringLiteral("SetChip")));
    QVERIFY(offer->button()->isHidden());
    QCOMPARE(windows.main->state().panel.text(PanelTexts::PortNumber), QStringLiteral("1"));
}

QTEST_MAIN(TestPortListEmu)
#include "tst_portlist_emu.moc"
