#include "progresstext.h"

#include "replywatchdog.h"

namespace {

QString plural(int count, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

} // namespace

namespace ProgressText {

QString clock(qint64 ms) {
    const qint64 tenths = qMax<qint64>(ms, 0) / 100;
    return QStringLiteral("%1:%2.%3")
        .arg(tenths / 600, 2, 10, QLatin1Char('0'))
        .arg(tenths / 10 % 60, 2, 10, QLatin1Char('0'))
        .arg(tenths % 10);
}

QString recording(int number, int total, const QString& fileName, qint64 elapsedMs,
                  qint64 durationMs) {
    QString text = QStringLiteral("Recording ");
    if (total > 1)
        text += QStringLiteral("%1 of %2: ").arg(number).arg(total);
    text += fileName + QStringLiteral(" \u2014 ") + clock(elapsedMs);
    if (durationMs > 0)
        text += QStringLiteral(" of ") + clock(durationMs);
    return text;
}

QString scanning(int found, int row, int lastRow) {
    return QStringLiteral("Scanning: %1 found, row %2 of %3")
        .arg(plural(found, "message", "messages"))
        .arg(row)
        .arg(lastRow);
}

QString checking(int found, int total) {
    return QStringLiteral("Checking: %1 of %2 found")
        .arg(found)
        .arg(plural(total, "record", "records"));
}

QString playingRecord(int number, int total) {
    return QStringLiteral("Playing record %1 of %2").arg(number).arg(total);
}

QString playingFrom(int row) {
    return QStringLiteral("Playing from row %1").arg(row);
}

QString erasing() {
    return QStringLiteral("Erasing the chip");
}

QString programmerSilent() {
    return QStringLiteral("The programmer has not answered for %1 s")
        .arg(ReplyWatchdog::SilenceLimitMs / 1000);
}

QString recordedFilesOf(int count, int total) {
    return QStringLiteral("Recorded %1 of %2").arg(count).arg(plural(total, "file", "files"));
}

QString recordingNotCompleted() {
    return QStringLiteral("Recording not completed");
}

QString scanNotCompleted() {
    return QStringLiteral("Scan not completed");
}

QString checkNotCompleted() {
    return QStringLiteral("Check not completed");
}

QString playingNotCompleted() {
    return QStringLiteral("Playing not completed");
}

QString eraseStopped() {
    return QStringLiteral("Erase stopped");
}

QString eraseNotCompleted() {
    return QStringLiteral("Erase not completed");
}

QString recordedFiles(int count) {
    return QStringLiteral("Recorded ") + plural(count, "file", "files");
}

QString recordedFile(const QString& fileName) {
    return QStringLiteral("Recorded ") + fileName;
}

QString recordingStopped() {
    return QStringLiteral("Recording stopped");
}

QString scanFinished(int found) {
    return QStringLiteral("Scan finished: %1 found").arg(plural(found, "message", "messages"));
}

QString scanStopped() {
    return QStringLiteral("Scan stopped");
}

QString checkFinished(int found) {
    return QStringLiteral("Check finished: %1 found").arg(plural(found, "record", "records"));
}

QString checkStopped() {
    return QStringLiteral("Check stopped");
}

QString playedRecords(int count) {
    return QStringLiteral("Played ") + plural(count, "record", "records");
}

QString playedRecord() {
    return QStringLiteral("Played");
}

QString playingStopped() {
    return QStringLiteral("Playing stopped");
}

QString erased() {
    return QStringLiteral("Chip erased");
}

} // namespace ProgressText
