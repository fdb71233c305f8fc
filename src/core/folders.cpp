#include "folders.h"

#include "filedialog.h"

namespace {

bool isSeparator(QChar c) {
#ifdef Q_OS_WIN
    return c == u'\\' || c == u'/';
#else
    return c == u'/';
#endif
}

} // namespace

QString RememberedFolders::folderOf(const QString& name, bool trailing) {
    // The separator is looked for among the characters before the last one.
    for (qsizetype i = name.size() - 2; i >= 0; --i) {
        if (isSeparator(name.at(i)))
            return name.left(trailing ? i + 1 : i);
    }
    return QString();
}

void RememberedFolders::RememberFolder(int kind, const FileDialog& open, const FileDialog& save) {
    QString* target = nullptr;
    const FileDialog* dialog = &open;
    bool trailing = false;
    switch (kind) {
    case 1:
        target = &SoundFolder;
        break;
    case 2:
        target = &ListFolder;
        break;
    case 3:
        target = &MapFolder;
        break;
    case 4:
        target = &ListFolder;
        dialog = &save;
        trailing = true;
        break;
    case 5:
        target = &MapFolder;
        dialog = &save;
        trailing = true;
        break;
    default:
        return;
    }
    const QString folder = folderOf(dialog->fileName, trailing);
    // A name without a folder (an unused save dialog) must not wipe a folder
    // the user chose before.
    if (!folder.isEmpty())
        *target = folder;
}
