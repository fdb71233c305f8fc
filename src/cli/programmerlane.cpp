#include "programmerlane.h"

#include "chips/chipcatalogue.h"
#include "core/configfile.h"
#include "core/guard.h"
#include "core/stringgrid.h"
#include "core/tablelayout.h"
#include "exitcode.h"
#include "files/outputdevices.h"
#include "files/soundoutput.h"
#include "framelog.h"
#include "link/linkstate.h"
#include "plan/chipgeometry.h"
#include "plan/fitcheck.h"
#include "plan/soundlengths.h"

#include <QFileInfo>

namespace {

// After Ctrl-C the programmer's next report carries the stop to it.
constexpr int InterruptGraceMs = 3000;

// The texts the window shows in a box, and what each means for a job run
// from the command line. Anything else ends the job as a fault.
struct Meaning {
    const char* text;
    int exitCode;
    const char* outcome;
};
const Meaning meanings[] = {
    {"Device not detected !", ExitCode::NoProgrammer, "no chip"},
    {"ISD max adress error", ExitCode::LineFault, "address error"},
    {"ISD memory overflow !", ExitCode::LineFault, "memory overflow"},
    {"Circular memory structure fail!", ExitCode::LineFault, "circular memory fault"},
    {"File not found", ExitCode::FileProblem, "file problem"},
};
// Told, but the job goes on, as in the window.
const char* const remarks[] = {"Communication error", "Please select right ISD device"};

} // namespace

ProgrammerLane::ProgrammerLane(const Setup& setup_, SoundLengths& lengths_, QObject* parent)
    : QObject(parent), setup(setup_), lengths(lengths_), port(serial, setup_.log, setup_.port),
      state(port, &player, prompter), address(state.chip),
      playback(&player, state.fileGrid, state.availability, state.link, prompter),
      tables{state.fileGrid,
             state.mapGrid,
             state.panel,
             state.chip,
             state.availability,
             prompter,
             state.openDialog,
             state.saveDialog,
             state.folders,
             state.soundFileType,
             state.listFileName,
             address,
             {},
             {},
             {},
             {},
             {}},
      fileList(tables), plan(state.fileGrid, state.mapGrid, state.panel, state.chip, lengths) {
    state.setUp(ConfigFile::defaultName());
    player.OutputDevice = setup.output;
    link = std::make_unique<ChipLink>(state, address, std::function<void()>());
    // The end of a file's sound asks the programmer to stop recording it, as
    // in the window.
    state.handlers.set(Handler::PlaybackEnded, [this] { playback.playbackEnded(); });
    state.handlers.set(Handler::StopPlayback, [this] { playback.stopPlayback(); });
    connect(&player, &MediaPlayer::OnNotify, this, [this] {
        if (setup.log != nullptr && state.link.LinkState != LinkContext::StateIdle)
            setup.log->note(setup.port, QStringLiteral("sound ends"));
        state.handlers.run(Handler::PlaybackEnded);
    });
    prompter.onMessage = [this](const CliPrompter::Message& m) { onMessage(m); };
    // After the chip link's own handling of the same bytes.
    connect(&port, &ComPort::OnRxChar, this, [this] {
        answered = answered || port.bytesRead() > bytesAtConnect;
        if (job != Job::None && !interrupted)
            armWatch();
        afterReply();
    });
    connect(&port, &ComPort::vanished, this, [this](const QString& reason) {
        abort(ExitCode::LineFault, QStringLiteral("disconnected"),
              QStringLiteral("The programmer went away (%1)").arg(reason));
    });
    progress = std::make_unique<LinkProgress>(
        LinkProgress::Sources{state.link, state.chip, state.fileGrid, state.mapGrid, player},
        [this] { return jobClock.isValid() ? jobClock.elapsed() : 0; },
        [this] { return lengths.known(player.FileName).value_or(0) / 1000; });
    watch.setSingleShot(true);
    connect(&watch, &QTimer::timeout, this, &ProgrammerLane::silence);
    interruptGrace.setSingleShot(true);
    interruptGrace.setInterval(InterruptGraceMs);
    connect(&interruptGrace, &QTimer::timeout, this, [this] {
        if (job != Job::None)
            finish(ExitCode::Interrupted, QStringLiteral("interrupted"),
                   QStringLiteral("Stopped by the user"));
    });
}

ProgrammerLane::~ProgrammerLane() {
    disconnectProgrammer();
}

