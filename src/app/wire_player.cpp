#include "core/mediaplayer.h"
#include "files/localplayback.h"
#include "mainwindow.h"
#include "wiring.h"

#include <memory>

void wirePlayback(MainWindow& window) {
    auto playback = std::make_shared<LocalPlayback>(
        window.player, window.fileGrid, window.availability, window.link, window.prompter);
    window.setHandler(QStringLiteral("playFile"), [playback] { playback->playFile(); });
    window.setHandler(QStringLiteral("stopPlayback"), [playback] { playback->stopPlayback(); });
    window.setHandler(QStringLiteral("playbackEnded"), [playback] { playback->playbackEnded(); });
    if (window.player != nullptr)
        QObject::connect(window.player, &MediaPlayer::OnNotify, &window,
                         [&window] { window.runHandler(QStringLiteral("playbackEnded")); });
}
