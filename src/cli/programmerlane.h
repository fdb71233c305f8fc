#pragma once

#include "cliaddressinput.h"
#include "cliprompter.h"
#include "core/handler.h"
#include "files/filelist.h"
#include "files/localplayback.h"
#include "files/player.h"
#include "files/tablescontext.h"
#include "link/chiplink.h"
#include "link/linkprogress.h"
#include "link/serialcomport.h"
#include "loggingcomport.h"
#include "map/mapfile.h"
#include "plan/planmodel.h"
#include "plan/recordverifier.h"
#include "state/programstate.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <memory>
#include <optional>

class FrameLog;
class SoundLengths;

// One programmer, driven without a window: its port, its player on its own
// sound output, and the program's state with the chip link composed over it,
// exactly as the window composes it. A job runs the window's own commands
// (through the state's handler table) and watches the state after every reply
// until the link is idle again; what the window would show in a box comes
// through the prompter and decides how the job ended.
class ProgrammerLane : public QObject {
    Q_OBJECT
public:
    struct Setup {
        QString port;      // "COM1", or a device path
        int chipType = 1;  // catalogue index
        QByteArray output; // the sound output's id; empty: the default output
        FrameLog* log = nullptr;
        // How long the programmer may be silent while a job runs; a scan or
        // check may take as long again as it needs to skip the whole chip.
        int silenceMs = 5000;
    };

    enum class Job { None, Record, Verify, Scan, Erase, Play, Probe };

    struct Result {
        int exitCode = 0;
        QString outcome; // one word or two: "verified", "differs", "no chip", ...
        QString reason;  // what happened, in a sentence; empty when all is well
        double seconds = 0;
        std::optional<RecordVerifier::Result> verify;
        bool chipAnswered = false; // a probe found a chip
    };

    ProgrammerLane(const Setup& setup, SoundLengths& lengths, QObject* parent = nullptr);
    ~ProgrammerLane() override;

    // Opens the port and tells the programmer the chip type. False when the
    // port cannot be opened; result() says why.
    bool connectProgrammer();
    void disconnectProgrammer();

    // Loads a file list into the table as "Open Table" does and checks that
    // every file in it can be read as sound. False with the result set when
    // not (a file problem).
    bool loadList(const QString& path);

    // Each job runs to its end and then emits finished(); result() tells how
    // it went. The port must be connected.
    void record();
    void verify();
    void scan();
    void erase();
    void play(const QString& address);
    // Is a chip in the socket? A scan from the start, stopped at its first
    // reply; "<" means no.
    void probe();
    // Ctrl-C: the running job is stopped as the window's Stop stops it.
    void interrupt();

    // The memory map as a map file (".mpp"); false when it could not be
    // written (the message says why).
    bool writeMap(const QString& path);

    bool busy() const { return job != Job::None; }
    Job currentJob() const { return job; }
    Job lastJob() const { return finishedJob; }
    const Result& result() const { return outcome; }
    QString label() const { return setup.port; }
    QString device() const { return serial.deviceName(); }
    QByteArray output() const { return setup.output; }
    QString chipName() const;
    const ProgramState& programState() const { return state; }
    const CliPrompter& messages() const { return prompter; }
    // The table's files (rows 1 on).
    int tableFiles() const;

    // What runs now, for a terminal line, with the time left where it can be
    // told; and the coarse step, for plain progress lines.
    QString statusLine();
    QString phase() const { return currentPhase; }

signals:
    void finished();
    void phaseChanged(const QString& phase);
    // Each message the window would have shown in a box.
    void message(const QString& text);

private:
    enum class Step { None, Recording, Checking, Scanning, Erasing, Playing, Probing };

    void startJob(Job kind, Step first);
    void startStep(Step next, Handler handler);
    void afterReply();
    void stepEnded();
    void onMessage(const CliPrompter::Message& message);
    // Ends the running job from outside the replies (silence, the line gone).
    void abort(int exitCode, const QString& outcomeText, const QString& reason);
    void finish(int exitCode, const QString& outcomeText, const QString& reason = QString());
    void silence();
    void armWatch();
    void setPhase(const QString& text);
    void updatePhase();
    qint64 timeLeftMs();
    qint64 fileMs(int row) const;

    Setup setup;
    SoundLengths& lengths;
    SerialComPort serial;
    LoggingComPort port;
    Player player;
    CliPrompter prompter;
    ProgramState state;
    CliAddressInput address;
    std::unique_ptr<ChipLink> link;
    LocalPlayback playback;
    TablesContext tables;
    FileList fileList;
    PlanModel plan;
    std::unique_ptr<LinkProgress> progress;

    Job job = Job::None;
    Job finishedJob = Job::None;
    Step step = Step::None;
    Result outcome;
    std::optional<Result> failure;
    bool interrupted = false;
    bool noChipSeen = false;
    bool answered = false; // the programmer has said anything at all since connecting
    qint64 bytesAtConnect = 0;
    QElapsedTimer jobClock;
    QTimer watch;
    QTimer interruptGrace;
    QString currentPhase;
    QString progressText;
    int shownRow = -1;
    qint64 rowSince = 0;
};
