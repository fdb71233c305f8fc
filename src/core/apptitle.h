#pragma once

#include <QString>

// The application title, also the caption of the program's message boxes.
inline QString appTitle() {
    return QStringLiteral("ISD Programer");
}
