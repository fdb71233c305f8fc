#include "stringgrid.h"

#include "localtext.h"

#include <algorithm>

StringGrid::StringGrid(int colCount_, int rowCount_, QObject* parent)
    : QAbstractTableModel(parent), colCount(std::max(1, colCount_)) {
    cells.assign(static_cast<size_t>(std::max(1, rowCount_)),
                 std::vector<QString>(static_cast<size_t>(colCount)));
    widths.assign(static_cast<size_t>(colCount), 64);
}

int StringGrid::ColWidth(int col) const {
    return col >= 0 && col < colCount ? widths[static_cast<size_t>(col)] : 0;
}

void StringGrid::setColWidth(int col, int width) {
    if (col < 0 || col >= colCount || widths[static_cast<size_t>(col)] == width)
        return;
    widths[static_cast<size_t>(col)] = width;
    emit colWidthChanged(col, width);
}

void StringGrid::setRowCount(int rows) {
    rows = std::max(1, rows);
    const int old = RowCount();
    if (rows < old) {
        numbersStaleFrom(rows);
        freeRowPossibleAt(rows);
    }
    // A selection on a row that goes away moves to the last row that stays.
    const bool selectionCut = rows > 1 && selectedRow >= rows;
    if (selectionCut)
        selectedRow = rows - 1;
    if (inBulk()) {
        cells.resize(static_cast<size_t>(rows),
                     std::vector<QString>(static_cast<size_t>(colCount)));
        selectionMovedInBulk = selectionMovedInBulk || selectionCut;
        return;
    }
    if (rows > old) {
        beginInsertRows(QModelIndex(), old - 1, rows - 2);
        cells.resize(static_cast<size_t>(rows),
                     std::vector<QString>(static_cast<size_t>(colCount)));
        endInsertRows();
    } else if (rows < old) {
        beginRemoveRows(QModelIndex(), rows - 1, old - 2);
        cells.resize(static_cast<size_t>(rows));
        endRemoveRows();
    }
    if (selectionCut)
        emit rowSelected(selectedRow);
}

QString StringGrid::cell(int col, int row) const {
    if (col < 0 || col >= colCount || row < 0 || row >= RowCount())
        return QString();
    return cells[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

void StringGrid::setCell(int col, int row, const QString& text) {
    if (col < 0 || col >= colCount || row < 0 || row >= RowCount())
        return;
    QString& target = cells[static_cast<size_t>(row)][static_cast<size_t>(col)];
    if (target == text)
        return;
    target = text;
    if (col == 0 && row > 0)
        numbersStaleFrom(row);
    if (col == 1 && text.isEmpty())
        freeRowPossibleAt(row);
    if (inBulk())
        return;
    if (row == 0 && col > 0)
        emit headerDataChanged(Qt::Horizontal, col - 1, col - 1);
    else if (col == 0 && row > 0)
        emit headerDataChanged(Qt::Vertical, row - 1, row - 1);
    else if (row > 0 && col > 0) {
        const QModelIndex at = index(row - 1, col - 1);
        emit dataChanged(at, at, {Qt::DisplayRole});
    }
}

void StringGrid::insertRow(int row) {
    if (row < 1 || row > RowCount())
        return;
    numbersStaleFrom(row);
    freeRowPossibleAt(row);
    if (!inBulk())
        beginInsertRows(QModelIndex(), row - 1, row - 1);
    cells.insert(cells.begin() + row, std::vector<QString>(static_cast<size_t>(colCount)));
    if (!inBulk())
        endInsertRows();
}

void StringGrid::removeRow(int row) {
    if (row < 1 || row >= RowCount())
        return;
    numbersStaleFrom(row);
    freeRowPossibleAt(row);
    if (!inBulk())
        beginRemoveRows(QModelIndex(), row - 1, row - 1);
    cells.erase(cells.begin() + row);
    if (!inBulk())
        endRemoveRows();
}

int StringGrid::FirstFreeRow() const {
    const int rows = RowCount();
    if (colCount < 2)
        return std::min(1, rows);
    int row = std::max(1, freeScanFrom);
    while (row < rows && !cells[static_cast<size_t>(row)][1].isEmpty())
        ++row;
    freeScanFrom = row;
    return row;
}

void StringGrid::NumberRows() {
    const int rows = RowCount();
    int first = -1, last = -1;
    for (int row = std::max(1, numberedUpTo); row < rows; ++row) {
        QString& number = cells[static_cast<size_t>(row)][0];
        const QString text = QString::number(row);
        if (number == text)
            continue;
        number = text;
        if (first < 0)
            first = row;
        last = row;
    }
    numberedUpTo = rows;
    // One signal for the whole run of numbers, not one a row.
    if (first > 0 && !inBulk())
        emit headerDataChanged(Qt::Vertical, first - 1, last - 1);
}

StringGrid::BulkUpdate::BulkUpdate(StringGrid& grid_) : grid(grid_) {
    if (grid.bulkDepth++ == 0)
        grid.beginResetModel();
}

StringGrid::BulkUpdate::~BulkUpdate() {
    if (--grid.bulkDepth == 0) {
        grid.endResetModel();
        // Headers are not part of the reset for every view; tell them too.
        emit grid.headerDataChanged(Qt::Horizontal, 0, std::max(0, grid.colCount - 2));
        if (grid.RowCount() > 1)
            emit grid.headerDataChanged(Qt::Vertical, 0, grid.RowCount() - 2);
        if (grid.selectionMovedInBulk) {
            grid.selectionMovedInBulk = false;
            emit grid.rowSelected(grid.selectedRow);
        }
    }
}

void StringGrid::setRow(int row) {
    if (row == selectedRow)
        return;
    selectedRow = row;
    emit rowSelected(row);
}

int StringGrid::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : RowCount() - 1;
}

int StringGrid::columnCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    return colCount - 1 + (hasShownColumn() ? 1 : 0);
}

QVariant StringGrid::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return QVariant();
    if (hasShownColumn() && index.column() == shownColumn())
        return shownValue(index.row() + 1, role);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return QVariant();
    // Names kept byte for byte from another system's list show their bytes.
    return LocalText::readable(cell(index.column() + 1, index.row() + 1));
}

QVariant StringGrid::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Horizontal && hasShownColumn() && section == shownColumn())
        return shownHeader;
    return orientation == Qt::Horizontal ? cell(section + 1, 0) : cell(0, section + 1);
}

void StringGrid::setShownColumn(const QString& header, ShownValue value) {
    const bool adding = !hasShownColumn();
    if (adding)
        beginInsertColumns(QModelIndex(), shownColumn(), shownColumn());
    shownHeader = header;
    shownValue = std::move(value);
    if (adding)
        endInsertColumns();
    else
        shownColumnChanged();
}

void StringGrid::shownColumnChanged() {
    if (!hasShownColumn() || RowCount() < 2)
        return;
    emit dataChanged(index(0, shownColumn()), index(RowCount() - 2, shownColumn()));
}