QString ProgrammerLane::chipName() const {
    const ChipInfo* info = ChipCatalogue::find(setup.chipType);
    return info != nullptr ? QString::fromLatin1(info->name) : QString();
}

int ProgrammerLane::tableFiles() const {
    int row = 1;
    while (row < state.fileGrid.RowCount() && !state.fileGrid.cell(FileColumn::File, row).isEmpty())
        ++row;
    return row - 1;
}

bool ProgrammerLane::connectProgrammer() {
    const QString portText = setup.port;
    bool isNumber = false;
    const int number = portText.startsWith(QLatin1String("COM"), Qt::CaseInsensitive)
                           ? portText.mid(3).toInt(&isNumber)
                           : 0;
    try {
        if (isNumber && number > 0)
            serial.setPortNum(number);
        else
            serial.setDevice(portText);
        port.Open();
    } catch (const ComPortError& error) {
        outcome = {};
        outcome.exitCode = ExitCode::NoProgrammer;
        outcome.outcome = QStringLiteral("no programmer");
        outcome.reason = error.detail.isEmpty() ? error.message()
                                                : error.message() + QLatin1Char(' ') + error.detail;
        return false;
    }
    bytesAtConnect = port.bytesRead();
    answered = false;
    state.panel.setText(PanelTexts::PortNumber, portText);
    // As the chip type dialog does at start: the type applied, and sent.
    state.chip.ChipType = qint8(setup.chipType);
    state.chip.ApplyChipType();
    return true;
}

void ProgrammerLane::disconnectProgrammer() {
    if (player.IsPlaying()) {
        state.link.IgnorePlayEnd = true;
        player.Stop();
    }
    player.Close();
    if (port.Active())
        port.Close();
}

bool ProgrammerLane::loadList(const QString& path) {
    const auto problem = [this](const QString& reason) {
        outcome = {};
        outcome.exitCode = ExitCode::FileProblem;
        outcome.outcome = QStringLiteral("file problem");
        outcome.reason = reason;
        return false;
    };
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        return problem(QStringLiteral("Cannot read the file list %1").arg(path));
    const int shownBefore = int(prompter.messages().size());
    prompter.answerOpen(info.absoluteFilePath());
    runGuarded(prompter, [this] { fileList.openTable(); });
    prompter.answerOpen(QString());
    if (prompter.messages().size() > shownBefore)
        return problem(QStringLiteral("%1: %2").arg(path, prompter.messages().last().text));
    const int files = tableFiles();
    if (files == 0)
        return problem(QStringLiteral("%1 holds no sound files").arg(path));
    for (int row = 1; row <= files; ++row) {
        const QString sound = state.fileGrid.cell(FileColumn::File, row);
        if (!lengths.now(sound))
            return problem(QStringLiteral("%1, row %2: %3 cannot be read as sound")
                               .arg(path)
                               .arg(row)
                               .arg(sound));
    }
    return true;
}

void ProgrammerLane::startJob(Job kind, Step first) {
    job = kind;
    outcome = {};
    failure.reset();
    interrupted = false;
    noChipSeen = false;
    player.openFailure.clear();
    jobClock.start();
    shownRow = -1;
    static const Handler firstHandler[] = {
        Handler::None,  Handler::RecordTable,  Handler::CheckRecords, Handler::MemoryScan,
        Handler::Erase, Handler::PlayFromChip, Handler::MemoryScan};
    startStep(first, firstHandler[int(first)]);
}

void ProgrammerLane::startStep(Step next, Handler handler) {
    step = next;
    state.handlers.run(handler);
    if (next == Step::Probing)
        // Stopped at its first reply, whatever that is.
        state.handlers.run(Handler::StopChip);
    updatePhase();
    if (failure) {
        // The command itself failed (a file that does not open).
        finish(failure->exitCode, failure->outcome, failure->reason);
        return;
    }
    if (next != Step::Probing && state.link.LinkState == LinkContext::StateIdle) {
        // The command sent nothing: output was still pending on the line.
        finish(ExitCode::LineFault, QStringLiteral("line busy"),
               QStringLiteral("The programmer's line did not take the command"));
        return;
    }
    armWatch();
}

void ProgrammerLane::record() {
    if (!OutputDevices::isPresent(setup.output)) {
        finishedJob = Job::Record;
        outcome = {};
        outcome.exitCode = ExitCode::LineFault;
        outcome.outcome = QStringLiteral("no sound output");
        outcome.reason = setup.output.isEmpty()
                             ? QStringLiteral("There is no sound output to play the files on")
                             : QStringLiteral("The sound output %1 is gone")
                                   .arg(QString::fromUtf8(setup.output));
        emit finished();
        return;
    }
    startJob(Job::Record, Step::Recording);
}

