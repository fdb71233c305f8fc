#pragma once

#include "core/commands.h"

#include <QKeySequence>
#include <vector>

class QWidget;

// The keys of the window's commands: the platform's standard keys for open,
// save, save as, quit and help, and on the file table Delete, Insert, F2
// and Shift+F10 (its context menu).
namespace Shortcuts {

struct Binding {
    Control control;
    QKeySequence::StandardKey standard; // QKeySequence::UnknownKey: only `key`
    // The key where the platform has none for `standard` (a desktop without
    // a key for "save as", say); the command's only key without one.
    QKeyCombination key;
    // Only while the file table has the focus, so that Delete and Insert
    // keep their meaning in other widgets.
    bool fileTableOnly;
};

const std::vector<Binding>& bindings();

// Gives the commands their keys. Every action is also added to `window`, so
// that its key works whichever tab shows (a tool button's action otherwise
// sits on a hidden tool bar); the file table's keys go to `fileTable`.
void apply(Commands& commands, QWidget* window, QWidget* fileTable);

// The keys of a binding on this platform.
QList<QKeySequence> keys(const Binding& binding);
// The first of them as the platform spells it, e.g. "Ctrl+O".
QString text(const Binding& binding);

} // namespace Shortcuts
