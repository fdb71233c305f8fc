#pragma once

#include "protocolchecker.h"

#include <QByteArray>
#include <QString>
#include <QVector>
#include <functional>
#include <optional>

// The programmer with a chip in its socket, as the PC sees it through the
// serial line: command frames go in, reply frames come out, and time moves
// only when the owner advances the clock. It knows nothing of terminals or
// real time, so that tests can drive it step by step.
class VokarDevice {
public:
    static constexpr int FrameSize = 20;

    // Real time and chip time: with a scale of 0.01 a 60-second chip plays
    // in 0.6 s.
    struct TimeScale {
        double scale = 1.0;
        double deviceMs(double realMs) const { return realMs / scale; }
        double realMs(double deviceMs) const { return deviceMs * scale; }
    };

    // Geometry and timing of the chip in the socket.
    struct Chip {
        int index = 0;        // catalogue index 1 to 50; 0: no chip
        quint16 lastRow = 0;  // rows 0 to lastRow
        quint16 firstRow = 0; // 16 on ISD 1700 types: rows 0 to 15 are kept free
        double rowMs = 0;     // how long one row takes to play or record
        bool isd1700 = false;
    };
    // The chip of a catalogue index; index 0 when the index is not in it.
    static Chip chipFor(int catalogueIndex);

    enum class Activity { Idle, Playing, Recording, Scanning, Erasing };

    explicit VokarDevice(int catalogueIndex = 1);

    // --- the line ---------------------------------------------------------
    // Bytes from the PC; every 20 make a command, acted on at once.
    void receive(const QByteArray& bytes);
    // Called with every reply frame, and with every command frame taken in.
    std::function<void(const QByteArray& frame)> onReply;
    std::function<void(const QByteArray& frame)> onCommand;
    // Called when a row has been recorded, with the span of chip time it took
    // (from its start to the moment it was done, pauses for an answer
    // included), so that an owner who hears the audio input can tell how
    // loud it was (setLevel).
    std::function<void(int row, double fromMs, double toMs)> onRowRecorded;
    // Strict: every command frame is judged against the link's rules and the
    // chip in the socket; each fault found is one "PROTOCOL:" line here.
    bool strict = false;
    std::function<void(const QString& line)> onViolation;

    // --- the clock (device milliseconds) ------------------------------------
    double now() const { return clock; }
    // Moves the clock forward, running every event that falls due on the way.
    void advanceTo(double ms);
    // When the next event falls due; negative when nothing is scheduled
    // (idle, or waiting for the PC to answer a progress report).
    double nextEventAt() const;

    // --- settings ----------------------------------------------------------
    // Time between progress reports while playing or recording.
    double progressIntervalMs = 1000;
    // How many times faster than playback a scan skips through the rows.
    double scanSpeedup = 16;
    // How long the ISD 1700 global erase takes.
    double eraseMs = 200;
    // The n-th command frame (counting from 1) is swallowed: no action, no reply.
    int silentCommand = 0;

    // --- the operator --------------------------------------------------------
    const Chip& chip() const { return socket; }
    // Puts another chip in the socket (0 takes it out); its memory is empty.
    void insertChip(int catalogueIndex);
    void removeChip() { insertChip(0); }
    // ";" with the power digit, as when the PC opens the line.
    void announce();
    // Any reply, as given; the address as five digits in bytes 1-5.
    void inject(char code, int address = 0, char byte6 = '\0');
    // "=": the circular memory structure of an ISD 1700 is bad.
    void reportCircularFail();
    // Sends the progress report that waits for its answer once more; false
    // when none waits.
    bool repeatProgress();
    // The power setting the PC last asked for: 0 or 1.
    int power() const { return powerFlag; }
    Activity activity() const { return busy; }
    bool waitingForAnswer() const { return waiting; }
    int commandsReceived() const { return commandCount; }
    int violationsFound() const { return violationCount; }

    // --- the memory ----------------------------------------------------------
    struct Message {
        int start;
        int end; // the row that carries the end-of-message mark
    };
    QVector<Message> messages() const;
    bool hasMark(int row) const;
    // Forgets a partly received frame, as when the line was closed.
    void resetLine() { pending.clear(); }
    bool isRecorded(int row) const;
    // How loud the audio input was while a row was recorded, in dB below
    // full scale (RMS); nothing while the row has not been heard.
    static constexpr float Silence = -99;
    void setLevel(int row, float db);
    std::optional<float> level(int row) const;
    // "levels START L L L ...": the rows of a message from its start, each
    // level rounded to whole dB ("-" for a row not heard); empty when no row
    // of it was heard.
    QString levelsLine(const Message& message) const;
    // A text picture of the messages, one line each (with its levels line
    // when heard).
    QString memoryMap() const;
    // Text image of the memory, so that a chip keeps its contents between runs.
    QByteArray saveImage() const;
    // False when the image is not one of ours or belongs to another chip.
    bool loadImage(const QByteArray& image);

    // Builds a reply frame: code, five decimal digits, byte 6, then zeros.
    static QByteArray replyFrame(char code, int address, char byte6 = '\0');

private:
    enum RowFlag : quint8 { Recorded = 1, Mark = 2 };

    void command(const QByteArray& frame);
    void reply(char code, int address, char byte6 = '\0');
    void abandonRecording();
    void startPlay(int start, int stop);
    void startRecord(int start, int stop);
    void startScan(int start);
    void startErase();
    void stopOperation();
    void resume();
    void finish();
    void runDueEvent();
    void endRecordingAt(int row);
    void rowRecorded(int row);

    Chip socket;
    ProtocolChecker checker;
    ProtocolChecker::Awaiting awaiting;
    int violationCount = 0;
    QVector<quint8> rows;
    QVector<float> levels; // NaN: not heard
    QByteArray pending;
    double clock = 0;
    int powerFlag = 0;
    int commandCount = 0;

    Activity busy = Activity::Idle;
    bool waiting = false;
    int position = 0; // the row being played or recorded
    int endRow = 0;   // the last row the operation may reach
    int replyRow = 0; // scan and erase: the address of their reply
    bool scanFoundMark = false;
    double rowEndsAt = 0;
    double rowStartedAt = 0;
    double progressAt = 0;
    double pausedAt = 0;
};
