// Walks a new user's way through planning against the stand-in and saves a
// picture of the window at each step: add three sound files, plan their
// addresses, record the table, check and verify, export the header.
//
//   plan_screenshots <folder>     (QT_QPA_PLATFORM=offscreen works)

#include "core/tablelayout.h"
#include "emuprogram.h"
#include "testsounds.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLabel>
#include <QTabWidget>
#include <QTest>
#include <cstdio>
#include <sndfile.h>

namespace {

bool waitFor(const std::function<bool()>& done, int ms = 20000) {
    const QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QTest::qWait(20);
    return done();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: plan_screenshots <folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    EmuProgram program;
    if (!program.start({"vokar-emu image\nchip 1\n", 1, QStringLiteral("0.02"), 0, {}}))
        return 1;
    const TempFolder& folder = program.folder;
    EmuProcess& emu = program.emu;
    FakePrompter& prompter = program.prompter;
    MainWindow& w = program.w();
    w.resize(760, 520);
    w.show();
    auto run = [&w](const char* name) {
        w.state().commands.action(QString::fromLatin1(name))->trigger();
    };
    auto shoot = [&w, &out](const char* name) {
        QTest::qWait(100);
        w.grab().save(out.filePath(QString::fromLatin1(name)));
    };
    if (!waitFor([&emu] { return emu.logContains(QStringLiteral("SetChip")); }))
        return 1;

    const QPair<const char*, double> sounds[] = {
        {"welcome.wav", 12.0}, {"door-open.wav", 4.5}, {"goodbye.wav", 9.0}};
    for (const auto& [name, seconds] : sounds) {
        const QString path = folder.file(QString::fromLatin1(name));
        TestSounds::writeToneWav(path, 8000, 1, seconds, SF_FORMAT_PCM_16);
        prompter.answers = {path};
        run("LoadFile1");
    }
    shoot("plan-1-files.png");
    run("PlanAddresses");
    shoot("plan-2-planned.png");
    run("RecTable");
    if (!waitFor([&] {
            return w.state().link.LinkState == 3 &&
                   !w.state().fileGrid.cell(FileColumn::Start, 3).isEmpty() &&
                   emu.log().filter(QStringLiteral("Record start")).size() == 3;
        }))
        return 1;
    run("CheckRecords1");
    auto* status = w.findChild<QLabel*>(QStringLiteral("PlanStatus"));
    if (!waitFor([status] { return status->text().startsWith(QStringLiteral("Verified")); }))
        return 1;
    shoot("plan-3-verified.png");
    w.pages()->setCurrentIndex(0);
    prompter.answers = {out.filePath(QStringLiteral("isd_messages.h"))};
    run("ExportAddresses");
    shoot("plan-4-exported.png");
    std::printf("%s\n", qPrintable(status->text()));
    return 0;
}