void ProgrammerLane::verify() {
    startJob(Job::Verify, Step::Checking);
}

void ProgrammerLane::scan() {
    startJob(Job::Scan, Step::Scanning);
}

void ProgrammerLane::erase() {
    startJob(Job::Erase, Step::Erasing);
}

void ProgrammerLane::play(const QString& text) {
    address.setAnswer(text);
    state.handlers.run(Handler::ChangeCurrentAddress);
    startJob(Job::Play, Step::Playing);
}

void ProgrammerLane::probe() {
    startJob(Job::Probe, Step::Probing);
}

void ProgrammerLane::interrupt() {
    if (job == Job::None || interrupted)
        return;
    interrupted = true;
    watch.stop();
    // The window's Stop: the player stops now, the programmer at its next
    // report.
    state.handlers.run(step == Step::Recording ? Handler::StopPlayback : Handler::StopChip);
    interruptGrace.start();
}

bool ProgrammerLane::writeMap(const QString& path) {
    return MapFile(tables).writeMapFile(path);
}

void ProgrammerLane::onMessage(const CliPrompter::Message& m) {
    emit message(m.text);
    for (const char* remark : remarks) {
        if (m.text == QLatin1String(remark))
            return;
    }
    if (step == Step::Probing && m.text == QLatin1String("Device not detected !")) {
        noChipSeen = true;
        return;
    }
    if (failure || job == Job::None)
        return;
    Result r;
    r.exitCode = ExitCode::LineFault;
    r.outcome = QStringLiteral("fault");
    r.reason = m.text;
    for (const Meaning& meaning : meanings) {
        if (m.text == QLatin1String(meaning.text)) {
            r.exitCode = meaning.exitCode;
            r.outcome = QString::fromLatin1(meaning.outcome);
        }
    }
    // A sound file the player cannot open, for whatever reason it gives, is
    // a file problem; a chosen sound output that has gone is not.
    if (!player.openFailure.isEmpty()) {
        const bool outputGone =
            !player.OutputDevice.isEmpty() &&
            player.openFailure == SoundOutput::noSuchOutputText(player.OutputDevice);
        r.exitCode = outputGone ? ExitCode::LineFault : ExitCode::FileProblem;
        r.outcome = outputGone ? QStringLiteral("no sound output") : QStringLiteral("file problem");
    }
    // Shown from inside a reply or a command, which has left the link as
    // the window would: the job ends once that has returned.
    failure = r;
    QTimer::singleShot(0, this, [this] {
        if (failure && job != Job::None && state.link.LinkState == LinkContext::StateIdle)
            finish(failure->exitCode, failure->outcome, failure->reason);
    });
}

void ProgrammerLane::abort(int exitCode, const QString& outcomeText, const QString& reason) {
    if (job == Job::None)
        return;
    if (player.IsPlaying()) {
        state.link.IgnorePlayEnd = true;
        player.Stop();
    }
    state.link.LinkState = LinkContext::StateIdle;
    state.link.StopRequested = false;
    finish(exitCode, outcomeText, reason);
}

void ProgrammerLane::silence() {
    if (!answered)
        abort(ExitCode::NoProgrammer, QStringLiteral("no programmer"),
              QStringLiteral("No programmer answers on %1").arg(serial.deviceName()));
    else
        abort(ExitCode::LineFault, QStringLiteral("silent"),
              QStringLiteral("The programmer stopped answering"));
}

void ProgrammerLane::armWatch() {
    int limit = setup.silenceMs;
    if (step == Step::Scanning || step == Step::Checking || step == Step::Probing) {
        // The programmer skips through empty rows 16 times as fast as it plays.
        const ChipGeometry chip = ChipGeometry::of(state.chip);
        limit += int(chip.rowCount() * chip.rowSeconds * 1000 / 16);
    }
    watch.start(limit);
}

void ProgrammerLane::afterReply() {
    if (job == Job::None)
        return;
    updatePhase();
    if (failure && state.link.LinkState == LinkContext::StateIdle) {
        finish(failure->exitCode, failure->outcome, failure->reason);
        return;
    }
    if (interrupted) {
        if (state.link.LinkState == LinkContext::StateIdle && !state.link.StopRequested)
            finish(ExitCode::Interrupted, QStringLiteral("interrupted"),
                   QStringLiteral("Stopped by the user"));
        return;
    }
    if (state.link.LinkState == LinkContext::StateIdle)
        stepEnded();
}

