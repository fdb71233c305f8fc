#include "clirun.h"

#include "core/signalbridge.h"
#include "exitcode.h"
#include "link/portresolver.h"
#include "report.h"
#include "terminal.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <cstdio>

namespace {

void print(FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

} // namespace

CliRun::CliRun(const CliOptions& options_, QObject* parent)
    : QObject(parent), options(options_), csv(options_.csvFile) {}

CliRun::~CliRun() = default;

void CliRun::out(const QStringList& lines) {
    for (const QString& line : lines)
        print(stdout, line);
}

int CliRun::fail(int exitCode, const QString& text) {
    if (options.json) {
        const QJsonObject o{{QStringLiteral("command"), CliOptions::commandName(options.command)},
                            {QStringLiteral("exitCode"), exitCode},
                            {QStringLiteral("reason"), text}};
        out({QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Indented)).trimmed()});
    }
    print(stderr, QStringLiteral("isdvokar-cli: ") + text);
    return exitCode;
}

int CliRun::listing() {
    using C = CliOptions::Command;
    const QString name = CliOptions::commandName(options.command);
    QJsonArray items;
    QStringList lines;
    if (options.command == C::Chips) {
        items = Report::chips();
        lines = Report::chipsText();
    } else if (options.command == C::Ports) {
        items = Report::ports(PortResolver::defaultPortsFile());
        lines = Report::portsText(PortResolver::defaultPortsFile());
    } else {
        items = Report::outputs();
        lines = Report::outputsText();
    }
    if (options.json)
        out({QString::fromUtf8(QJsonDocument(QJsonObject{{QStringLiteral("command"), name},
                                                         {QStringLiteral("exitCode"), 0},
                                                         {name, items}})
                                   .toJson(QJsonDocument::Indented))
                 .trimmed()});
    else
        out(lines);
    return ExitCode::Done;
}

int CliRun::start() {
    using C = CliOptions::Command;
    if (options.command == C::Chips || options.command == C::Ports || options.command == C::Outputs)
        return listing();

    QString error;
    if (!options.logFile.isEmpty() && !log.open(options.logFile, error))
        return fail(ExitCode::FileProblem, error);

    view = std::make_unique<ProgressView>(Terminal::isTerminal(Terminal::StandardError), this);
    for (const CliOptions::Pair& pair : options.pairs) {
        ProgrammerLane::Setup setup;
        setup.port = pair.port;
        setup.chipType = options.chipType;
        setup.output = pair.output;
        setup.log = log.isOpen() ? &log : nullptr;
        setup.silenceMs = options.timeoutMs;
        lanes.push_back(std::make_unique<ProgrammerLane>(setup, lengths, this));
        chipResults.emplace_back();
        runs.emplace_back();
    }

    // A list is read once, before any programmer is asked: a bad one stops
    // the run for all.
    if (options.command == C::Record || options.command == C::Verify) {
        for (auto& lane : lanes) {
            if (!lane->loadList(options.list))
                return fail(ExitCode::FileProblem, lane->result().reason);
        }
    }

    interruption = new SignalBridge(this);
    connect(interruption, &SignalBridge::terminationRequested, this, &CliRun::interrupt);
    if (options.command == C::Erase && !options.yes) {
        askBeforeErase();
        return -1;
    }
    startJobs();
    return ended ? ExitCode::Done : -1;
}

