#pragma once

#include "app/mainwindow.h"
#include "app/startup.h"
#include "fakecomport.h"
#include "fakeplayer.h"
#include "fakeprompter.h"
#include "settingsfile.h"
#include "tempfolder.h"

#include <QByteArray>

// The program as start-up builds it on a port of the test's choice, in a
// scratch working folder, with the fake player and prompter (or a player the
// test brings). The window goes before the parts it refers to.
template <typename Port> class WiredProgramOn {
public:
    WiredProgramOn() = default;
    WiredProgramOn(const WiredProgramOn&) = delete;
    WiredProgramOn& operator=(const WiredProgramOn&) = delete;
    ~WiredProgramOn() { windows.main.reset(); }

    TempFolder folder;
    Port port;
    FakePlayer player;
    FakePrompter prompter;
    Windows windows;

    MainWindow& w() { return *windows.main; }
    ProgramState& state() { return windows.main->state(); }
    // A command as the user chooses it, by control name: a disabled one does
    // nothing.
    void run(const char* control) {
        state().commands.action(QString::fromLatin1(control))->trigger();
    }
    bool enabled(const char* control) {
        return state().commands.isEnabled(QString::fromLatin1(control));
    }

protected:
    // Writes `settings` as the settings file (none when empty: a first start)
    // and starts the program on it; `otherPrompter` puts up real boxes.
    void startProgram(const QByteArray& settings, MediaPlayer* otherPlayer = nullptr,
                      Prompter* otherPrompter = nullptr) {
        if (!settings.isEmpty())
            folder.write(SettingsFile::name(), settings);
        windows = createWindows(port, otherPlayer != nullptr ? otherPlayer : &player,
                                otherPrompter != nullptr ? *otherPrompter : prompter,
                                SettingsFile::name());
    }
};

// The wired program on the fake port: a test feeds the programmer's replies
// and reads the frames the program wrote.
class FakeProgram : public WiredProgramOn<FakeComPort> {
public:
    explicit FakeProgram(const QByteArray& settings = QByteArray(),
                         MediaPlayer* otherPlayer = nullptr, Prompter* otherPrompter = nullptr) {
        startProgram(settings, otherPlayer, otherPrompter);
    }

    // A reply from the programmer.
    void answer(char code, int address = 0, char power = '0') {
        port.feed(replyFrame(code, address, power));
    }
    QByteArray lastFrame() const {
        return port.written.isEmpty() ? QByteArray() : port.written.last();
    }
    int sent() const { return int(port.written.size()); }
};
