#include "fakeplayer.h"

#include "core/apperror.h"

void FakePlayer::Open() {
    calls.append(QStringLiteral("Open ") + FileName);
    if (whileOpening)
        whileOpening();
    playing = false;
    NotifyNext = true;
    if (missing.contains(FileName) || FileName.isEmpty()) {
        opened = false;
        throw AppError(
            QStringLiteral("The specified file cannot be played on the specified MCI device."));
    }
    opened = true;
}

void FakePlayer::Play() {
    calls.append(QStringLiteral("Play"));
    if (!opened)
        return;
    notifyThisPlay = NotifyNext;
    NotifyNext = true;
    playing = true;
}

void FakePlayer::Stop() {
    calls.append(QStringLiteral("Stop"));
    NotifyNext = true;
    if (playing)
        endPlayback();
}

void FakePlayer::Close() {
    calls.append(QStringLiteral("Close"));
    NotifyNext = true;
    playing = false;
    opened = false;
}

void FakePlayer::finish() {
    if (playing)
        endPlayback();
}

void FakePlayer::endPlayback() {
    playing = false;
    if (notifyThisPlay)
        emit OnNotify();
}
