#include "gridview.h"

#include "core/stringgrid.h"

#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>

GridView::GridView(StringGrid& grid, QWidget* parent) : QTableView(parent), grid_(grid) {
    setModel(&grid);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Connected after the view's own handling of the same signals, so the
    // highlight is put back once Qt has moved it.
    connect(&grid, &StringGrid::rowSelected, this, &GridView::showSelectedRow);
    connect(&grid, &QAbstractItemModel::rowsInserted, this, &GridView::showSelectedRow);
    connect(&grid, &QAbstractItemModel::rowsRemoved, this, &GridView::showSelectedRow);
    connect(&grid, &QAbstractItemModel::modelReset, this, &GridView::showSelectedRow);
    connect(&grid, &QAbstractItemModel::layoutChanged, this, &GridView::showSelectedRow);
    // A column shown beside the cells (the file table's Length) joins the
    // highlighted row.
    connect(&grid, &QAbstractItemModel::columnsInserted, this, &GridView::showSelectedRow);
    showSelectedRow();
}

int GridView::currentGridRow() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

void GridView::showSelectedRow() {
    QItemSelectionModel* selection = selectionModel();
    if (selection == nullptr)
        return;
    const int row = grid_.Row();
    if (row < 1 || row >= grid_.RowCount()) {
        selection->clearSelection();
        return;
    }
    const int modelRow = row - 1;
    const QModelIndex current = selection->currentIndex();
    if (current.isValid() && current.row() == modelRow && selection->isRowSelected(modelRow) &&
        selection->selection().size() == 1)
        return;
    const int column = current.isValid() ? current.column() : 0;
    selection->setCurrentIndex(grid_.index(modelRow, column),
                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void GridView::choose(int row) {
    grid_.setRow(row);
    showSelectedRow();
    emit rowChosen(row);
}

void GridView::mousePressEvent(QMouseEvent* event) {
    const QModelIndex at = indexAt(event->position().toPoint());
    QTableView::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) {
        leftDownOnRow = at.isValid();
        if (leftDownOnRow)
            grid_.setRow(at.row() + 1);
    } else if (event->button() == Qt::RightButton && at.isValid()) {
        // Before the context menu opens: it acts on this row.
        choose(at.row() + 1);
    }
    showSelectedRow();
}

void GridView::mouseMoveEvent(QMouseEvent* event) {
    QTableView::mouseMoveEvent(event);
    if (leftDownOnRow && (event->buttons() & Qt::LeftButton)) {
        const QModelIndex at = indexAt(event->position().toPoint());
        if (at.isValid())
            grid_.setRow(at.row() + 1);
    }
    showSelectedRow();
}

void GridView::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && leftDownOnRow) {
        leftDownOnRow = false;
        // Where the button comes up; off the rows, the last row the mouse
        // was on, which the grid holds already.
        const QModelIndex at = indexAt(event->position().toPoint());
        choose(at.isValid() ? at.row() + 1 : grid_.Row());
        return;
    }
    showSelectedRow();
}

void GridView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    // The second press of a double click: its release is a click too.
    if (event->button() == Qt::LeftButton) {
        const QModelIndex at = indexAt(event->position().toPoint());
        leftDownOnRow = at.isValid();
        if (leftDownOnRow)
            grid_.setRow(at.row() + 1);
    }
    showSelectedRow();
}

void GridView::keyPressEvent(QKeyEvent* event) {
    QTableView::keyPressEvent(event);
    const int row = currentGridRow();
    if (row > 0 && row != grid_.Row())
        choose(row);
    else
        showSelectedRow();
}
