#include "settingsfile.h"
#include "tempfolder.h"

#include <QFile>
#include <QProcess>
#include <QTest>

#include <csignal>

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
