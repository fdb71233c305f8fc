#pragma once

#include "app/formularz.h"
#include "app/startup.h"
#include "fakecomport.h"
#include "fakeplayer.h"
#include "fakeprompter.h"

#include <QByteArray>
#include <QString>

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

} // namespace Fuzz

struct FuzzProgram {
    FakeComPort port;
    FakePlayer player;
    FakePrompter prompter;
    Windows windows;

    // Writes `settingsFile` as the settings file and starts the program on it.
    explicit FuzzProgram(const QByteArray& settingsFile);
    ~FuzzProgram();

    TFormularz& w() { return *windows.main; }
    // A command as the user chooses it: a disabled one does nothing.
    void run(const char* action);
    // The chip's Stop.
    void stop();
    // Two files in the file table and two records in the map, so that every
    // chip operation can start.
    void fillTables();
    // Back to the state after start-up with `chipType` chosen, the port open
    // and the tables filled, so that one program serves many inputs (a new
    // one for each costs far more than the input itself).
    void reset(int chipType);
};
