#include "localplayback.h"

#include "core/apperror.h"
#include "core/availability.h"
#include "core/mediaplayer.h"
#include "core/prompter.h"
#include "core/stringgrid.h"
#include "core/tablelayout.h"
#include "link/linkstate.h"

LocalPlayback::LocalPlayback(MediaPlayer* player_, const StringGrid& files_,
                             CommandAvailability& availability_, LinkContext& link_,
                             Prompter& prompter_)
    : player(player_), fileGrid(files_), availability(availability_), link(link_),
      prompter(prompter_) {}

void LocalPlayback::playFile() {
    // Rows are contiguous from row 1, so an empty row 1 is an empty table; an
    // empty selected row has nothing to play either.
    const int row = fileGrid.Row();
    if (!fileGrid.cell(FileColumn::Start, 1).isEmpty() &&
        !fileGrid.cell(FileColumn::Start, row).isEmpty()) {
        bool opened = false;
        if (player != nullptr) {
            try {
                player->FileName = fileGrid.cell(FileColumn::File, row);
                player->Open();
                opened = true;
            } catch (const AppError&) {
                // Whatever the media system says, the user is told this one
                // text: the file is gone, unreadable, or cannot sound.
            }
        }
        if (!opened) {
            prompter.showMessage(QStringLiteral("File not found"));
            return;
        }
        // Listening never asks the programmer to stop.
        link.IgnorePlayEnd = true;
        player->Play();
        availability.localPlaybackStarted();
    }
    link.StopRequested = false;
}

void LocalPlayback::stopPlayback() {
    if (player != nullptr && player->IsPlaying()) {
        link.IgnorePlayEnd = true;
        player->Stop();
        availability.localPlaybackStopped();
    }
    // Also ends a chip operation at the programmer's next progress report, and
    // keeps a table recording from going on to its next row.
    link.LinkState = LinkContext::StateIdle;
    link.StopRequested = true;
}

void LocalPlayback::playbackEnded() {
    // Only a recording's playback reaching the end of its file gets here with
    // the flag clear: the programmer is to stop recording.
    if (!link.IgnorePlayEnd)
        link.StopRequested = true;
    link.IgnorePlayEnd = false;
    availability.playbackEnded();
}
