#include "app/guardedapplication.h"
#include "app/icons.h"
#include "app/mainwindow.h"
#include "app/startup.h"
#include "app/windowmemory.h"
#include "core/apperror.h"
#include "core/apptitle.h"
#include "core/configfile.h"
#include "core/signalbridge.h"
#include "core/usersettings.h"
#include "files/player.h"
#include "link/serialcomport.h"
#include "widgets/qtprompter.h"

#include <QMessageBox>
#include <QScreen>
#include <cstdio>
#include <cstdlib>

namespace {

bool displayAvailable() {
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
    return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("DISPLAY") ||
           qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

void lastResort(const QString& message) {
    QMessageBox::information(nullptr, appTitle(), QStringLiteral("Rypła się aplikacja"));
    QMessageBox::critical(nullptr, appTitle(), message);
}

} // namespace

int main(int argc, char** argv) {
    if (!displayAvailable()) {
        std::fputs("isdvokar: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                   "Run it under a virtual display: xvfb-run -a isdvokar\n",
                   stderr);
        return EXIT_FAILURE;
    }
    GuardedApplication app(argc, argv);
    QApplication::setApplicationName(appTitle());
    QApplication::setWindowIcon(Icons::application());
    try {
        QtPrompter prompter;
        SerialComPort port;
        SignalBridge signals_;
        Player player;
        Windows windows = createWindows(port, &player, prompter, ConfigFile::defaultName());
        MainWindow& main = *windows.main;
        prompter.setParent(&main);
        // Ended by the system: no box and no question may hold the program up.
        QObject::connect(&signals_, &SignalBridge::terminationRequested, &main,
                         &MainWindow::closeOnSignal);
        // Where the user left it; the first time centred on the screen.
        WindowMemory memory(main, UserSettings::path());
        if (!memory.restore()) {
            if (const QScreen* screen = main.screen())
                main.move(screen->availableGeometry().center() - main.rect().center());
        }
        main.show();
        const int result = QApplication::exec();
        // A window closed by the system rather than by the user still saves.
        main.shutDown();
        memory.save();
        return result;
    } catch (const AppError& error) {
        lastResort(error.message());
    } catch (const std::exception& error) {
        lastResort(QString::fromLocal8Bit(error.what()));
    }
    return EXIT_FAILURE;
}
