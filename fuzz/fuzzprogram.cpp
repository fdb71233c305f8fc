#include "fuzzprogram.h"

#include "core/tablelayout.h"
#include "settingsfile.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace {

QApplication* application = nullptr;
QTemporaryDir* scratch = nullptr;

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
    // Not made the working folder: libFuzzer takes its paths from there.
    scratch = new QTemporaryDir;
    // One program before the first input: fonts, styles and the platform
    // keep caches for the life of the process, which a leak check after the
    // first input would otherwise count against it.
    FuzzProgram warmUp(settings(1));
    warmUp.fillTables();
    warmUp.w().show();
    warmUp.run("PlayfromISD2");
    warmUp.stop();
}

void Fuzz::writeInput(const QString& name, const std::uint8_t* data, std::size_t size) {
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        fail("cannot write the input file");
    file.write(reinterpret_cast<const char*>(data), qint64(size));
}

QByteArray Fuzz::readFile(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// libFuzzer calls this once before any input.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Fuzz::startApplication();
    return 0;
}

QString Fuzz::folder() {
    return scratch->path();
}

void Fuzz::fail(const char* what) {
    std::fprintf(stderr, "broken promise: %s\n", what);
    std::abort();
}

QByteArray Fuzz::settings(int chipType) {
    return SettingsFile().chipType(chipType).text();
}

FuzzProgram::FuzzProgram(const QByteArray& settingsFile) {
    const QString path = scratch->filePath(QStringLiteral("isdvokar.fig"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(settingsFile) != settingsFile.size())
        Fuzz::fail("cannot write the settings file");
    file.close();
    windows = createWindows(port, &player, prompter, path);
}

FuzzProgram::~FuzzProgram() {
    // The window must go before the fakes it refers to.
    windows.main.reset();
}

void FuzzProgram::run(const char* action) {
    if (QAction* command = w().state().commands.action(QString::fromLatin1(action)))
        command->trigger();
}

void FuzzProgram::stop() {
    w().state().handlers.run(Handler::StopChip);
}

void FuzzProgram::reset(int chipType) {
    if (player.IsPlaying())
        player.Stop();
    if (!port.Active())
        port.Open();
    port.PurgeRead();
    w().state().link = LinkContext{};
    w().state().chip.ChipType = qint8(chipType);
    w().state().chip.ApplyChipType();
    for (StringGrid* grid : {&w().state().fileGrid, &w().state().mapGrid}) {
        grid->setRowCount(TableLayout::StartRows);
        for (int row = 1; row < grid->RowCount(); ++row) {
            for (int col = 1; col < grid->ColCount(); ++col)
                grid->setCell(col, row, QString());
        }
    }
    fillTables();
    forgetOutput();
    player.calls.clear();
    prompter.answers.clear();
}

void FuzzProgram::forgetOutput() {
    port.written.clear();
    prompter.messages.clear();
    prompter.errors.clear();
    prompter.shown.clear();
}

void FuzzProgram::fillTables() {
    StringGrid& fileGrid = w().state().fileGrid;
    fileGrid.setCell(FileColumn::Start, 1, QStringLiteral("00000"));
    fileGrid.setCell(FileColumn::Stop, 1, QStringLiteral("not used"));
    fileGrid.setCell(FileColumn::File, 1, QStringLiteral("/sounds/one.wav"));
    fileGrid.setCell(FileColumn::Start, 2, QStringLiteral("not used"));
    fileGrid.setCell(FileColumn::Stop, 2, QStringLiteral("00200"));
    fileGrid.setCell(FileColumn::File, 2, QStringLiteral("/sounds/two.wav"));
    StringGrid& mapGrid = w().state().mapGrid;
    const char* record[][4] = {{"00000", "0000", "00099", "0063"},
                               {"00100", "0064", "00149", "0095"}};
    for (int row = 1; row <= 2; ++row) {
        for (int col = 1; col <= 4; ++col)
            mapGrid.setCell(col, row, QString::fromLatin1(record[row - 1][col - 1]));
    }
    w().state().availability.UpdateMenu();
    w().state().availability.mapLoaded();
}
