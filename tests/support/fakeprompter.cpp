#include "fakeprompter.h"

bool FakePrompter::execute(FileDialog& dialog) {
    shown.append(dialog);
    if (answers.isEmpty())
        return false;
    const QString answer = answers.takeFirst();
    if (answer.isEmpty())
        return false;
    dialog.fileNames = dialog.multiple ? answer.split(QChar(0)) : QStringList{answer};
    dialog.fileName = dialog.fileNames.constFirst();
    return true;
}

int FakePrompter::ask(const Question& question) {
    asked.append(question);
    if (choices.isEmpty())
        return question.carryOn;
    const QString choice = choices.takeFirst();
    const int index = int(question.buttons.indexOf(choice));
    // A script that names no button of this question is a test's mistake:
    // Escape is the safe answer.
    return index >= 0 ? index : question.escapeButton;
}
