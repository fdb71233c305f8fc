#pragma once

#include "core/mediaplayer.h"

#include <QStringList>
#include <functional>

// A media player that plays nothing; a test ends playback with finish().
class FakePlayer : public MediaPlayer {
    Q_OBJECT
public:
    using MediaPlayer::MediaPlayer;

    void Open() override;
    void Play() override;
    void Stop() override;
    void Close() override;
    bool IsPlaying() const override { return playing; }

    // The playing file reaches its end.
    void finish();

    // Open() fails for these names.
    QStringList missing;
    // Every operation in order: "Open <name>", "Play", "Stop", "Close".
    QStringList calls;
    // Runs inside Open(), as the world goes on while a file is opened.
    std::function<void()> whileOpening;

private:
    void endPlayback();

    bool opened = false;
    bool playing = false;
    bool notifyThisPlay = true;
};
