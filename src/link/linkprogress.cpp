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

void LinkProgress::stopRequested() {
    if (s.link.LinkState != LinkContext::StateIdle)
        stopSeen = true;
}

bool LinkProgress::recording() const {
    return s.link.LinkState == LinkContext::StateRecording ||
           s.link.LinkState == LinkContext::StateRecordingTable;
}

QString LinkProgress::update() {
    const int state = s.link.LinkState;
    QString text;
    if (state == LinkContext::StateIdle) {
        if (lastState != LinkContext::StateIdle)
            text = ended(lastState);
        stopSeen = false;
        recordingRow = -1;
    } else {
        if (lastState == LinkContext::StateIdle)
            stopSeen = false;
        text = running();
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
    switch (state) {
    case LinkContext::StateRecordingTable:
        // The table ends at the first row without a file.
        if (stopSeen || !s.fileGrid.cell(FileColumn::File, s.link.TableRow).isEmpty())
            return ProgressText::recordingStopped();
        return ProgressText::recordedFiles(s.link.TableRow - 1);
    case LinkContext::StateRecording:
        return stopSeen ? ProgressText::recordingStopped()
                        : ProgressText::recordedFile(lastFileName);
    case LinkContext::StateScanning:
        return stopSeen ? ProgressText::scanStopped() : ProgressText::scanFinished(messagesInMap());
    case LinkContext::StateChecking:
        return stopSeen ? ProgressText::checkStopped()
                        : ProgressText::checkFinished(messagesInMap());
    case LinkContext::StatePlayingTable:
        return stopSeen ? ProgressText::playingStopped()
                        : ProgressText::playedRecords(s.link.TableRow - 1);
    case LinkContext::StatePlaying:
        return stopSeen ? ProgressText::playingStopped() : ProgressText::playedRecord();
    case LinkContext::StateErasing:
        return ProgressText::erased();
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
