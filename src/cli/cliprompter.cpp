#include "cliprompter.h"

#include "core/filedialog.h"

void CliPrompter::showMessage(const QString& text) {
    tell({text, false});
}

void CliPrompter::showError(const QString& text) {
    tell({text, true});
}

void CliPrompter::tell(const Message& message) {
    shown.append(message);
    if (onMessage)
        onMessage(message);
}

bool CliPrompter::execute(FileDialog& dialog) {
    const QString name = dialog.kind == FileDialog::Kind::Open ? openName : saveName;
    if (name.isEmpty())
        return false;
    dialog.fileName = name;
    return true;
}

QStringList CliPrompter::texts() const {
    QStringList list;
    for (const Message& message : shown)
        list << message.text;
    return list;
}
