#pragma once

#include <QList>
#include <QObject>
#include <QTimer>

class ProgrammerLane;

// Progress on standard error. On a terminal one line per programmer, kept
// up to date in place (what runs, the recording's clock, the time left);
// otherwise a plain line whenever a programmer moves to another step.
// Messages go above the lines, each with its port.
class ProgressView : public QObject {
    Q_OBJECT
public:
    static constexpr int RedrawMs = 250;

    explicit ProgressView(bool terminal, QObject* parent = nullptr);

    void watch(ProgrammerLane& lane);
    // A line of its own, above the progress lines.
    void say(const QString& text);
    // Stops redrawing; the lines stay as last drawn.
    void finish();

private:
    void redraw();
    void clearLines();

    bool terminal;
    QList<ProgrammerLane*> lanes;
    QTimer timer;
    int drawn = 0;
};
