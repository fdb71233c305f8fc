#pragma once

#include "programmerlane.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>

class CsvLog;

// record --repeat: one chip after another in one programmer. Each chip is
// recorded and verified, written to the production log, and then the run
// waits for the next chip: for Enter (nextChip()), or with auto-next by
// asking the programmer every poll interval whether a chip is in the socket
// (a scan from the start, stopped at its first reply) and starting once a
// chip answers after the socket was seen empty ("<").
class ProductionRun : public QObject {
    Q_OBJECT
public:
    struct Settings {
        bool autoNext = false;
        int count = 0; // chips to do; 0: until stopped
        int pollMs = 1000;
    };

    ProductionRun(ProgrammerLane& lane, CsvLog& csv, Settings settings, QObject* parent = nullptr);

    void start();
    // Enter was pressed: the chip in the socket is the next one.
    void nextChip();
    // No more chips: the run ends once the chip in work is done.
    void finishAfterThisChip();
    // Ctrl-C: the chip in work is stopped as the window's Stop stops it.
    void stop();

    bool waitingForEnter() const { return waiting && !settings.autoNext; }
    bool isDone() const { return done; }
    int chips() const { return chipCount; }
    int verified() const { return verifiedCount; }
    // The gravest of the chips' exit codes.
    int exitCode() const { return worst; }
    QString lastProblem() const { return problem; }

signals:
    void waitingForChip();
    void chipDone(int number, const ProgrammerLane::Result& result);
    void finished();

private:
    void laneFinished();
    void recorded();
    void probed();
    void end();
    void waitForChip();

    ProgrammerLane& lane;
    CsvLog& csv;
    Settings settings;
    QTimer poll;
    QDateTime chipStarted;
    bool waiting = false;
    bool sawEmpty = false;
    bool stopping = false;
    bool done = false;
    int chipCount = 0;
    int verifiedCount = 0;
    int worst = 0;
    QString problem;
};
