#include "core/mediaplayer.h"
#include "files/localplayback.h"
#include "mainwindow.h"
#include "wiring.h"

#include <memory>

void wirePlayback(MainWindow& window) {
    ProgramState& s = window.state();
    auto playback =
        std::make_shared<LocalPlayback>(s.player, s.fileGrid, s.availability, s.link, s.prompter);
    s.handlers.set(Handler::PlayFile, [playback] { playback->playFile(); });
    s.handlers.set(Handler::StopPlayback, [playback] { playback->stopPlayback(); });
    s.handlers.set(Handler::PlaybackEnded, [playback] { playback->playbackEnded(); });
    if (s.player != nullptr)
        QObject::connect(s.player, &MediaPlayer::OnNotify, &window,
                         [&s] { s.handlers.run(Handler::PlaybackEnded); });
}
