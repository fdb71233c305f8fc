// Compiled against one library at a time by check_layers.cmake: it builds
// only where that library brings Qt Widgets along.
#include <QWidget>

int widgetProbe() {
    return QWidget().isVisible() ? 1 : 0;
}
