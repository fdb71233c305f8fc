#include "playbackstatus.h"

#include "core/mediaplayer.h"
#include "link/linkstate.h"
#include "link/progresstext.h"

#include <QDateTime>
#include <QFileInfo>

namespace {
constexpr int TickMs = 100;

qint64 nowMs() {
    return QDateTime::currentMSecsSinceEpoch();
}
} // namespace

PlaybackStatus::PlaybackStatus(MediaPlayer& player_, const LinkContext& link_, LengthOf length,
                               std::function<void(QString)> say_, QObject* parent)
    : QObject(parent), player(player_), link(link_), lengthMs(std::move(length)),
      say(std::move(say_)) {
    tick.setInterval(TickMs);
    connect(&tick, &QTimer::timeout, this, &PlaybackStatus::show);
    connect(&player, &MediaPlayer::OnNotify, this, [this] {
        if (tick.isActive())
            end(QStringLiteral("Played ") + QFileInfo(path).fileName());
    });
}

void PlaybackStatus::afterCommand(Handler handler) {
    if (handler == Handler::PlayFile) {
        if (!player.IsPlaying() || link.LinkState != LinkContext::StateIdle)
            return;
        path = player.FileName;
        startedAt = nowMs();
        tick.start();
        show();
    } else if (handler == Handler::StopPlayback && tick.isActive()) {
        end(QStringLiteral("Stopped ") + QFileInfo(path).fileName());
    }
}

void PlaybackStatus::show() {
    const qint64 length = lengthMs ? lengthMs(path).value_or(0) : 0;
    QString text = QStringLiteral("Playing ") + QFileInfo(path).fileName() +
                   QStringLiteral(" \u2014 ") + ProgressText::clock(nowMs() - startedAt);
    if (length > 0)
        text += QStringLiteral(" of ") + ProgressText::clock(length);
    say(text);
}

void PlaybackStatus::end(const QString& text) {
    tick.stop();
    say(text);
}
