#pragma once

#include <QString>

// What the program keeps for the user beyond "isdvokar.fig": the recent
// lists and maps, the window's size and place, column widths. It lives in
// the user's configuration folder (on Linux ~/.config/isdvokar/isdvokar.conf)
// so that the seven-line settings file in the working folder stays as it is.
namespace UserSettings {

QString path();

} // namespace UserSettings
