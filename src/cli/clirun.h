#pragma once

#include "clioptions.h"
#include "csvlog.h"
#include "framelog.h"
#include "plan/soundlengths.h"
#include "productionrun.h"
#include "programmerlane.h"
#include "progressview.h"

#include <QJsonArray>
#include <QObject>
#include <memory>
#include <vector>

class SignalBridge;
class StdinLines;

// One run of isdvokar-cli: the programmers of the command line (one, or one
// per --pair), the job on each, the progress while they work, and the
// report at the end. One failing programmer does not stop the others.
class CliRun : public QObject {
    Q_OBJECT
public:
    explicit CliRun(const CliOptions& options, QObject* parent = nullptr);
    ~CliRun() override;

    // Starts the run. Returns the exit code when it is over already (a
    // listing, a problem found before any programmer was asked), else -1
    // and finished() follows.
    int start();

signals:
    void finished(int exitCode);

private:
    int listing();
    int fail(int exitCode, const QString& text);
    void startJobs();
    void askBeforeErase();
    void runJob(ProgrammerLane& lane);
    void laneFinished();
    void interrupt();
    void end();
    void out(const QStringList& lines);
    QString summary() const;

    CliOptions options;
    FrameLog log;
    SoundLengths lengths;
    CsvLog csv;
    std::vector<std::unique_ptr<ProgrammerLane>> lanes;
    std::vector<std::unique_ptr<ProductionRun>> runs;
    std::vector<QJsonArray> chipResults; // per lane, in a production run
    std::unique_ptr<ProgressView> view;
    StdinLines* input = nullptr;
    SignalBridge* interruption = nullptr;
    int running = 0;
    bool starting = false;
    bool interrupted = false;
    bool ended = false;
};
