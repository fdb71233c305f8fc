#include "linkprogress.h"

#include "chips/chipcontrol.h"
#include "core/mediaplayer.h"
#include "core/stringgrid.h"
#include "core/tablelayout.h"
#include "linkstate.h"
#include "progresstext.h"

#include <QFileInfo>

LinkProgress::LinkProgress(Sources sources, std::function<qint64()> now,
                           std::function<qint64()> duration)
    : s(sources), nowMs(std::move(now)), durationMs(std::move(duration)),
      lastState(sources.link.LinkState) {}

bool LinkProgress::recording() const {
    return s.link.LinkState == LinkContext::StateRecording ||
           s.link.LinkState == LinkContext::StateRecordingTable;
}

bool LinkProgress::busy() const {
    return s.link.LinkState != LinkContext::StateIdle;
}

QString LinkProgress::noiseNote() const {
    const quint64 dropped = s.link.NoiseBytesDropped;
    if (dropped == 0)
        return {};
    return QStringLiteral("line noise: %1 %2 dropped")
        .arg(dropped)
        .arg(QLatin1String(dropped == 1 ? "byte" : "bytes"));
}

void LinkProgress::operationStarted() {
    confirmedAtStart = s.link.RecordingsConfirmed;
    erasedAtStart = s.link.ErasesConfirmed;
    failedAtStart = s.link.OperationsFailed;
}

QString LinkProgress::update() {
    const int state = s.link.LinkState;
    QString text;
    if (state == LinkContext::StateIdle) {
        if (lastState != LinkContext::StateIdle)
            text = ended(lastState);
        recordingRow = -1;
    } else {
        if (lastState == LinkContext::StateIdle)
            operationStarted();
        text = s.link.ProgrammerSilent ? ProgressText::programmerSilent() : running();
    }
    lastState = state;
    if (text.isEmpty() || text == shown)
        return {};
    shown = text;
    return text;
}

QString LinkProgress::running() {
    switch (s.link.LinkState) {
    case LinkContext::StateRecording:
    case LinkContext::StateRecordingTable: {
        const bool table = s.link.LinkState == LinkContext::StateRecordingTable;
        const int row = table ? s.link.TableRow : s.fileGrid.Row();
        if (row != recordingRow) {
            recordingRow = row;
            recordingSince = nowMs();
        }
        lastFileName = recordedFileName();
        return ProgressText::recording(table ? row : 1, table ? tableFiles() : 1, lastFileName,
                                       nowMs() - recordingSince, durationMs());
    }
    case LinkContext::StateScanning:
        return ProgressText::scanning(messagesInMap(), s.link.ReplyAddress, s.chip.LastAddress);
    case LinkContext::StateChecking:
        return ProgressText::checking(messagesInMap(), tableFiles());
    case LinkContext::StatePlayingTable:
        return ProgressText::playingRecord(s.link.TableRow, mapRecords());
    case LinkContext::StatePlaying:
        return ProgressText::playingFrom(s.link.CurrentAddress);
    case LinkContext::StateErasing:
        return ProgressText::erasing();
    default:
        return {};
    }
}

QString LinkProgress::ended(int state) const {
    // An error reply, an address error or the port closing ended it. Checked
    // first: an overflow stops the recording's playback, whose end then asks
    // for a stop as if the user had.
    const bool failed = s.link.OperationsFailed != failedAtStart;
    // Both Stop commands leave the link idle with the stop requested; the
    // other endings clear the request or leave it clear.
    const bool stopped = !failed && s.link.StopRequested;
    const int recorded = s.link.RecordingsConfirmed - confirmedAtStart;
    switch (state) {
    case LinkContext::StateRecordingTable: {
        if (stopped)
            return ProgressText::recordingStopped();
        const int files = tableFiles();
        return recorded == files ? ProgressText::recordedFiles(recorded)
                                 : ProgressText::recordedFilesOf(recorded, files);
    }
    case LinkContext::StateRecording:
        if (stopped)
            return ProgressText::recordingStopped();
        return recorded > 0 && !failed ? ProgressText::recordedFile(lastFileName)
                                       : ProgressText::recordingNotCompleted();
    case LinkContext::StateScanning:
        if (stopped)
            return ProgressText::scanStopped();
        return failed ? ProgressText::scanNotCompleted()
                      : ProgressText::scanFinished(messagesInMap());
    case LinkContext::StateChecking:
        if (stopped)
            return ProgressText::checkStopped();
        return failed ? ProgressText::checkNotCompleted()
                      : ProgressText::checkFinished(messagesInMap());
    case LinkContext::StatePlayingTable:
        if (stopped)
            return ProgressText::playingStopped();
        return failed ? ProgressText::playingNotCompleted()
                      : ProgressText::playedRecords(s.link.TableRow - 1);
    case LinkContext::StatePlaying:
        if (stopped)
            return ProgressText::playingStopped();
        return failed ? ProgressText::playingNotCompleted() : ProgressText::playedRecord();
    case LinkContext::StateErasing:
        if (stopped)
            return ProgressText::eraseStopped();
        return s.link.ErasesConfirmed != erasedAtStart && !failed
                   ? ProgressText::erased()
                   : ProgressText::eraseNotCompleted();
    default:
        return {};
    }
}

int LinkProgress::messagesInMap() const {
    int found = 0;
    for (int row = 1; row < s.mapGrid.RowCount(); ++row)
        found += s.mapGrid.cell(MapColumn::Eom, row).isEmpty() ? 0 : 1;
    return found;
}

int LinkProgress::mapRecords() const {
    int row = 1;
    while (row < s.mapGrid.RowCount() && !s.mapGrid.cell(MapColumn::Start, row).isEmpty())
        ++row;
    return row - 1;
}

int LinkProgress::tableFiles() const {
    int row = 1;
    while (row < s.fileGrid.RowCount() && !s.fileGrid.cell(FileColumn::File, row).isEmpty())
        ++row;
    return row - 1;
}

QString LinkProgress::recordedFileName() const {
    const QString path = s.player.FileName;
    return path.isEmpty() ? QString() : QFileInfo(path).fileName();
}
