#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a signal on the event loop, so that a
// logout or Ctrl+C closes the window the way "Exit" does and loses nothing,
// and the command-line program stops its programmers before it ends.
class SignalBridge : public QObject {
    Q_OBJECT
public:
    explicit SignalBridge(QObject* parent = nullptr);
    ~SignalBridge() override;

signals:
    void terminationRequested();

private:
    void drain();
    QSocketNotifier* notifier = nullptr;
};
