#pragma once

#include <QDialog>

// "About": the program's name and version; a click anywhere closes it.
class AboutWindow : public QDialog {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);

    static QString versionText() { return QStringLiteral("VOKAR-1, ver. 2.90"); }

protected:
    void mousePressEvent(QMouseEvent* event) override;
};
