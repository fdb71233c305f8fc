// Setup > Sound output: the output the recording plays to, chosen in the
// window, kept in the user's configuration and played to, with a private
// sound server that has two outputs.

#include "app/mainwindow.h"
#include "app/startup.h"
#include "childprocess.h"
#include "core/apperror.h"
#include "fakecomport.h"
#include "fakeprompter.h"
#include "files/outputdevices.h"
#include "files/player.h"
#include "nullsinkserver.h"
#include "tempfolder.h"
#include "testsounds.h"
#include "widgets/soundoutputdialog.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <sndfile.h>

namespace {

QStringList itemTexts(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

} // namespace

class TestSoundOutputChoice : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void chosenOutputIsKeptAndPlayedTo();
    void anUnpluggedChoiceStaysListed();
    void anOutputThatIsNotThereIsNamedWhenOpening();

private:
    // Picks the list item whose text starts with `text` with the mouse, then
    // OK, in the dialog the command shows.
    void chooseInDialog(MainWindow& window, const QString& text);

    TempFolder config;
    NullSinkServer sound;
};

void TestSoundOutputChoice::initTestCase() {
    // The user's own configuration stays out of it.
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QString error;
    if (!sound.start(error))
        QSKIP(qPrintable(QStringLiteral("no private sound server: ") + error));
    QProcess pactl;
    endWithThisProcess(pactl);
    pactl.start(QStringLiteral("pactl"),
                {QStringLiteral("load-module"), QStringLiteral("module-null-sink"),
                 QStringLiteral("sink_name=programmer1"),
                 QStringLiteral("sink_properties=device.description=USB-Audio")});
    QVERIFY(pactl.waitForFinished(10000));
    QCOMPARE(pactl.exitCode(), 0);
}

void TestSoundOutputChoice::chooseInDialog(MainWindow& window, const QString& text) {
    bool chosen = false;
    QTimer::singleShot(0, &window, [&] {
        SoundOutputDialog* dialog = window.soundOutputDialog();
        QListWidget* list = dialog->list();
        for (int i = 0; i < list->count(); ++i) {
            if (!list->item(i)->text().startsWith(text))
                continue;
            const QRect at = list->visualItemRect(list->item(i));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at.center());
            chosen = true;
        }
        QTest::mouseClick(dialog->buttons()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    window.state().commands.action(QStringLiteral("SoundOutput"))->trigger();
    QVERIFY2(chosen, qPrintable(text));
}

void TestSoundOutputChoice::chosenOutputIsKeptAndPlayedTo() {
    TempFolder folder;
    FakeComPort port;
    FakePrompter prompter;
    Player player;
    {
        Windows windows = createWindows(port, &player, prompter, QStringLiteral("isdvokar.fig"));
        MainWindow& window = *windows.main;
        QCOMPARE(player.OutputDevice, QByteArray());
        window.soundOutputDialog()->listOutputs();
        const QStringList texts = itemTexts(window.soundOutputDialog()->list());
        QCOMPARE(texts.first(), QStringLiteral("Default output"));
        QVERIFY2(texts.contains(QStringLiteral("USB-Audio (programmer1)")),
                 qPrintable(texts.join(u'|')));
        QVERIFY2(texts.filter(QStringLiteral("(vsink) \u2014 the default")).size() == 1,
                 qPrintable(texts.join(u'|')));

        chooseInDialog(window, QStringLiteral("USB-Audio"));
        QCOMPARE(player.OutputDevice, QByteArray("programmer1"));
        QCOMPARE(OutputDevices::savedChoice(), QByteArray("programmer1"));
        QVERIFY(prompter.messages.isEmpty());
    }

    // The next run plays to it: nothing reaches the default output.
    Player next;
    Windows again = createWindows(port, &next, prompter, QStringLiteral("isdvokar.fig"));
    QCOMPARE(next.OutputDevice, QByteArray("programmer1"));
    const QString tone = folder.file(QStringLiteral("tone.wav"));
    QVERIFY(TestSounds::writeToneWav(tone, 16000, 1, 0.3, SF_FORMAT_PCM_16));
    QSignalSpy ended(&next, &MediaPlayer::OnNotify);
    sound.clearSound();
    next.FileName = tone;
    next.Open();
    next.Play();
    QVERIFY(ended.wait(5000));
    QVERIFY(!sound.heardSound());

    // Back to the default output: it is heard there again.
    chooseInDialog(*again.main, QStringLiteral("Default output"));
    QCOMPARE(next.OutputDevice, QByteArray());
    QCOMPARE(OutputDevices::savedChoice(), QByteArray());
    next.Open();
    next.Play();
    QVERIFY(ended.wait(5000));
    QTRY_VERIFY_WITH_TIMEOUT(sound.heardSound(), 3000);
}

void TestSoundOutputChoice::anUnpluggedChoiceStaysListed() {
    TempFolder folder;
    QVERIFY(OutputDevices::saveChoice("alsa_output.usb-unplugged"));
    FakeComPort port;
    FakePrompter prompter;
    Player player;
    Windows windows = createWindows(port, &player, prompter, QStringLiteral("isdvokar.fig"));
    SoundOutputDialog* dialog = windows.main->soundOutputDialog();
    dialog->listOutputs();
    QCOMPARE(dialog->list()->currentItem()->text(),
             QStringLiteral("alsa_output.usb-unplugged (not connected)"));
    // Confirming it keeps it; the window does not forget an adapter that is
    // unplugged for now.
    QVERIFY(dialog->conclude(true));
    QCOMPARE(OutputDevices::savedChoice(), QByteArray("alsa_output.usb-unplugged"));
    QVERIFY(OutputDevices::saveChoice(QByteArray()));
}

void TestSoundOutputChoice::anOutputThatIsNotThereIsNamedWhenOpening() {
    TempFolder folder;
    const QString tone = folder.file(QStringLiteral("tone.wav"));
    QVERIFY(TestSounds::writeToneWav(tone, 16000, 1, 0.2, SF_FORMAT_PCM_16));
    Player player;
    player.OutputDevice = "alsa_output.usb-unplugged";
    player.FileName = tone;
    try {
        player.Open();
        QFAIL("opened on an output that is not there");
    } catch (const AppError& error) {
        QCOMPARE(error.message(),
                 QStringLiteral("No sound output named alsa_output.usb-unplugged"));
    }
}

QTEST_MAIN(TestSoundOutputChoice)
#include "tst_soundoutputchoice.moc"
