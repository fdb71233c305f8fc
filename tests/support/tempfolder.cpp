#include "tempfolder.h"

#include <QDir>
#include <QFile>

namespace {
const char* const ConfigHome = "XDG_CONFIG_HOME";
}

TempFolder::TempFolder()
    : previous(QDir::currentPath()), previousConfig(qgetenv(ConfigHome)),
      hadConfig(qEnvironmentVariableIsSet(ConfigHome)) {
    QDir::setCurrent(dir.path());
    // What the program keeps in the user's configuration folder (recent
    // files, window size) stays in here too.
    qputenv(ConfigHome, dir.filePath(QStringLiteral("config")).toLocal8Bit());
}

TempFolder::~TempFolder() {
    QDir::setCurrent(previous);
    if (hadConfig)
        qputenv(ConfigHome, previousConfig);
    else
        qunsetenv(ConfigHome);
}

void TempFolder::write(const QString& name, const QByteArray& bytes) const {
    QFile out(file(name));
    if (out.open(QIODevice::WriteOnly))
        out.write(bytes);
}

QByteArray TempFolder::read(const QString& name) const {
    QFile in(file(name));
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}
