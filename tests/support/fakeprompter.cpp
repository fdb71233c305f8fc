#include "fakeprompter.h"

bool FakePrompter::execute(FileDialog& dialog) {
    shown.append(dialog);
    if (answers.isEmpty())
        return false;
    const QString answer = answers.takeFirst();
    if (answer.isEmpty())
        return false;
    dialog.fileName = answer;
    return true;
}
