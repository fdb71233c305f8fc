#pragma once

#include "core/handler.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>

class MediaPlayer;
struct LinkContext;

// What local playback ("Play file") is doing, in the status bar's words:
// "Playing bell.wav — 00:01.2 of 00:03.4" while it plays, then "Played
// bell.wav" or "Stopped bell.wav". Recordings use the same player and are
// left to the link's texts.
class PlaybackStatus : public QObject {
    Q_OBJECT
public:
    using LengthOf = std::function<std::optional<qint64>(const QString& path)>; // ms

    PlaybackStatus(MediaPlayer& player, const LinkContext& link, LengthOf lengthMs,
                   std::function<void(QString)> say, QObject* parent = nullptr);

    // A command ran.
    void afterCommand(Handler handler);

private:
    void show();
    void end(const QString& text);

    MediaPlayer& player;
    const LinkContext& link;
    LengthOf lengthMs;
    std::function<void(QString)> say;
    QTimer tick;
    qint64 startedAt = 0;
    QString path;
};
