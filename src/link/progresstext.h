#pragma once

#include <QString>
#include <QtGlobal>

// The status bar's words for what the link is doing and how it ended. Times
// are shown as minutes, seconds and tenths ("00:03.2").
namespace ProgressText {

QString clock(qint64 ms);

// "Recording 2 of 5: bell.wav — 00:03.2 of 00:07.5"; a single file has no
// "2 of 5", an unknown length (0) no "of 00:07.5".
QString recording(int number, int total, const QString& fileName, qint64 elapsedMs,
                  qint64 durationMs);
// "Scanning: 7 messages found, row 1040 of 2399"
QString scanning(int found, int row, int lastRow);
// "Checking: 2 of 5 records found"
QString checking(int found, int total);
// "Playing record 3 of 9"; a single record: "Playing from row 1040".
QString playingRecord(int number, int total);
QString playingFrom(int row);
QString erasing();
// "The programmer has not answered for 3 s"
QString programmerSilent();

// How an operation ended.
QString recordedFiles(int count);              // "Recorded 5 files"
QString recordedFile(const QString& fileName); // "Recorded bell.wav"
QString recordedFilesOf(int count, int total); // "Recorded 1 of 3 files"
QString recordingStopped();
QString recordingNotCompleted();
QString scanFinished(int found); // "Scan finished: 7 messages found"
QString scanStopped();
QString scanNotCompleted();
QString checkFinished(int found); // "Check finished: 5 records found"
QString checkStopped();
QString checkNotCompleted();
QString playedRecords(int count); // "Played 9 records"
QString playedRecord();
QString playingStopped();
QString playingNotCompleted();
QString erased();
QString eraseStopped();
QString eraseNotCompleted();

} // namespace ProgressText
