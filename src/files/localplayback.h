#pragma once

class CommandAvailability;
class MediaPlayer;
class Prompter;
class StringGrid;
struct LinkContext;

// Playing a file of the table on the PC to listen to it, the Stop command,
// and what the end of any playback does to the buttons and the link flags.
// The end of a playback asks the programmer to stop only when it was a
// recording's playback that reached the end of its file; every playback the
// program starts or stops itself is marked with IgnorePlayEnd.
class LocalPlayback {
public:
    // `player` may be null (no player built in); the file then cannot be
    // opened, as with a missing sound device.
    LocalPlayback(MediaPlayer* player, const StringGrid& fileGrid,
                  CommandAvailability& availability, LinkContext& link, Prompter& prompter);

    // "Play File": plays the selected row's file.
    void playFile();
    // "Stop": stops local playback and tells a running chip operation to stop.
    void stopPlayback();
    // The player's end-of-playback notification.
    void playbackEnded();

private:
    MediaPlayer* player;
    const StringGrid& fileGrid;
    CommandAvailability& availability;
    LinkContext& link;
    Prompter& prompter;
};
