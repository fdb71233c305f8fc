#include "shortcuts.h"

#include <QAction>
#include <QWidget>

namespace Shortcuts {

const std::vector<Binding>& bindings() {
    static const std::vector<Binding> all = {
        {Control::OpenTableItem, QKeySequence::Open, Qt::CTRL | Qt::Key_O, false},
        // Save to the list the table belongs to (the tool button's command);
        // "Save file list" in the menu asks for a name.
        {Control::SaveFileListButton, QKeySequence::Save, Qt::CTRL | Qt::Key_S, false},
        {Control::SaveFileListItem, QKeySequence::SaveAs, Qt::CTRL | Qt::SHIFT | Qt::Key_S, false},
        {Control::ExitItem, QKeySequence::Quit, Qt::CTRL | Qt::Key_Q, false},
        {Control::AboutItem, QKeySequence::HelpContents, Qt::Key_F1, false},
        {Control::RemoveFileItem, QKeySequence::Delete, Qt::Key_Delete, true},
        {Control::InsertFilePopupItem, QKeySequence::UnknownKey, Qt::Key_Insert, true},
        {Control::EditAddressKey, QKeySequence::UnknownKey, Qt::Key_F2, true},
        // The menu key itself opens it where the platform sends it as a
        // context menu request (X11, Windows).
        {Control::PopupMenuKey, QKeySequence::UnknownKey, Qt::SHIFT | Qt::Key_F10, true},
    };
    return all;
}

QList<QKeySequence> keys(const Binding& binding) {
    QList<QKeySequence> found;
    if (binding.standard != QKeySequence::UnknownKey)
        found = QKeySequence::keyBindings(binding.standard);
    if (found.isEmpty())
        found.append(QKeySequence(binding.key));
    return found;
}

QString text(const Binding& binding) {
    return keys(binding).constFirst().toString(QKeySequence::NativeText);
}

void apply(Commands& commands, QWidget* window, QWidget* fileTable) {
    for (const Binding& binding : bindings()) {
        QAction* act = commands.action(binding.control);
        act->setShortcuts(keys(binding));
        if (binding.fileTableOnly) {
            act->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            fileTable->addAction(act);
        } else {
            act->setShortcutContext(Qt::WindowShortcut);
            window->addAction(act);
        }
    }
}

} // namespace Shortcuts
