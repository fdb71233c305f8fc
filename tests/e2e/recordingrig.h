#pragma once

// The whole program recording into vokar-emu at real time while the real
// player plays into a private sound server: for the recording tests and the
// recording benchmark.
#include "app/formularz.h"
#include "app/startup.h"
#include "emuprocess.h"
#include "fakeprompter.h"
#include "files/player.h"
#include "link/comport.h"
#include "nullsinkserver.h"
#include "tempfolder.h"

#include <QObject>
#include <memory>

class RecordingRig {
public:
    static constexpr double RowSeconds = 0.150; // ISD 33060: 60 s over 400 rows
    static constexpr int ProgressMs = 100;

    // Starts the stand-in and the wired program; the sound server must run.
    bool start(NullSinkServer& sound_) {
        sound = &sound_;
        if (!emu.start(
                {QStringLiteral("--chip"), QStringLiteral("1"), QStringLiteral("--time-scale"),
                 QStringLiteral("1"), QStringLiteral("--progress-ms"), QString::number(ProgressMs),
                 QStringLiteral("--com"), QStringLiteral("1"), QStringLiteral("--ports-file"),
                 folder.file(QStringLiteral("isdvokar.ports"))}))
            return false;
        folder.write(QStringLiteral("isdvokar.fig"),
                     "VOKAR-1 Configuration File\r\n1\r\n1\r\n\r\n\r\n\r\n1\r\n");
        port = std::make_unique<TComPort>();
        player = std::make_unique<Player>();
        windows = createWindows(*port, player.get(), prompter, QStringLiteral("isdvokar.fig"));
        // After the window's own reply handling: the moment a progress reply
        // has been answered with the stop, and the end of the playback.
        QObject::connect(&w().ComPort1, &TCustomComPort::OnRxChar, [this](int) {
            if (stopWanted && !w().link.StopRequested && stopSentAt < 0)
                stopSentAt = sound->nowUSecs();
            stopWanted = w().link.StopRequested;
        });
        QObject::connect(player.get(), &MediaPlayer::OnNotify, [this] {
            if (notifiedAt < 0)
                notifiedAt = sound->nowUSecs();
            stopWanted = w().link.StopRequested;
        });
        return port->Active() && emu.waitForGreetingAnswered();
    }

    TFormularz& w() { return *windows.main; }
    void run(const char* action) { w().commands.action(QString::fromLatin1(action))->trigger(); }
    bool idle() { return w().link.LinkState == 3; }

    // Records `file` from address 0 without a stop address, as "Record File
    // to ISD" does, and waits until the programmer has finished.
    bool recordOne(const QString& file) {
        w().ListaPlikow.setCell(1, 1, QStringLiteral("00000"));
        w().ListaPlikow.setCell(2, 1, QStringLiteral("not used"));
        w().ListaPlikow.setCell(3, 1, file);
        w().availability.UpdateMenu();
        w().ListaPlikow.setRow(1);
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
        if (idle() || !NullSinkServer::waitFor([&] { return idle(); }, 20000) ||
            w().ListaNagran.cell(3, 1).isEmpty())
            return -1;
        const int start = w().ListaNagran.cell(1, 1).toInt();
        const int eom = w().ListaNagran.cell(3, 1).toInt();
        return (eom - start + 1) * RowSeconds;
    }

    TempFolder folder;
    EmuProcess emu;
    FakePrompter prompter;
    std::unique_ptr<TComPort> port;
    std::unique_ptr<Player> player;
    Windows windows;
    NullSinkServer* sound = nullptr;
    // On the sound server's clock; -1 until it happened.
    qint64 notifiedAt = -1;
    qint64 stopSentAt = -1;

private:
    bool stopWanted = false;
};
