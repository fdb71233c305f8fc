#include "clioptions.h"
#include "clirun.h"
#include "exitcode.h"

#include <QGuiApplication>
#include <cstdio>

// isdvokar-cli: the programmer's chip operations from a shell or a script,
// on the window's own logic. See the man page isdvokar-cli(1).
int main(int argc, char** argv) {
    // The program's state holds its commands as QActions, which want a GUI
    // application; it never shows anything, so it needs no display.
    qputenv("QT_QPA_PLATFORM", "minimal");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("isdvokar-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ISDVOKAR_VERSION));
    CliOptions options;
    QString error;
    if (!options.parse(app, error)) {
        std::fprintf(stderr, "isdvokar-cli: %s\n", error.toLocal8Bit().constData());
        return ExitCode::Usage;
    }
    CliRun run(options);
    QObject::connect(&run, &CliRun::finished, &app, [](int code) { QCoreApplication::exit(code); });
    const int done = run.start();
    if (done >= 0)
        return done;
    return QCoreApplication::exec();
}
