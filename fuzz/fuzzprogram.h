#pragma once

#include "app/mainwindow.h"
#include "app/startup.h"
#include "fakecomport.h"
#include "fakeplayer.h"
#include "fakeprompter.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

// What the fuzz targets share: one offscreen application per process, a
// scratch folder for the settings and other files, and
// the wired program on the fake port and player, brought back to one state
// before each input so that a crash found once is found again from the same
// input.
namespace Fuzz {

// Starts the application the first time; later calls do nothing.
void startApplication();
// The scratch working folder of this process.
QString folder();
// A promise of the program was broken: say which, and stop so that the
// fuzzer keeps the input.
[[noreturn]] void fail(const char* what);

// A settings file: COM1, opened at start, the given chip type.
QByteArray settings(int chipType);

// The fuzzer's input as a file the program is to load.
void writeInput(const QString& name, const std::uint8_t* data, std::size_t size);
// A file's bytes; empty when it cannot be read.
QByteArray readFile(const QString& name);

} // namespace Fuzz

struct FuzzProgram {
    FakeComPort port;
    FakePlayer player;
    FakePrompter prompter;
    Windows windows;

    // Writes `settingsFile` as the settings file and starts the program on it.
    explicit FuzzProgram(const QByteArray& settingsFile);
    ~FuzzProgram();

    MainWindow& w() { return *windows.main; }
    ProgramState& state() { return windows.main->state(); }
    // A command as the user chooses it: a disabled one does nothing.
    void run(const char* action);
    // The chip's Stop.
    void stop();
    // Two files in the file table and two records in the map, so that every
    // chip operation can start.
    void fillTables();
    // Forgets the frames sent and the messages shown so far, which would
    // otherwise only grow from input to input.
    void forgetOutput();
    // Back to the state after start-up with `chipType` chosen, the port open
    // and the tables filled, so that one program serves many inputs (a new
    // one for each costs far more than the input itself).
    void reset(int chipType);
};
