#include "settingsfile.h"
#include "tempfolder.h"
#include "unprivileged.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <csignal>
#include <optional>

namespace {

// True once the process has installed its own handler for `sig`.
bool catches(qint64 pid, int sig) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:")) {
            bool ok = false;
            const qulonglong mask = line.mid(7).trimmed().toULongLong(&ok, 16);
            return ok && (mask & (1ULL << (sig - 1))) != 0;
        }
    }
    return false;
}

} // namespace

class TestShutdown : public QObject {
    Q_OBJECT

private slots:
    void signalClosesLikeExit_data();
    void signalClosesLikeExit();
    void unwritableSettingsOnSignalGoToStandardError_data();
    void unwritableSettingsOnSignalGoToStandardError();
    void refusesToStartWithoutDisplay();
};

void TestShutdown::signalClosesLikeExit_data() {
    QTest::addColumn<int>("sig");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGHUP") << int(SIGHUP);
}

void TestShutdown::signalClosesLikeExit() {
    QFETCH(int, sig);
    TempFolder folder;
    folder.write(
        SettingsFile::name(),
        SettingsFile().port(0).chipType(17).folders("/s", "/l/", "/m").autoOpen(false).text());
    QProcess program;
    program.setWorkingDirectory(folder.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(ISDVOKAR_PATH), {});
    QVERIFY(program.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(catches(program.processId(), sig), 20000);
    ::kill(pid_t(program.processId()), sig);
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(folder.read(QStringLiteral("isdvokar.fig")),
             QByteArray("VOKAR-1 Configuration File\r\n1\r\n17\r\n/s\r\n/l/\r\n/m\r\n0\r\n"));
}

void TestShutdown::unwritableSettingsOnSignalGoToStandardError_data() {
    QTest::addColumn<bool>("asUser");
    QTest::newRow("read-only start folder, as an ordinary user") << true;
    // Even root cannot make a file there.
    QTest::newRow("start folder /proc") << false;
}

// Ended by a signal, nobody may be there to close a message box: the
// settings file that could not be written is named on standard error.
void TestShutdown::unwritableSettingsOnSignalGoToStandardError() {
    QFETCH(bool, asUser);
    TempFolder folder;
    QString workingFolder = QStringLiteral("/proc");
    QStringList command = {QStringLiteral(ISDVOKAR_PATH)};
    if (asUser) {
        QString why;
        if (!Unprivileged::possible(&why))
            QSKIP(qPrintable(why));
        command = Unprivileged::command(QStringLiteral(ISDVOKAR_PATH));
        if (command.isEmpty())
            QSKIP("no setpriv to run the program as another user");
        {
            Unprivileged probe;
            if (!QFileInfo(QStringLiteral(ISDVOKAR_PATH)).isExecutable())
                QSKIP("an ordinary user cannot run the program where it was built");
        }
        workingFolder = folder.path();
        Unprivileged::own(workingFolder, workingFolder);
        QVERIFY(
            QFile::setPermissions(workingFolder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    }
    const QString settings = QDir(workingFolder).filePath(QStringLiteral("isdvokar.fig"));
    QString reason;
    {
        std::optional<Unprivileged> as;
        if (asUser)
            as.emplace();
        QFile probe(settings);
        QVERIFY(!probe.open(QIODevice::WriteOnly));
        reason = probe.errorString();
    }
    QProcess program;
    program.setWorkingDirectory(workingFolder);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(env);
    program.start(command.first(), command.mid(1));
    QVERIFY(program.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(catches(program.processId(), SIGTERM), 20000);
    ::kill(pid_t(program.processId()), SIGTERM);
    QVERIFY(program.waitForFinished(20000));
    QFile::setPermissions(folder.path(),
                          QFile::permissions(folder.path()) | QFileDevice::WriteOwner);
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
    const QString line = QStringLiteral("isdvokar: Cannot save \"%1\": %2\n").arg(settings, reason);
    QVERIFY2(errors.contains(line), qPrintable(errors));
}

void TestShutdown::refusesToStartWithoutDisplay() {
    TempFolder folder;
    QProcess program;
    program.setWorkingDirectory(folder.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QString::fromLatin1(name));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(ISDVOKAR_PATH), {});
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitCode(), 1);
    QVERIFY(program.readAllStandardError().contains("xvfb-run"));
    QVERIFY(!QFile::exists(folder.file(QStringLiteral("isdvokar.fig"))));
}

QTEST_GUILESS_MAIN(TestShutdown)
#include "tst_shutdown.moc"
