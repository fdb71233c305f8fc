#include "fuzzprogram.h"

#include "tempfolder.h"

#include <QApplication>
#include <QFile>
#include <cstdio>
#include <cstdlib>

namespace {

QApplication* application = nullptr;
TempFolder* scratch = nullptr;

} // namespace

void Fuzz::startApplication() {
    if (application)
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The program's messages about bad input are expected by the thousand.
    qputenv("QT_LOGGING_RULES", "*.debug=false;*.warning=false");
    static int argc = 1;
    static char name[] = "vokar-fuzz";
    static char* argv[] = {name, nullptr};
    application = new QApplication(argc, argv);
    scratch = new TempFolder;
}

QString Fuzz::folder() {
    return scratch->path();
}

void Fuzz::fail(const char* what) {
    std::fprintf(stderr, "broken promise: %s\n", what);
    std::abort();
}

QByteArray Fuzz::settings(int chipType) {
    return "VOKAR-1 Configuration File\r\n1\r\n" + QByteArray::number(chipType) +
           "\r\n\r\n\r\n\r\n1\r\n";
}

FuzzProgram::FuzzProgram(const QByteArray& settingsFile) {
    scratch->write(QStringLiteral("isdvokar.fig"), settingsFile);
    windows = createWindows(port, &player, prompter, QStringLiteral("isdvokar.fig"));
}

FuzzProgram::~FuzzProgram() {
    // The window must go before the fakes it refers to.
    windows.main.reset();
}

void FuzzProgram::run(const char* action) {
    if (QAction* command = w().commands.action(QString::fromLatin1(action)))
        command->trigger();
}

void FuzzProgram::stop() {
    w().runHandler(QStringLiteral("SpeedButton1Click"));
}

void FuzzProgram::fillTables() {
    StringGrid& files = w().ListaPlikow;
    files.setCell(1, 1, QStringLiteral("00000"));
    files.setCell(2, 1, QStringLiteral("not used"));
    files.setCell(3, 1, QStringLiteral("/sounds/one.wav"));
    files.setCell(1, 2, QStringLiteral("not used"));
    files.setCell(2, 2, QStringLiteral("00200"));
    files.setCell(3, 2, QStringLiteral("/sounds/two.wav"));
    StringGrid& map = w().ListaNagran;
    const char* record[][4] = {{"00000", "0000", "00099", "0063"},
                               {"00100", "0064", "00149", "0095"}};
    for (int row = 1; row <= 2; ++row) {
        for (int col = 1; col <= 4; ++col)
            map.setCell(col, row, QString::fromLatin1(record[row - 1][col - 1]));
    }
    w().availability.UpdateMenu();
    w().availability.mapLoaded();
}
