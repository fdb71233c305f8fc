#include "recording.h"

#include "chipcommandsets.h"
#include "chips/chipcontrol.h"
#include "commandframe.h"
#include "commandframes.h"
#include "comport.h"
#include "core/apperror.h"
#include "core/mediaplayer.h"
#include "core/paneltexts.h"
#include "core/prompter.h"
#include "core/stringgrid.h"
#include "core/tablelayout.h"
#include "files/addresstext.h"
#include "files/filerowselect.h"
#include "linksession.h"
#include "linkstate.h"
#include "programmerconnection.h"

void Recording::showStartAndStop(int row, bool withHex) {
    const QString start = s.fileGrid.cell(FileColumn::Start, row);
    if (start != AddressText::notUsed()) {
        const int value = AddressText::toIntegerOrFail(start);
        s.panel.setText(PanelTexts::Address, AddressText::dec(value));
        if (withHex)
            s.panel.setText(PanelTexts::AddressHex, AddressText::hex(value));
    }
    const QString stop = s.fileGrid.cell(FileColumn::Stop, row);
    if (stop != AddressText::notUsed())
        s.frames.setStopAddress(quint16(AddressText::toIntegerOrFail(stop)));
    else
        s.frames.setStopAtLastAddress();
}

void Recording::finishSetUp() {
    s.frames.prepare(CommandCode::Record);
}

bool Recording::openFileOf(int row) {
    s.player.FileName = s.fileGrid.cell(FileColumn::File, row);
    try {
        s.player.Open();
    } catch (const AppError&) {
        s.prompter.showMessage(QStringLiteral("File not found"));
        return false;
    }
    return true;
}

void Recording::recordFile() {
    if (!ProgrammerConnection::required(s.port, s.prompter))
        return;
    const int row = s.fileGrid.Row();
    if (s.player.IsPlaying())
        s.player.Stop();
    if (!s.fileGrid.cell(FileColumn::File, row).isEmpty()) {
        if (!openFileOf(row))
            return;
        showStartAndStop(row, false);
        s.frames.setLastAddressCopyLowFirst();
        finishSetUp();
        // Right before the frame: opening the file may have taken a while,
        // and nothing that came before it answers it.
        s.port.PurgeRead();
        s.link.RecordingRuns = false;
        if (s.frames.sendWhenOutputIdle())
            s.link.LinkState = LinkContext::StateRecording;
    }
    s.link.StopRequested = false;
}

void Recording::recordTable() {
    if (!ProgrammerConnection::required(s.port, s.prompter))
        return;
    s.link.TableRow = 1;
    s.link.StopRequested = false;
    if (s.fileGrid.cell(FileColumn::File, 1).isEmpty())
        return;
    s.link.IgnorePlayEnd = true;
    if (s.player.IsPlaying())
        s.player.Stop();
    rows.SelectFileRow(1);
    if (!openFileOf(1))
        return;
    showStartAndStop(1, false);
    finishSetUp();
    // The first frame looks at the start cell of row 2 to tell whether
    // another file follows.
    s.frames.setStepPower(!s.fileGrid.cell(FileColumn::Start, 2).isEmpty());
    // As every chip command does: bytes that came before the frame (noise,
    // a late reply) must not be read as its answer.
    s.port.PurgeRead();
    s.link.RecordingRuns = false;
    if (s.port.WriteBufUsed() == 0) {
        s.link.LinkState = LinkContext::StateRecordingTable;
        s.frames.send();
    }
}

void Recording::nextRow() {
    s.link.TableRow += 1;
    s.link.IgnorePlayEnd = true;
    if (s.player.IsPlaying())
        s.player.Stop();
    const int row = s.link.TableRow;
    if (s.fileGrid.cell(FileColumn::File, row).isEmpty()) {
        s.link.LinkState = LinkContext::StateIdle;
        sets.setTableStepCommands(true);
        s.frames.setPower(s.link.PowerSetting);
        return;
    }
    s.player.FileName = s.fileGrid.cell(FileColumn::File, row);
    try {
        s.player.Open();
    } catch (const AppError& error) {
        // The table cannot go on: it ends here, back to idle. The programmer
        // has just finished the row before and waits for a command; it is
        // sent nothing.
        s.link.LinkState = LinkContext::StateIdle;
        sets.setTableStepCommands(true);
        s.frames.setPower(s.link.PowerSetting);
        s.prompter.showError(error.message());
        return;
    }
    rows.SelectFileRow(row);
    showStartAndStop(row, true);
    finishSetUp();
    s.frames.setStepPower(!s.fileGrid.cell(FileColumn::File, row + 1).isEmpty());
    s.link.RecordingRuns = false;
    s.link.LinkState = LinkContext::StateRecordingTable;
    sets.setTableStepCommands(false);
    s.frames.send();
}
