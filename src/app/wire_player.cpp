#include "core/mediaplayer.h"
#include "files/localplayback.h"
#include "formularz.h"
#include "wiring.h"

#include <memory>

void wirePlayback(TFormularz& window) {
    auto playback = std::make_shared<LocalPlayback>(
        window.Player, window.ListaPlikow, window.availability, window.link, window.prompter);
    window.setHandler(QStringLiteral("OdtwarzajClick"), [playback] { playback->OdtwarzajClick(); });
    window.setHandler(QStringLiteral("ToolbarButton973Click"),
                      [playback] { playback->ToolbarButton973Click(); });
    window.setHandler(QStringLiteral("PlayerNotify"), [playback] { playback->PlayerNotify(); });
    if (window.Player != nullptr)
        QObject::connect(window.Player, &MediaPlayer::OnNotify, &window,
                         [&window] { window.runHandler(QStringLiteral("PlayerNotify")); });
}
