#pragma once

#include <QString>
#include <functional>

class AddressInput;
class ChipControl;
class CommandAvailability;
class PanelTexts;
class Prompter;
class StringGrid;
struct FileDialog;
struct RememberedFolders;

// The window state the table commands work on, handed over as references so
// that the commands run the same with the real window or with test fakes.
// The window-only effects (caption, active tab, scrolling) are callbacks; an
// empty callback does nothing.
struct TablesContext {
    enum class Table { Files, Map };

    StringGrid& fileGrid;
    StringGrid& mapGrid;
    PanelTexts& panel;
    const ChipControl& chip;
    CommandAvailability& availability;
    Prompter& prompter;
    FileDialog& open;
    FileDialog& save;
    RememberedFolders& folders;
    int& soundFileType;
    QString& listFileName;
    AddressInput& address;

    std::function<void(const QString&)> setCaption;
    std::function<void()> showSoundFiles;
    std::function<void()> scrollFilesToTop;
    std::function<void()> scrollMapToTop;
    // A table now holds what a file holds: it was loaded from it or saved to
    // it (the recent files, the unsaved-changes check).
    std::function<void(Table table, const QString& file)> fileKept;

    void caption(const QString& text) const {
        if (setCaption)
            setCaption(text);
    }
    void kept(Table table, const QString& file) const {
        if (fileKept)
            fileKept(table, file);
    }
    static void call(const std::function<void()>& hook) {
        if (hook)
            hook();
    }
};
