#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

class PanelTexts;
class QPushButton;
class QStatusBar;
class ComPort;

// After the open port's device went away (an adapter unplugged, the
// stand-in ended), watches for that device to come back and then offers,
// once, a button in the status bar that opens the port again. It never opens
// the port by itself: an operation the user started may still be winding up.
class ReopenOffer : public QObject {
    Q_OBJECT
public:
    // `say` puts a text in the status bar.
    ReopenOffer(ComPort& port, PanelTexts& panel, QStatusBar& bar, std::function<void(QString)> say,
                QObject* parent = nullptr);

    // The button, shown while the offer stands.
    QPushButton* button() const { return reopen; }
    // The device being waited for; empty when none.
    QString awaited() const { return device; }

private:
    void onVanished();
    void look();
    void withdraw();
    void accept();

    ComPort& port;
    PanelTexts& panel;
    QStatusBar& bar;
    std::function<void(QString)> say;
    QPushButton* reopen;
    QTimer watch;
    QString device;
};