void ProgrammerLane::stepEnded() {
    switch (step) {
    case Step::Recording:
        // Every file recorded: read the records back.
        startStep(Step::Checking, Handler::CheckRecords);
        return;
    case Step::Checking: {
        const RecordVerifier::Result verdict = plan.verifyNow();
        outcome.verify = verdict;
        if (verdict.allMatch())
            finish(ExitCode::Done, QStringLiteral("verified"));
        else
            finish(ExitCode::Differs, QStringLiteral("differs"), verdict.summary);
        return;
    }
    case Step::Scanning:
        finish(ExitCode::Done, QStringLiteral("scanned"));
        return;
    case Step::Erasing:
        finish(ExitCode::Done, QStringLiteral("erased"));
        return;
    case Step::Playing:
        finish(ExitCode::Done, QStringLiteral("played"));
        return;
    case Step::Probing:
        outcome.chipAnswered = !noChipSeen;
        finish(ExitCode::Done, noChipSeen ? QStringLiteral("no chip") : QStringLiteral("chip"));
        return;
    case Step::None:
        return;
    }
}

void ProgrammerLane::finish(int exitCode, const QString& outcomeText, const QString& reason) {
    watch.stop();
    interruptGrace.stop();
    const Job ended = job;
    job = Job::None;
    step = Step::None;
    finishedJob = ended;
    std::optional<RecordVerifier::Result> verdict = outcome.verify;
    outcome.exitCode = exitCode;
    outcome.outcome = outcomeText;
    outcome.reason = reason;
    outcome.verify = verdict;
    outcome.seconds = jobClock.isValid() ? double(jobClock.elapsed()) / 1000.0 : 0;
    setPhase(outcomeText);
    emit finished();
}

qint64 ProgrammerLane::fileMs(int row) const {
    return lengths.known(state.fileGrid.cell(FileColumn::File, row)).value_or(0) / 1000;
}

void ProgrammerLane::updatePhase() {
    switch (step) {
    case Step::Recording: {
        const int row = state.link.TableRow;
        // Past the last row the table is done; the check comes next.
        if (row > tableFiles())
            return;
        const QString file = QFileInfo(state.fileGrid.cell(FileColumn::File, row)).fileName();
        setPhase(QStringLiteral("recording %1 of %2: %3").arg(row).arg(tableFiles()).arg(file));
        if (row != shownRow) {
            shownRow = row;
            rowSince = jobClock.elapsed();
            if (setup.log != nullptr)
                setup.log->note(setup.port,
                                QStringLiteral("recording row %1: %2").arg(row).arg(file));
        }
        return;
    }
    case Step::Checking:
        setPhase(QStringLiteral("checking records"));
        return;
    case Step::Scanning:
        setPhase(QStringLiteral("scanning"));
        return;
    case Step::Erasing:
        setPhase(QStringLiteral("erasing"));
        return;
    case Step::Playing:
        setPhase(QStringLiteral("playing"));
        return;
    case Step::Probing:
    case Step::None:
        return;
    }
}

void ProgrammerLane::setPhase(const QString& text) {
    if (text == currentPhase)
        return;
    currentPhase = text;
    emit phaseChanged(text);
}

qint64 ProgrammerLane::timeLeftMs() {
    if (step != Step::Recording)
        return -1;
    const int row = state.link.TableRow;
    qint64 left = qMax<qint64>(0, fileMs(row) - (jobClock.elapsed() - rowSince));
    for (int r = row + 1; r <= tableFiles(); ++r)
        left += fileMs(r);
    return left;
}

QString ProgrammerLane::statusLine() {
    const QString text = progress->update();
    if (!text.isEmpty())
        progressText = text;
    if (job == Job::None)
        return currentPhase;
    QString line = progressText.isEmpty() ? currentPhase : progressText;
    const qint64 left = timeLeftMs();
    if (left >= 0)
        line += QStringLiteral(" \u2014 %1 left")
                    .arg(QStringLiteral("%1:%2")
                             .arg(left / 60000, 2, 10, QLatin1Char('0'))
                             .arg((left / 1000) % 60, 2, 10, QLatin1Char('0')));
    return line;
}
