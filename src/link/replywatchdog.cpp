#include "replywatchdog.h"

#include "core/commands.h"
#include "linkstate.h"

ReplyWatchdog::ReplyWatchdog(LinkContext& link_, Commands& commands_, std::function<qint64()> now,
                             QObject* parent)
    : QObject(parent), link(link_), commands(commands_), nowMs(std::move(now)) {
    clock.start();
    if (!nowMs)
        nowMs = [this] { return clock.elapsed(); };
    timer.setInterval(LookMs);
    connect(&timer, &QTimer::timeout, this, &ReplyWatchdog::check);
}

void ReplyWatchdog::watch() {
    check();
    if (running && !timer.isActive())
        timer.start();
}

void ReplyWatchdog::restart() {
    running = false;
    watch();
}

void ReplyWatchdog::check() {
    if (link.LinkState == LinkContext::StateIdle) {
        // Nothing runs: nothing to wait for. A silence already told stays
        // until a reply or the next operation, so that the chip Stop still
        // reaches a programmer that waits.
        running = false;
        timer.stop();
        return;
    }
    const qint64 now = nowMs();
    if (!running || link.RepliesTaken != repliesSeen) {
        running = true;
        since = now;
        repliesSeen = link.RepliesTaken;
        setSilent(false);
        return;
    }
    if (!link.ProgrammerSilent && now - since >= SilenceLimitMs) {
        setSilent(true);
        commands.setEnabled({Control::StopChipButton, Control::StopChipItem}, true);
    }
}

void ReplyWatchdog::setSilent(bool silent) {
    if (link.ProgrammerSilent == silent)
        return;
    link.ProgrammerSilent = silent;
    emit silenceChanged(silent);
}
