#pragma once

#include <QApplication>

// The application object. A failure that escapes a handler is shown in the
// standard error box and the program carries on; nothing crosses the event
// loop.
class GuardedApplication : public QApplication {
    Q_OBJECT
public:
    GuardedApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
