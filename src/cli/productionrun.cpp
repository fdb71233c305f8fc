#include "productionrun.h"

#include "csvlog.h"
#include "exitcode.h"

ProductionRun::ProductionRun(ProgrammerLane& lane_, CsvLog& csv_, Settings settings_,
                             QObject* parent)
    : QObject(parent), lane(lane_), csv(csv_), settings(settings_) {
    poll.setSingleShot(true);
    poll.setInterval(settings.pollMs);
    connect(&poll, &QTimer::timeout, this, [this] { lane.probe(); });
    connect(&lane, &ProgrammerLane::finished, this, &ProductionRun::laneFinished);
}

void ProductionRun::start() {
    chipStarted = QDateTime::currentDateTime();
    lane.record();
}

void ProductionRun::nextChip() {
    if (!waiting || settings.autoNext || done)
        return;
    waiting = false;
    start();
}

void ProductionRun::finishAfterThisChip() {
    stopping = true;
    if (!lane.busy())
        end();
    // A chip or a probe in flight ends by itself; laneFinished() then ends
    // the run.
}

void ProductionRun::stop() {
    stopping = true;
    if (lane.busy() && lane.currentJob() != ProgrammerLane::Job::Probe) {
        lane.interrupt();
        return;
    }
    if (!lane.busy())
        end();
    // A probe in flight ends by itself; laneFinished() then ends the run.
}

void ProductionRun::laneFinished() {
    if (done)
        return;
    if (lane.lastJob() == ProgrammerLane::Job::Probe)
        probed();
    else
        recorded();
}

void ProductionRun::recorded() {
    const ProgrammerLane::Result& r = lane.result();
    ++chipCount;
    if (r.exitCode == ExitCode::Done)
        ++verifiedCount;
    worst = ExitCode::graver(worst, r.exitCode);
    const QString result =
        r.reason.isEmpty() ? r.outcome : r.outcome + QStringLiteral(": ") + r.reason;
    QString error;
    if (!csv.append({chipStarted.toString(Qt::ISODate), lane.label(), QString::number(chipCount),
                     result, QString::number(r.seconds, 'f', 1)},
                    error)) {
        problem = error;
        worst = ExitCode::graver(worst, ExitCode::FileProblem);
        stopping = true;
    }
    emit chipDone(chipCount, r);
    // A programmer that went away or fell silent ends its run; a chip that
    // is missing or differs is the operator's to replace.
    const bool programmerLost =
        r.exitCode == ExitCode::LineFault || r.exitCode == ExitCode::Interrupted ||
        (r.exitCode == ExitCode::NoProgrammer && r.outcome != QLatin1String("no chip"));
    if (programmerLost) {
        problem = r.reason;
        end();
        return;
    }
    if (stopping || (settings.count > 0 && chipCount >= settings.count)) {
        end();
        return;
    }
    waitForChip();
}

void ProductionRun::waitForChip() {
    waiting = true;
    sawEmpty = false;
    if (settings.autoNext)
        poll.start();
    emit waitingForChip();
}

void ProductionRun::probed() {
    const ProgrammerLane::Result& r = lane.result();
    if (r.exitCode != ExitCode::Done) {
        worst = ExitCode::graver(worst, r.exitCode);
        problem = r.reason;
        end();
        return;
    }
    if (stopping) {
        end();
        return;
    }
    if (!r.chipAnswered) {
        sawEmpty = true;
    } else if (sawEmpty) {
        // A chip again, after the socket was empty: the next one.
        waiting = false;
        start();
        return;
    }
    poll.start();
}

void ProductionRun::end() {
    poll.stop();
    waiting = false;
    if (done)
        return;
    done = true;
    emit finished();
}
