#include "progressview.h"

#include "programmerlane.h"
#include "terminal.h"

#include <cstdio>

namespace {
void put(const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stderr);
}
} // namespace

ProgressView::ProgressView(bool terminal_, QObject* parent) : QObject(parent), terminal(terminal_) {
    timer.setInterval(RedrawMs);
    connect(&timer, &QTimer::timeout, this, &ProgressView::redraw);
}

void ProgressView::watch(ProgrammerLane& lane) {
    lanes << &lane;
    connect(&lane, &ProgrammerLane::message, this, [this, &lane](const QString& text) {
        say(lane.label() + QStringLiteral(": ") + text);
    });
    if (terminal) {
        if (!timer.isActive())
            timer.start();
        return;
    }
    connect(&lane, &ProgrammerLane::phaseChanged, this, [&lane](const QString& phase) {
        if (!phase.isEmpty())
            put(lane.label() + QStringLiteral(": ") + phase + QLatin1Char('\n'));
        std::fflush(stderr);
    });
}

void ProgressView::say(const QString& text) {
    clearLines();
    put(text + QLatin1Char('\n'));
    redraw();
}

void ProgressView::clearLines() {
    if (!terminal || drawn == 0)
        return;
    // Back to the first progress line, and everything below it gone.
    put(QStringLiteral("\033[%1A\r\033[J").arg(drawn));
    drawn = 0;
}

void ProgressView::redraw() {
    if (!terminal) {
        std::fflush(stderr);
        return;
    }
    clearLines();
    for (ProgrammerLane* lane : lanes) {
        QString line = lane->label() + QStringLiteral(": ") + lane->statusLine();
        // One screen line each, or the cursor arithmetic goes wrong.
        const int width = Terminal::columns(Terminal::StandardError) - 1;
        if (line.size() > width)
            line = line.left(width - 1) + QChar(0x2026);
        put(line + QLatin1Char('\n'));
        ++drawn;
    }
    std::fflush(stderr);
}

void ProgressView::finish() {
    timer.stop();
    if (terminal)
        redraw();
}
