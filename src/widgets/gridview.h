#pragma once

#include <QTableView>

class StringGrid;

// A table view over one of the window's grids. The grid's selected row
// (StringGrid::Row) is the one the commands act on, so it is the only truth
// about the selection: the highlight always shows it, and only the user's own
// mouse and keys choose another row. Whatever Qt does to its current index on
// its own (after rows are inserted or removed, a reset, a Ctrl-click) is put
// back to the grid's row and runs nothing.
//
// The user chooses a row by
//  - a left click; a drag ends on the row where the button is released (the
//    selection follows the mouse while it is held);
//  - a right-click, before the context menu opens, so that the menu acts on
//    the row under the mouse;
//  - the keyboard, when the selection really moves.
// Each emits rowChosen() once, after the grid's row is set.
class GridView : public QTableView {
    Q_OBJECT
public:
    explicit GridView(StringGrid& grid, QWidget* parent = nullptr);

    StringGrid& grid() const { return grid_; }

signals:
    // The user chose the grid's selected row: its row behaviour runs.
    void rowChosen(int row);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Grid row of the view's current index; 0 when there is none.
    int currentGridRow() const;
    // Moves the highlight onto the grid's row, if it is not there already.
    void showSelectedRow();
    // The user's choice: select the row and tell.
    void choose(int row);

    StringGrid& grid_;
    // A left button went down on a row and has not come up yet.
    bool leftDownOnRow = false;
};
