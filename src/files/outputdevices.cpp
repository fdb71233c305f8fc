#include "outputdevices.h"

#include "soundoutput.h"

#include "core/usersettings.h"

#include <QSettings>
#include <algorithm>

namespace {

// The same file as the window's other remembered settings.
QSettings settings() {
    return QSettings(UserSettings::path(), QSettings::IniFormat);
}

const QString choiceKey = QStringLiteral("sound/output");

} // namespace

namespace OutputDevices {

QString Output::label() const {
    const QString name = QString::fromUtf8(id);
    if (description.isEmpty() || description == name)
        return name;
    return QStringLiteral("%1 (%2)").arg(description, name);
}

QList<Output> list() {
    return SoundOutput::outputs();
}

bool isPresent(const QByteArray& id) {
    // The server plays a stream without a named output on its default one,
    // which any output can be.
    const QList<Output> outputs = list();
    return std::any_of(outputs.begin(), outputs.end(),
                       [&id](const Output& output) { return id.isEmpty() || output.id == id; });
}

std::optional<Output> match(const QString& name, QString& why) {
    const QList<Output> outputs = list();
    for (const Output& output : outputs) {
        if (QString::fromUtf8(output.id) == name)
            return output;
    }
    // Several adapters of one make share a description; only a unique one
    // names an output.
    QList<Output> described;
    for (const Output& output : outputs) {
        if (output.description.compare(name, Qt::CaseInsensitive) == 0)
            described.append(output);
    }
    if (described.size() == 1)
        return described.first();
    if (described.isEmpty())
        why = QStringLiteral("No sound output named %1").arg(name);
    else
        why = QStringLiteral("%1 sound outputs are described as \"%2\"; name one by its id")
                  .arg(described.size())
                  .arg(name);
    return std::nullopt;
}

QByteArray savedChoice() {
    return settings().value(choiceKey).toString().toUtf8();
}

bool saveChoice(const QByteArray& id) {
    QSettings s = settings();
    if (id.isEmpty())
        s.remove(choiceKey);
    else
        s.setValue(choiceKey, QString::fromUtf8(id));
    s.sync();
    return s.status() == QSettings::NoError;
}

QString settingsPath() {
    return settings().fileName();
}

} // namespace OutputDevices
