#include "core/mediaplayer.h"
#include "files/localplayback.h"
#include "mainwindow.h"
#include "wiring.h"

#include <memory>

void wirePlayback(MainWindow& window) {
    ProgramState& s = window.state();
    auto playback =
        std::make_shared<LocalPlayback>(s.player, s.fileGrid, s.availability, s.link, s.prompter);
    s.handlers.set(QStringLiteral("playFile"), [playback] { playback->playFile(); });
    s.handlers.set(QStringLiteral("stopPlayback"), [playback] { playback->stopPlayback(); });
    s.handlers.set(QStringLiteral("playbackEnded"), [playback] { playback->playbackEnded(); });
    if (s.player != nullptr)
        QObject::connect(s.player, &MediaPlayer::OnNotify, &window,
                         [&s] { s.handlers.run(QStringLiteral("playbackEnded")); });
}
