#pragma once

#include <QAudioDevice>
#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// The sound outputs a recording can play to. Each is known by the sound
// server's own name for it (a PulseAudio sink name such as
// "alsa_output.usb-0d8c_USB_Sound_Device-00.analog-stereo"), which stays the
// same between runs, and shown with the description the server gives it.
//
// The chosen output is kept in the user's configuration folder
// (isdvokar/isdvokar.ini, key sound/output), where the window's Setup > Sound
// output puts it and the command-line program reads it too.
namespace OutputDevices {

struct Output {
    QByteArray id;
    QString description;
    bool isDefault = false;

    // "USB Sound Device (alsa_output.usb-...)"
    QString label() const;
};

QList<Output> list();

// The output with this id, the server's default output for an empty id; a
// null device when there is none.
QAudioDevice find(const QByteArray& id);

// What a user typed: an output's id, or a description that only one output
// has. Nothing, with `why` saying so, when no output or several fit.
std::optional<Output> match(const QString& name, QString& why);

// The chosen output's id; empty for the default output.
QByteArray savedChoice();
// False when the settings could not be written.
bool saveChoice(const QByteArray& id);
QString settingsPath();

} // namespace OutputDevices
