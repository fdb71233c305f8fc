#pragma once

#include <QtGlobal>

class ChipCommandSets;
class FileRowSelect;
struct LinkSession;

// Recording files into the chip: the PC plays each file into the
// programmer's audio input while the programmer records; the replies carry
// the recording on (see ReplyHandler).
class Recording {
public:
    Recording(LinkSession& session, ChipCommandSets& sets, FileRowSelect& rows)
        : s(session), sets(sets), rows(rows) {}

    // "Record file to ISD": the selected row of the file table.
    void recordFile();
    // "Record table to ISD": every row from row 1 until one without a file.
    void recordTable();
    // On the programmer's "finished" while the table records: the next row,
    // or the end of the table.
    void nextRow();

private:
    // Shows the row's start address (when it has one) and writes the stop
    // fields; `withHex` also shows the start in hexadecimal.
    void showStartAndStop(int row, bool withHex);
    // Start address from the display, chip fields, record command.
    void finishSetUp();
    // Opens the row's file; false with "File not found" when it cannot.
    bool openFileOf(int row);

    LinkSession& s;
    ChipCommandSets& sets;
    // Selecting a row shows its start address, as a click on it would.
    FileRowSelect& rows;
};
