#include "recentfiles.h"

#include <QFileInfo>
#include <QSettings>

RecentFiles::RecentFiles(const QString& settingsPath_, const QString& key_, QObject* parent)
    : QObject(parent), settingsPath(settingsPath_), key(key_) {
    const QSettings settings(settingsPath, QSettings::IniFormat);
    for (const QString& name : settings.value(key).toStringList()) {
        if (!name.isEmpty() && !files.contains(name) && files.size() < Limit)
            files.append(name);
    }
}

void RecentFiles::add(const QString& name) {
    const QFileInfo info(name);
    if (!info.isFile())
        return;
    const QString full = info.absoluteFilePath();
    if (!files.isEmpty() && files.constFirst() == full)
        return;
    files.removeAll(full);
    files.prepend(full);
    while (files.size() > Limit)
        files.removeLast();
    store();
}

void RecentFiles::remove(const QString& name) {
    if (files.removeAll(name) == 0)
        return;
    store();
}

void RecentFiles::store() {
    // Written at once, so that another window started later sees it; a
    // settings file that cannot be written only loses the list.
    QSettings settings(settingsPath, QSettings::IniFormat);
    settings.setValue(key, files);
    emit changed();
}
