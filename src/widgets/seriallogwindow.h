#pragma once

#include "link/comport.h"

#include <QWidget>

class Prompter;
class QPlainTextEdit;
class QPushButton;
struct FileDialog;

// View > Serial log: every frame that goes over the line while the window
// is open, with its time, in hex and as text. It watches the port only while
// it is shown; closed, it costs the port nothing.
class SerialLogWindow : public QWidget, public TrafficObserver {
    Q_OBJECT
public:
    static constexpr int FrameSize = 20;
    static constexpr int MaxLines = 20000;

    SerialLogWindow(ComPort& port, Prompter& prompter, QWidget* parent = nullptr);
    ~SerialLogWindow() override;

    void sent(const QByteArray& bytes) override;
    void received(const QByteArray& bytes, bool discarded) override;

    // One line of the log: "12:03:04.123  sent      05 FF ...  |.....|".
    static QString line(const QTime& time, const QString& direction, const QByteArray& bytes);
    QStringList lines() const;
    QPushButton* saveButton() const { return save; }
    QPushButton* clearButton() const { return clear; }
    // Writes the log as text; false, with the user told why, when it fails.
    bool saveTo(const QString& name);

signals:
    // Shown or hidden, by the menu or by its own close box.
    void visibilityChanged(bool shown);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void append(const QString& direction, const QByteArray& bytes);
    void askAndSave();

    ComPort& port;
    Prompter& prompter;
    QPlainTextEdit* view;
    QPushButton* save;
    QPushButton* clear;
    QString lastFolder;
};
