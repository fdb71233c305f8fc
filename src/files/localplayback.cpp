#include "localplayback.h"

#include "core/apperror.h"
#include "core/availability.h"
#include "core/mediaplayer.h"
#include "core/prompter.h"
#include "core/stringgrid.h"
#include "link/linkstate.h"
#include "soundfile.h"

namespace {
// Column of a file-table row's start address and of its file's full path.
constexpr int StartColumn = 1;
constexpr int FileColumn = 3;
} // namespace

LocalPlayback::LocalPlayback(MediaPlayer* player_, const StringGrid& files_,
                             CommandAvailability& availability_, LinkContext& link_,
                             Prompter& prompter_)
    : player(player_), files(files_), availability(availability_), link(link_),
      prompter(prompter_) {}

void LocalPlayback::OdtwarzajClick() {
    // Rows are contiguous from row 1, so an empty row 1 is an empty table; an
    // empty selected row has nothing to play either.
    const int row = files.Row();
    if (!files.cell(StartColumn, 1).isEmpty() && !files.cell(StartColumn, row).isEmpty()) {
        const QString file = files.cell(FileColumn, row);
        QString failure = QStringLiteral("No sound output");
        bool opened = false;
        if (player != nullptr) {
            try {
                player->FileName = file;
                player->Open();
                opened = true;
            } catch (const AppError& error) {
                failure = error.message();
            }
        }
        if (!opened) {
            // "File not found" only when it is so; otherwise the real reason.
            prompter.showMessage(SoundFile::failureMessage(file, failure));
            return;
        }
        // Listening never asks the programmer to stop.
        link.IgnorePlayEnd = true;
        player->Play();
        availability.localPlaybackStarted();
    }
    link.StopRequested = false;
}

void LocalPlayback::ToolbarButton973Click() {
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

void LocalPlayback::PlayerNotify() {
    // Only a recording's playback reaching the end of its file gets here with
    // the flag clear: the programmer is to stop recording.
    if (!link.IgnorePlayEnd)
        link.StopRequested = true;
    link.IgnorePlayEnd = false;
    availability.playbackEnded();
}
