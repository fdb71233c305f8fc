#include "usersettings.h"

#include <QStandardPaths>

namespace UserSettings {

QString path() {
    // Looked up each time: tests point the configuration folder elsewhere.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/isdvokar/isdvokar.conf");
}

} // namespace UserSettings