void CliRun::askBeforeErase() {
    QStringList where;
    for (const auto& lane : lanes)
        where << lane->label();
    std::fprintf(stderr, "Erase the whole %s in %s? Every message in it is lost. [y/N] ",
                 lanes.front()->chipName().toLocal8Bit().constData(),
                 where.join(QStringLiteral(", ")).toLocal8Bit().constData());
    std::fflush(stderr);
    input = new StdinLines(this);
    const auto answer = [this](const QString& text, bool given) {
        input->disconnect(this);
        const QString word = text.trimmed().toLower();
        if (given && (word == QLatin1String("y") || word == QLatin1String("yes"))) {
            startJobs();
            return;
        }
        if (!given)
            std::fputc('\n', stderr);
        const int code =
            fail(ExitCode::Usage, QStringLiteral("Nothing erased (answer y, or give --yes)."));
        QTimer::singleShot(0, this, [this, code] { emit finished(code); });
    };
    connect(input, &StdinLines::line, this, [answer](const QString& text) { answer(text, true); });
    connect(input, &StdinLines::closed, this, [answer] { answer(QString(), false); });
}

void CliRun::startJobs() {
    // A lane may be done before the next one has started (no sound output):
    // the run ends only once all were started.
    starting = true;
    running = int(lanes.size());
    for (std::size_t i = 0; i < lanes.size(); ++i) {
        ProgrammerLane& lane = *lanes[i];
        view->watch(lane);
        if (!lane.connectProgrammer()) {
            --running;
            continue;
        }
        if (options.repeat) {
            ProductionRun::Settings settings;
            settings.autoNext = options.autoNext;
            settings.count = options.count;
            settings.pollMs = options.pollMs;
            auto run = std::make_unique<ProductionRun>(lane, csv, settings, this);
            ProductionRun* r = run.get();
            connect(r, &ProductionRun::chipDone, this,
                    [this, &lane, i](int number, const ProgrammerLane::Result& result) {
                        QJsonObject chip{
                            {QStringLiteral("chip"), number},
                            {QStringLiteral("exitCode"), result.exitCode},
                            {QStringLiteral("result"), result.outcome},
                            {QStringLiteral("seconds"), qRound(result.seconds * 10) / 10.0}};
                        if (!result.reason.isEmpty())
                            chip.insert(QStringLiteral("reason"), result.reason);
                        chipResults[i].append(chip);
                        view->say(QStringLiteral("%1: chip %2 %3%4 (%5 s)")
                                      .arg(lane.label())
                                      .arg(number)
                                      .arg(result.outcome,
                                           result.reason.isEmpty()
                                               ? QString()
                                               : QStringLiteral(" \u2014 ") + result.reason)
                                      .arg(result.seconds, 0, 'f', 1));
                    });
            connect(r, &ProductionRun::waitingForChip, this, [this, &lane] {
                view->say(options.autoNext
                              ? QStringLiteral("%1: waiting for the next chip").arg(lane.label())
                              : QStringLiteral("%1: put the next chip in and press Enter")
                                    .arg(lane.label()));
            });
            connect(r, &ProductionRun::finished, this, &CliRun::laneFinished);
            runs[i] = std::move(run);
            r->start();
            continue;
        }
        connect(&lane, &ProgrammerLane::finished, this, &CliRun::laneFinished);
        runJob(lane);
    }
    if (options.repeat && !options.autoNext) {
        // Enter starts the next chip in every programmer that waits for one;
        // the end of input ends the run after the chips in work.
        input = new StdinLines(this);
        connect(input, &StdinLines::line, this, [this] {
            for (auto& run : runs) {
                if (run)
                    run->nextChip();
            }
        });
        connect(input, &StdinLines::closed, this, [this] {
            for (auto& run : runs) {
                if (run)
                    run->finishAfterThisChip();
            }
        });
    }
    starting = false;
    if (running == 0)
        QTimer::singleShot(0, this, &CliRun::end);
}

void CliRun::runJob(ProgrammerLane& lane) {
    using C = CliOptions::Command;
    switch (options.command) {
    case C::Record:
        lane.record();
        break;
    case C::Verify:
        lane.verify();
        break;
    case C::Scan:
        lane.scan();
        break;
    case C::Erase:
        lane.erase();
        break;
    case C::Play:
        lane.play(options.address);
        break;
    default:
        break;
    }
}

