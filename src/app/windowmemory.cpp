#include "windowmemory.h"

#include "core/tablelayout.h"
#include "mainwindow.h"

#include <QSettings>
#include <QTableView>

namespace {
const QString geometryKey = QStringLiteral("window/geometry");
const QString widthsKey = QStringLiteral("window/fileColumns");
// Start, stop and length: the columns the user sizes.
constexpr int StartColumn = FileColumn::Start;
constexpr int StopColumn = FileColumn::Stop;
constexpr int MinimumWidth = 16;
} // namespace

WindowMemory::WindowMemory(MainWindow& window_, const QString& settingsPath_)
    : window(window_), settingsPath(settingsPath_) {}

bool WindowMemory::restore() {
    const QSettings settings(settingsPath, QSettings::IniFormat);
    const QList<QVariant> widths = settings.value(widthsKey).toList();
    if (widths.size() >= 2) {
        StringGrid& grid = window.state().fileGrid;
        for (int col : {StartColumn, StopColumn}) {
            const int width = widths.at(col - 1).toInt();
            if (width >= MinimumWidth)
                grid.setColWidth(col, width);
        }
        if (widths.size() >= 3 && grid.hasShownColumn() && widths.at(2).toInt() >= MinimumWidth)
            window.fileView()->setColumnWidth(grid.shownColumn(), widths.at(2).toInt());
    }
    const QByteArray geometry = settings.value(geometryKey).toByteArray();
    const bool restored = !geometry.isEmpty() && window.restoreGeometry(geometry);
    window.fitColumns();
    return restored;
}

void WindowMemory::save() const {
    QSettings settings(settingsPath, QSettings::IniFormat);
    settings.setValue(geometryKey, window.saveGeometry());
    const StringGrid& grid = window.state().fileGrid;
    QList<QVariant> widths = {grid.ColWidth(StartColumn), grid.ColWidth(StopColumn)};
    if (grid.hasShownColumn())
        widths.append(window.fileView()->columnWidth(grid.shownColumn()));
    settings.setValue(widthsKey, widths);
}
