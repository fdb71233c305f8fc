#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QString>

// --log FILE: every frame that goes to a programmer or comes from it, with
// the time since the start in seconds and the port, one line each; and the
// moments each file's sound starts and ends, so that a recording's end can be
// held against its sound's:
//
//     2.104 COM1 out 02 00 00 01 00 01 8F 01 FF ... | Record 00000
//     2.109 COM1 in  3A 30 30 30 30 30 00 00 00 ... | : 00000
//     2.110 COM1 # sound starts: bell.wav
//
// Several programmers write into one log.
class FrameLog {
public:
    // False, with the reason, when the file cannot be created.
    bool open(const QString& path, QString& error);
    bool isOpen() const { return file.isOpen(); }

    void sent(const QString& port, const QByteArray& bytes);
    void received(const QString& port, const QByteArray& bytes);
    void note(const QString& port, const QString& text);

    double seconds() const { return double(clock.nsecsElapsed()) / 1e9; }

private:
    void write(const QString& port, const QString& text);
    static QString decodeCommand(const QByteArray& frame);
    static QString decodeReply(const QByteArray& frame);

    QFile file;
    QElapsedTimer clock;
};
