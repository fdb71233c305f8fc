// Filling a chip the way a new user does, counted: four sound files dropped
// on the table, Plan addresses, Erase and its confirmation, Record table to
// ISD. Five user actions after start; the stand-in at real time records
// what the real player plays into a private sound server.
#include "emuprogram.h"
#include "files/player.h"
#include "modaldialogs.h"
#include "nullsinkserver.h"
#include "screenshot.h"
#include "settingsfile.h"
#include "testsounds.h"
#include "widgets/operationstatus.h"
#include "widgets/qtprompter.h"
#include "windowuser.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>
#include <sndfile.h>

namespace {

constexpr int Files = 4;
constexpr double FileSeconds = 0.6;

// The access keys from the menu bar to a command's item.
QString keysTo(MainWindow& window, Control control) {
    QAction* target = window.state().commands.action(control);
    for (QAction* title : window.menuBar()->actions()) {
        if (title->menu() == nullptr)
            continue;
        for (QAction* item : title->menu()->actions()) {
            if (item == target)
                return QString(WindowUser::accessKey(title)) + WindowUser::accessKey(item);
        }
    }
    return QString();
}

} // namespace

class TestFillChipEmu : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void fourFilesInFiveActions();

private:
    NullSinkServer sound;
};

void TestFillChipEmu::initTestCase() {
    QString error;
    QVERIFY2(sound.start(error), qPrintable(error));
}

void TestFillChipEmu::fourFilesInFiveActions() {
    // The real player and the real message boxes, made before the program
    // that uses them and gone after it.
    struct OnScreen {
        Player realPlayer;
        QtPrompter screenPrompter;
    };
    struct Program : OnScreen, EmuProgram {};
    Program p;
    QStringList sounds;
    for (int i = 1; i <= Files; ++i) {
        const QString path = p.folder.file(QStringLiteral("message%1.wav").arg(i));
        QVERIFY(TestSounds::writeToneWav(path, 8000, 1, FileSeconds, SF_FORMAT_PCM_16));
        sounds.append(path);
    }
    // An ISD 1730 with an old message in it, erased by the chip's own command;
    // the settings as scripts/run-program.sh leaves them: COM1, opened at start.
    EmuProgram::StandIn standIn;
    standIn.image = "vokar-emu image\nchip 41\nmessage 16 60\n";
    standIn.chip = 41;
    standIn.timeScale = QStringLiteral("1");
    standIn.progressMs = 100;
    QVERIFY(p.startAndGreet(standIn, SettingsFile().chipType(41).text(), &p.realPlayer,
                            &p.screenPrompter));
    MainWindow& w = p.w();
    EmuProcess& emu = p.emu;
    p.screenPrompter.setParent(&w);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    WindowUser user(w);
    ModalDialogs dialogs;
    auto* status = w.findChild<OperationStatus*>(QStringLiteral("OperationStatus"));
    QVERIFY(status != nullptr);
    int actions = 0;

    // 1. The four files, dragged from the file manager onto the table.
    QVERIFY(WindowUser::drop(w.fileView()->viewport(), sounds));
    ++actions;
    QTRY_COMPARE(w.state().fileGrid.FirstFreeRow(), Files + 1);

    // 2. Address > Plan addresses.
    user.menuKeys(keysTo(w, Control::PlanAddressesItem));
    ++actions;
    QTRY_VERIFY(w.findChild<QLabel*>(QStringLiteral("PlanStatus"))
                    ->text()
                    .startsWith(QStringLiteral("4 files planned")));
    QCOMPARE(w.state().fileGrid.cell(1, 1), QStringLiteral("00016"));

    // 3. ISD > Erase, and 4. the confirmation.
    dialogs.answer(QStringLiteral("Erase"));
    user.menuKeys(keysTo(w, Control::EraseItem));
    actions += 2;
    QTRY_VERIFY(dialogs.done());
    QCOMPARE(dialogs.seen,
             QStringList{QStringLiteral("Erase the whole chip? Every message on it is lost.")});
    QTRY_COMPARE_WITH_TIMEOUT(status->text(), QStringLiteral("Chip erased"), 10000);

    // 5. Recording > Record table to ISD.
    QVERIFY(w.state().commands.isEnabled(Control::RecordTableItem));
    sound.clearSound();
    user.menuKeys(keysTo(w, Control::RecordTableItem));
    ++actions;
    // While it records, the bar tells how far it is and the time left.
    QProgressBar* progress = status->progressBar();
    QTRY_VERIFY_WITH_TIMEOUT(progress->isVisible() && progress->value() > 100 &&
                                 progress->format().contains(QStringLiteral("left")),
                             10000);
    QVERIFY(status->text().startsWith(QStringLiteral("Recording ")));
    screenshot(w, QStringLiteral("status-progress.png"));
    QTRY_COMPARE_WITH_TIMEOUT(status->text(), QStringLiteral("Recorded 4 files"), 30000);
    QVERIFY(!progress->isVisible());

    QCOMPARE(actions, 5);
    QVERIFY(actions <= 6);
    QVERIFY(sound.heardSound());

    // Not part of filling it: a scan shows the chip's messages under the
    // files in the memory picture.
    user.menuKeys(keysTo(w, Control::MemoryScanItem));
    QTRY_COMPARE_WITH_TIMEOUT(status->text(), QStringLiteral("Scan finished: 4 messages found"),
                              20000);
    if (!qEnvironmentVariableIsEmpty("VOKAR_SCREENSHOTS")) {
        QWidget* picture = w.findChild<QWidget*>(QStringLiteral("MemoryPicture"));
        QWidget* legend = w.findChild<QWidget*>(QStringLiteral("MemoryLegend"));
        QVERIFY(picture != nullptr && legend != nullptr);
        const QRect strip = picture->geometry().united(legend->geometry());
        QVERIFY(w.centralWidget()->grab(strip).save(qEnvironmentVariable("VOKAR_SCREENSHOTS") +
                                                    QStringLiteral("/memory-legend.png")));
    }
    // The stand-in holds four messages where the plan put them, nothing else.
    QCOMPARE(emu.log().filter(QStringLiteral("Record start")).size(), Files);
    emu.command(QStringLiteral("map"));
    QVERIFY(emu.waitForLog(QStringLiteral("end of map")));
    const QStringList messages =
        emu.log().filter(QRegularExpression(QStringLiteral("message \\d{5} \\d{5}$")));
    QCOMPARE(messages.size(), Files);
    // The first where the plan put it; the old message is gone.
    QVERIFY2(messages.at(0).contains(QStringLiteral("message 00016")),
             qPrintable(messages.join(u'|')));
}

QTEST_MAIN(TestFillChipEmu)
#include "tst_fill_chip_emu.moc"
