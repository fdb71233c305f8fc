#include "core/stringgrid.h"

#include <QSignalSpy>
#include <QtTest>

// The grid's row bookkeeping that keeps long tables fast must give the same
// answers as looking at every row.
class TestTableGrid : public QObject {
    Q_OBJECT
private slots:
    void firstFreeRowFollowsEveryKindOfChange();
    void numberRowsRenumbersWhateverMoved();
    void bulkUpdateResetsOnceWithoutRowSignals();
    void numberingSignalsOnceForTheWholeRun();
    void selectionStaysOnItsRowAndFollowsAShrink();
};

namespace {
int slowFirstFreeRow(const StringGrid& grid) {
    for (int row = 1; row < grid.RowCount(); ++row) {
        if (grid.cell(1, row).isEmpty())
            return row;
    }
    return grid.RowCount();
}
} // namespace

void TestTableGrid::firstFreeRowFollowsEveryKindOfChange() {
    StringGrid grid(4, 10);
    const QString used = QStringLiteral("x");
    QCOMPARE(grid.FirstFreeRow(), 1);
    for (int row = 1; row <= 5; ++row)
        grid.setCell(1, row, used);
    QCOMPARE(grid.FirstFreeRow(), 6);
    grid.setCell(1, 3, QString());
    QCOMPARE(grid.FirstFreeRow(), 3);
    grid.setCell(1, 3, used);
    QCOMPARE(grid.FirstFreeRow(), 6);
    grid.insertRow(2);
    QCOMPARE(grid.FirstFreeRow(), 2);
    grid.removeRow(2);
    QCOMPARE(grid.FirstFreeRow(), 6);
    for (int row = 1; row < grid.RowCount(); ++row)
        grid.setCell(1, row, used);
    QCOMPARE(grid.FirstFreeRow(), grid.RowCount()); // every row in use
    grid.setRowCount(4);
    grid.setRowCount(8);
    QCOMPARE(grid.FirstFreeRow(), 4);
    {
        StringGrid::BulkUpdate bulk(grid);
        grid.setCell(1, 1, QString());
    }
    QCOMPARE(grid.FirstFreeRow(), slowFirstFreeRow(grid));
    QCOMPARE(grid.FirstFreeRow(), 1);
}

void TestTableGrid::numberRowsRenumbersWhateverMoved() {
    StringGrid grid(4, 6);
    grid.NumberRows();
    grid.setCell(3, 2, QStringLiteral("second"));
    grid.insertRow(1);
    grid.setCell(0, 4, QStringLiteral("tampered"));
    grid.setRowCount(9);
    grid.NumberRows();
    for (int row = 1; row < grid.RowCount(); ++row)
        QCOMPARE(grid.cell(0, row), QString::number(row));
    QCOMPARE(grid.cell(3, 3), QStringLiteral("second"));
    grid.removeRow(1);
    QCOMPARE(grid.cell(0, 1), QStringLiteral("2")); // moved with its row until renumbered
    grid.NumberRows();
    QCOMPARE(grid.cell(0, 1), QStringLiteral("1"));
    QCOMPARE(grid.cell(0, 0), QString()); // the header row keeps its text
}

void TestTableGrid::bulkUpdateResetsOnceWithoutRowSignals() {
    StringGrid grid(4, 120);
    QSignalSpy reset(&grid, &QAbstractItemModel::modelReset);
    QSignalSpy changed(&grid, &QAbstractItemModel::dataChanged);
    QSignalSpy inserted(&grid, &QAbstractItemModel::rowsInserted);
    {
        StringGrid::BulkUpdate outer(grid);
        StringGrid::BulkUpdate inner(grid);
        for (int row = 1; row < 1000; ++row) {
            grid.setRowCount(grid.RowCount() + 1);
            grid.setCell(1, row, QStringLiteral("00001"));
        }
        QCOMPARE(grid.cell(1, 999), QStringLiteral("00001"));
    }
    QCOMPARE(reset.count(), 1);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(inserted.count(), 0);
    QCOMPARE(grid.RowCount(), 1119);
    QCOMPARE(grid.data(grid.index(998, 0)).toString(), QStringLiteral("00001"));
}

void TestTableGrid::numberingSignalsOnceForTheWholeRun() {
    StringGrid grid(4, 500);
    QSignalSpy headers(&grid, &QAbstractItemModel::headerDataChanged);
    grid.NumberRows();
    QCOMPARE(headers.count(), 1);
    QCOMPARE(headers.at(0).at(1).toInt(), 0);
    QCOMPARE(headers.at(0).at(2).toInt(), 498);
    grid.NumberRows(); // nothing moved: nothing to tell
    QCOMPARE(headers.count(), 1);
}

void TestTableGrid::selectionStaysOnItsRowAndFollowsAShrink() {
    StringGrid grid(4, 130);
    QSignalSpy selected(&grid, &StringGrid::rowSelected);
    grid.setRow(5);
    grid.insertRow(2);
    grid.removeRow(1);
    QCOMPARE(grid.Row(), 5); // rows moving around it do not move it
    grid.setRow(125);
    grid.setRowCount(120);
    QCOMPARE(grid.Row(), 119);
    QCOMPARE(selected.count(), 3);
    QCOMPARE(selected.last().at(0).toInt(), 119);
    grid.setRowCount(200);
    grid.setRow(150);
    {
        StringGrid::BulkUpdate bulk(grid);
        grid.setRowCount(120);
        QCOMPARE(grid.Row(), 119);
        QCOMPARE(selected.count(), 4); // told only when the bulk change is over
    }
    QCOMPARE(selected.count(), 5);
    QCOMPARE(selected.last().at(0).toInt(), 119);
}

QTEST_GUILESS_MAIN(TestTableGrid)
#include "tst_tablegrid.moc"
