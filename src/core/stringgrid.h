#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <algorithm>
#include <functional>
#include <vector>

// One of the window's two tables, kept as cell texts addressed by (column,
// row) exactly as the program's rules speak of them: row 0 holds the headers,
// column 0 the row numbers, RowCount() includes the header row.
//
// A QTableView shows it through the item-model side: model row r is grid row
// r + 1, model column c is grid column c + 1, and row 0 / column 0 come out
// as the horizontal / vertical headers.
class StringGrid : public QAbstractTableModel {
    Q_OBJECT
public:
    StringGrid(int colCount, int rowCount, QObject* parent = nullptr);

    int ColCount() const { return colCount; }
    int RowCount() const { return static_cast<int>(cells.size()); }
    // Grows with empty rows or drops rows from the end; never below 1.
    void setRowCount(int rows);

    // Text of a cell; "" outside the grid.
    QString cell(int col, int row) const;
    // Sets a cell; a cell outside the grid is left alone.
    void setCell(int col, int row, const QString& text);

    // Inserts an empty row before `row` (1 .. RowCount()) or removes one.
    void insertRow(int row);
    void removeRow(int row);

    // The selected row (1 .. RowCount() - 1 while there are data rows): the
    // row the commands act on and the view highlights. Rows inserted or
    // removed above it do not move it; when the grid shrinks below it, it
    // moves to the last row.
    int Row() const { return selectedRow; }
    // Selects a row; emits rowSelected only when the selection changes.
    // Only moves the selection: what selecting a row does is up to the
    // table that owns the grid.
    void setRow(int row);

    // The lowest data row whose start cell (column 1) is empty: where the
    // tables put their next entry. RowCount() when every row is in use.
    int FirstFreeRow() const;
    // Writes each data row's number into column 0. Rows already numbered
    // since the last structural change are not visited again, so adding to a
    // long table does not renumber it whole.
    void NumberRows();

    // Groups many changes into one model reset, so that loading or clearing a
    // long table does not repaint row by row. Nestable; cells read normally
    // while it lasts.
    class BulkUpdate {
    public:
        explicit BulkUpdate(StringGrid& grid);
        ~BulkUpdate();
        BulkUpdate(const BulkUpdate&) = delete;
        BulkUpdate& operator=(const BulkUpdate&) = delete;

    private:
        StringGrid& grid;
    };

    // A column shown after the grid's own that holds no cells: its values are
    // worked out for the view (`value` gets the grid row and the item role).
    // cell(), ColCount() and the list files never see it.
    using ShownValue = std::function<QVariant(int row, int role)>;
    void setShownColumn(const QString& header, ShownValue value);
    bool hasShownColumn() const { return static_cast<bool>(shownValue); }
    // Its model column, one past the last cell column.
    int shownColumn() const { return colCount - 1; }
    // Its values may have changed: the view asks again.
    void shownColumnChanged();
    // Whether a dataChanged() from `topLeft` on is about cells rather than
    // only the shown column; watchers of the table's contents ask this.
    bool changesCells(const QModelIndex& topLeft) const {
        return !hasShownColumn() || topLeft.column() < shownColumn();
    }

    // Column widths in pixels, as the window lays them out.
    int ColWidth(int col) const;
    void setColWidth(int col, int width);

    // Item-model side, for the view.
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    void rowSelected(int row);
    void colWidthChanged(int col, int width);

private:
    bool inBulk() const { return bulkDepth > 0; }
    // Rows from here on may hold a wrong number in column 0.
    void numbersStaleFrom(int row) { numberedUpTo = std::min(numberedUpTo, row); }

    int colCount;
    QString shownHeader;
    ShownValue shownValue;
    std::vector<std::vector<QString>> cells; // [row][col]
    int selectedRow = 1;
    bool selectionMovedInBulk = false;
    std::vector<int> widths;
    int bulkDepth = 0;
    int numberedUpTo = 1; // rows 1 .. numberedUpTo - 1 hold their numbers
    // Rows 1 .. freeScanFrom - 1 are known to be in use, so the search for
    // the first free row starts here.
    mutable int freeScanFrom = 1;
    void freeRowPossibleAt(int row) { freeScanFrom = std::max(1, std::min(freeScanFrom, row)); }
};
