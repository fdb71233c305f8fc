#include "unsavedchanges.h"

#include "core/stringgrid.h"
#include "core/tablelayout.h"

UnsavedChanges::UnsavedChanges(StringGrid& grid, QObject* parent)
    : QObject(parent), fileGrid(grid) {
    connect(&grid, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex& topLeft) {
        if (fileGrid.changesCells(topLeft))
            changed();
    });
    connect(&grid, &QAbstractItemModel::modelReset, this, &UnsavedChanges::changed);
    connect(&grid, &QAbstractItemModel::rowsInserted, this, &UnsavedChanges::changed);
    connect(&grid, &QAbstractItemModel::rowsRemoved, this, &UnsavedChanges::changed);
}

void UnsavedChanges::changed() {
    dirty = true;
}

bool UnsavedChanges::pending() const {
    // The save commands look at row 1's start cell to tell an empty table.
    return dirty && !fileGrid.cell(FileColumn::Start, 1).isEmpty();
}

void UnsavedChanges::kept() {
    dirty = false;
}
