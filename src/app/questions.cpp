#include "questions.h"

#include <QFileInfo>

namespace Questions {

Prompter::Question unsavedChanges(const QString& listFileName) {
    const QString list =
        listFileName.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(listFileName).fileName();
    Prompter::Question question;
    question.text = QStringLiteral("Save changes to %1?").arg(list);
    question.buttons = {QStringLiteral("Save"), QStringLiteral("Discard"),
                        QStringLiteral("Cancel")};
    question.defaultButton = Save;
    question.escapeButton = Cancel;
    // The program used to go on without asking.
    question.carryOn = Discard;
    return question;
}

Prompter::Question erase() {
    Prompter::Question question;
    question.text = QStringLiteral("Erase the whole chip? Every message on it is lost.");
    question.buttons = {QStringLiteral("Erase"), QStringLiteral("Cancel")};
    question.defaultButton = KeepChip;
    question.escapeButton = KeepChip;
    question.carryOn = Erase;
    return question;
}

} // namespace Questions
