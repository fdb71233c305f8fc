#pragma once

#include <QString>
#include <QStringList>

class QAction;
class QMenu;
class QMenuBar;

// Access keys (the underlined letter, Alt+letter on a menu bar) for every
// menu title and item, unique within each menu. The captions stay as they
// are; only the "&" before the chosen letter is added to the shown text.
namespace AccessKeys {

// Marks the titles of the menu bar and every item of its menus, submenus
// included.
void assign(QMenuBar* bar);
void assign(QMenu* menu);

// `caption` with an "&" before the letter it gets, given the letters (lower
// case) already taken in its menu; the letter is added to `taken`. The
// first letter of a word is preferred, then any letter or digit; a caption
// that has none left stays as it is.
QString mark(const QString& caption, QString& taken);

// The caption without its access key marks, as the command table holds it.
QString plain(const QString& text);

} // namespace AccessKeys
