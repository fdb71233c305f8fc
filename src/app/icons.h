#pragma once

#include "core/commands.h"

#include <QIcon>

class QStyle;

// Tool bar icons. They come from the style's own icon set or are drawn here,
// so they show on a machine without any icon theme.
namespace Icons {
QIcon forCommand(Control control, const QStyle* style);
QIcon application();
} // namespace Icons
