#include "statusreporter.h"

#include "link/comport.h"

namespace {
// The recording clock shows tenths of seconds.
constexpr int TickMs = 100;
} // namespace

StatusReporter::StatusReporter(LinkProgress::Sources sources, ComPort& port,
                               std::function<qint64()> durationMs,
                               std::function<void(QString)> show, QObject* parent)
    : QObject(parent), progress(
                           sources, [this] { return clock.elapsed(); }, std::move(durationMs)),
      show(std::move(show)) {
    clock.start();
    tick.setInterval(TickMs);
    connect(&tick, &QTimer::timeout, this, &StatusReporter::refresh);
    // Replies are handled by the time this runs: it is connected after the
    // reply handling.
    connect(&port, &ComPort::OnRxChar, this, &StatusReporter::refresh);
    connect(&port, &ComPort::activeChanged, this, [this](bool active) {
        if (active)
            say(QString());
    });
    if (!port.Active())
        say(notConnectedHint());
}

void StatusReporter::say(const QString& text) {
    show(text);
    emit shown(text);
}

QString StatusReporter::notConnectedHint() {
    return QStringLiteral(
        "No programmer: plug in the VOKAR-1, then Setup, Change comm port, or run vokar-emu.");
}

void StatusReporter::afterCommand(Handler) {
    refresh();
}

void StatusReporter::refresh() {
    const QString text = progress.update();
    if (!text.isEmpty())
        say(text);
    const QString note = progress.noiseNote();
    if (note != noise) {
        noise = note;
        emit noiseNoted(note);
    }
    if (progress.busy() && !tick.isActive())
        tick.start();
    else if (!progress.busy() && tick.isActive())
        tick.stop();
}