void CliRun::laneFinished() {
    auto* lane = qobject_cast<ProgrammerLane*>(sender());
    if (lane != nullptr && lane->lastJob() == ProgrammerLane::Job::Probe)
        return;
    if (--running == 0 && !starting)
        end();
}

void CliRun::interrupt() {
    if (interrupted || running == 0) {
        // A second Ctrl-C does not wait for the programmers.
        emit finished(ExitCode::Interrupted);
        return;
    }
    interrupted = true;
    view->say(QStringLiteral("Stopping..."));
    for (std::size_t i = 0; i < lanes.size(); ++i) {
        if (runs[i])
            runs[i]->stop();
        else
            lanes[i]->interrupt();
    }
}

QString CliRun::summary() const {
    int good = 0;
    QStringList failed;
    for (std::size_t i = 0; i < lanes.size(); ++i) {
        const ProgrammerLane& lane = *lanes[i];
        const int code = runs[i] ? runs[i]->exitCode() : lane.result().exitCode;
        if (code == ExitCode::Done)
            ++good;
        else
            failed << QStringLiteral("%1 (%2)").arg(lane.label(), lane.result().outcome);
    }
    QString text = QStringLiteral("%1 of %2 programmers done").arg(good).arg(lanes.size());
    if (!failed.isEmpty())
        text += QStringLiteral("; failed: ") + failed.join(QStringLiteral(", "));
    return text;
}

void CliRun::end() {
    if (ended)
        return;
    ended = true;
    if (view)
        view->finish();
    using C = CliOptions::Command;
    int exitCode = ExitCode::Done;
    QJsonArray programmers;
    QStringList lines;
    for (std::size_t i = 0; i < lanes.size(); ++i) {
        ProgrammerLane& lane = *lanes[i];
        int code = lane.result().exitCode;
        const bool scanned = options.command == C::Scan && code == ExitCode::Done;
        if (scanned && !options.mapFile.isEmpty() && !lane.writeMap(options.mapFile)) {
            code = ExitCode::FileProblem;
            lines << QStringLiteral("%1: the map was not written to %2")
                         .arg(lane.label(), options.mapFile);
        }
        QJsonObject item = Report::lane(lane, options.command == C::Scan);
        if (options.repeat) {
            const ProductionRun* run = runs[i].get();
            item.insert(QStringLiteral("chips"), chipResults[i]);
            if (run != nullptr) {
                code = run->exitCode();
                item.insert(QStringLiteral("verified"), run->verified());
                lines << QStringLiteral("%1: %2 chips, %3 verified; log in %4")
                             .arg(lane.label())
                             .arg(run->chips())
                             .arg(run->verified())
                             .arg(csv.fileName());
            } else {
                lines << Report::laneText(lane, false);
            }
            item.insert(QStringLiteral("exitCode"), code);
        } else {
            lines << Report::laneText(lane, scanned && options.mapFile.isEmpty());
            item.insert(QStringLiteral("exitCode"), code);
        }
        exitCode = ExitCode::graver(exitCode, code);
        programmers.append(item);
    }
    if (interrupted)
        exitCode = ExitCode::Interrupted;
    if (lanes.size() > 1)
        lines << summary();
    if (options.json) {
        QJsonObject o{{QStringLiteral("command"), CliOptions::commandName(options.command)},
                      {QStringLiteral("exitCode"), exitCode},
                      {QStringLiteral("programmers"), programmers}};
        if (!options.list.isEmpty())
            o.insert(QStringLiteral("list"), options.list);
        if (options.gang)
            o.insert(QStringLiteral("summary"), summary());
        if (options.repeat)
            o.insert(QStringLiteral("csv"), csv.fileName());
        out({QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Indented)).trimmed()});
    } else {
        out(lines);
    }
    for (auto& lane : lanes)
        lane->disconnectProgrammer();
    QTimer::singleShot(0, this, [this, exitCode] { emit finished(exitCode); });
}
