#pragma once

#include "linkcodes.h"
#include "replyintake.h"

#include <QByteArray>
#include <QtGlobal>

class ChipCommandSets;
class Recording;
struct LinkSession;

// The programmer's 20-byte replies: byte 0 the reply code, bytes 1-5 an
// address in five decimal digits, byte 6 the power digit of ";". Each reply
// moves the running operation on; an operation that gets no reply waits
// until the user stops it (ReplyWatchdog tells the user when it has waited
// long).
class ReplyHandler {
public:
    static constexpr int FrameSize = ReplyIntake::FrameSize;

    ReplyHandler(LinkSession& session, ChipCommandSets& sets, Recording& recording);

    // The port's receive event: every whole reply that has come, one by one
    // in order, each behind the guard, so that a failure in the reaction to
    // one does not lose the next. Replies that come while a reaction has a
    // message box open wait until it is over.
    void onBytesReceived(int count);
    // One reply frame (at least 20 bytes).
    void handle(const QByteArray& reply);
    // The port closed while an operation ran (the device went away, or the
    // port was closed): no reply will carry it on or end it. Local playback
    // stops and the link is idle, its commands usable again.
    void onPortClosed();

    ReplyIntake& intake() { return intake_; }

    // Reply to display: the reply's address, masked for the chip, into
    // ReplyAddress and onto the displays (clamped to the last address).
    void TransferAddress(const QByteArray& reply);
    void ShowStartOfMemory();
    void ShowAddressErrors();
    void StopLocalPlay();

private:
    void circularFail();
    void overflow();
    void scanOverflow(const QByteArray& reply);
    void playEndInTable(const QByteArray& reply);
    void playEnd(const QByteArray& reply);
    void endOfMessageWhileScanning(const QByteArray& reply);
    void progress(const QByteArray& reply);
    void ready(const QByteArray& reply);
    void recordStarted();
    void finished(const QByteArray& reply);
    void noDevice();
    void endOfMessageWhileChecking(const QByteArray& reply);
    void stopAfterUserStop();

    // Byte 7 for a progress answer.
    quint8 progressPower() const;
    // Byte 0 and byte 7, then the frame goes out.
    void sendCommand(CommandCode command, quint8 power);
    bool beyondChip() const;
    int selectedMapStart() const;

    LinkSession& s;
    ChipCommandSets& sets;
    Recording& recording;
    ReplyIntake intake_;
    bool handling = false;
};
