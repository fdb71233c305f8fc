#pragma once

#include <QObject>
#include <QString>
#include <functional>

class Prompter;
class QMenu;
class RecentFiles;

// A "Recent lists" or "Recent maps" submenu: the files newest first,
// numbered 1 to 10 as their access keys. Choosing one that is no longer on
// disk says so and takes it off the menu.
class RecentMenu : public QObject {
    Q_OBJECT
public:
    RecentMenu(QMenu* menu, RecentFiles& files, Prompter& prompter, const QString& emptyText,
               std::function<void(const QString&)> open, QObject* parent = nullptr);

    // Opens a file of the menu as its item does.
    void choose(const QString& name);

private:
    void rebuild();

    QMenu* menu;
    RecentFiles& files;
    Prompter& prompter;
    QString emptyText;
    std::function<void(const QString&)> open;
};
