#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QCoreApplication;

// The command line: a command, its arguments and the options, checked
// before anything is opened. A mistake is a usage error (exit 2) with a
// sentence that says what is wrong.
struct CliOptions {
    enum class Command { None, Record, Verify, Scan, Erase, Play, Chips, Ports, Outputs };

    // One programmer and the sound output its recordings play to.
    struct Pair {
        QString port;      // "COM1" or a device path
        QByteArray output; // the output's id; empty: the default output
        QString outputName;
    };

    Command command = Command::None;
    bool gang = false;
    QString list;    // record, verify
    QString address; // play
    QList<Pair> pairs;
    int chipType = 1;
    bool yes = false;
    bool json = false;
    QString logFile;
    QString mapFile; // scan -o
    bool repeat = false;
    bool autoNext = false;
    int count = 0; // --count: chips to do in a production run; 0: until stopped
    QString csvFile;
    int timeoutMs = 5000;
    int pollMs = 1000;

    static QString commandName(Command command);

    // False with `error` set when the command line is not right; `help` and
    // `version` are handled by the parser itself.
    bool parse(const QCoreApplication& app, QString& error);
};
