#pragma once

#include <QString>

class MainWindow;

// The window's size and place and the file table's column widths, kept in
// the user's settings from one run to the next (isdvokar.fig stays as it
// is). The file name column and the memory map's columns follow the
// window's width, as they always do.
class WindowMemory {
public:
    WindowMemory(MainWindow& window, const QString& settingsPath);

    // Before the window is shown: true when there was something to restore.
    bool restore();
    void save() const;

private:
    MainWindow& window;
    QString settingsPath;
};
