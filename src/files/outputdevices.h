#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// The sound outputs a recording can play to. Each is known by the sound
// server's own name for it (a PulseAudio sink name such as
// "alsa_output.usb-0d8c_USB_Sound_Device-00.analog-stereo"), which stays the
// same between runs, and shown with the description the server gives it. The
// list comes from the build's sound output (SoundOutput::outputs()), so the
// names listed are the names it plays on.
//
// The chosen output is kept in the user's configuration folder
// (isdvokar/isdvokar.conf, key sound/output), where the window's Setup > Sound
// output puts it and the command-line program reads it too.
namespace OutputDevices {

struct Output {
    QByteArray id;
    QString description;
    bool isDefault = false;

    // "USB Sound Device (alsa_output.usb-...)"
    QString label() const;
};

// The outputs there are now.
QList<Output> list();

// Whether the output with this id is there; for an empty id, whether there is
// any output for the default to be.
bool isPresent(const QByteArray& id);

// What a user typed: an output's id, or a description that only one output
// has. Nothing, with `why` saying so, when no output or several fit.
std::optional<Output> match(const QString& name, QString& why);

// The chosen output's id; empty for the default output.
QByteArray savedChoice();
// False when the settings could not be written.
bool saveChoice(const QByteArray& id);
QString settingsPath();

} // namespace OutputDevices
