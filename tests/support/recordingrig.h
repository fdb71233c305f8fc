#pragma once

// The whole program recording into vokar-emu at real time while the real
// player plays into a private sound server: for the recording tests and the
// recording benchmark. Its users link vokar_app and vokar_soundtestsupport.
#include "core/tablelayout.h"
#include "emuprogram.h"
#include "files/player.h"
#include "link/linkstate.h"
#include "nullsinkserver.h"

#include <QObject>

class RecordingRig : public EmuProgram {
public:
    static constexpr double RowSeconds = 0.150; // ISD 33060: 60 s over 400 rows
    static constexpr int ProgressMs = 100;

    // The window goes before the player it plays on.
    ~RecordingRig() { windows.main.reset(); }

    // Starts the stand-in at real time and the wired program on the real
    // player; the sound server must run.
    bool start(NullSinkServer& sound_) {
        sound = &sound_;
        if (!EmuProgram::start({QByteArray(), 1, QStringLiteral("1"), ProgressMs, {}},
                               SettingsFile().text(), &soundPlayer))
            return false;
        // After the window's own reply handling: the moment a progress reply
        // has been answered with the stop, and the end of the playback.
        QObject::connect(&port, &ComPort::OnRxChar, [this](int) {
            if (stopWanted && !state().link.StopRequested && stopSentAt < 0)
                stopSentAt = sound->nowUSecs();
            stopWanted = state().link.StopRequested;
        });
        QObject::connect(&soundPlayer, &MediaPlayer::OnNotify, [this] {
            if (notifiedAt < 0)
                notifiedAt = sound->nowUSecs();
            stopWanted = state().link.StopRequested;
        });
        return emu.waitForGreetingAnswered();
    }

    bool idle() { return state().link.LinkState == LinkContext::StateIdle; }

    // Records `file` from address 0 without a stop address, as "Record File
    // to ISD" does, and waits until the programmer has finished.
    bool recordOne(const QString& file) {
        StringGrid& files = state().fileGrid;
        files.setCell(FileColumn::Start, 1, QStringLiteral("00000"));
        files.setCell(FileColumn::Stop, 1, QStringLiteral("not used"));
        files.setCell(FileColumn::File, 1, file);
        state().availability.UpdateMenu();
        files.setRow(1);
        sound->clearSound();
        notifiedAt = stopSentAt = -1;
        stopWanted = false;
        run("RecordISD");
        return prompter.messages.isEmpty() &&
               NullSinkServer::waitFor([&] { return idle(); }, 20000);
    }

    // Scans the chip; the seconds of its first message, or -1.
    double firstMessageSeconds() {
        run("PlayfromISD2");
        const StringGrid& map = state().mapGrid;
        if (idle() || !NullSinkServer::waitFor([&] { return idle(); }, 20000) ||
            map.cell(MapColumn::Eom, 1).isEmpty())
            return -1;
        const int start = map.cell(MapColumn::Start, 1).toInt();
        const int eom = map.cell(MapColumn::Eom, 1).toInt();
        return (eom - start + 1) * RowSeconds;
    }

    Player soundPlayer;
    NullSinkServer* sound = nullptr;
    // On the sound server's clock; -1 until it happened.
    qint64 notifiedAt = -1;
    qint64 stopSentAt = -1;

private:
    bool stopWanted = false;
};
