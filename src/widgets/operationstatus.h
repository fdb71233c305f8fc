#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

// The status bar's permanent part that tells what runs: a text (cut at the
// edge when the bar is short, whole in its tool tip) and, while a long
// operation runs, a progress bar with the time left. It is a permanent
// widget of the status bar, so a menu's or a button's hint never covers it;
// other texts take their own place beside it.
class OperationStatus : public QWidget {
    Q_OBJECT
public:
    explicit OperationStatus(QWidget* parent = nullptr);

    QString text() const { return shown; }
    void setText(const QString& text);
    // `done` 0..1, below 0 when not known (the bar then only moves);
    // `left` e.g. "0:42 left", empty when not known.
    void showProgress(double done, const QString& left);
    void hideProgress();

    QLabel* label() const { return textLabel; }
    QProgressBar* progressBar() const { return bar; }

private:
    QString shown;
    QLabel* textLabel;
    QProgressBar* bar;
};
