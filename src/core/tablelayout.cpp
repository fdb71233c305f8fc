#include "tablelayout.h"

#include "stringgrid.h"

namespace TableLayout {

QStringList fileHeaders() {
    return {QStringLiteral("Start address"), QStringLiteral("Stop address"),
            QStringLiteral("File name")};
}

QStringList mapHeaders() {
    return {QStringLiteral("Start adress"), QStringLiteral("Start address HEX"),
            QStringLiteral("EOM address"),  QStringLiteral("EOM address HEX"),
            QStringLiteral("OVF address"),  QStringLiteral("OVF address HEX")};
}

void setUp(StringGrid& grid, const QStringList& headers) {
    for (int col = 1; col <= headers.size(); ++col)
        grid.setCell(col, 0, headers.at(col - 1));
    for (int row = 1; row < grid.RowCount(); ++row) {
        grid.setCell(0, row, QString::number(row));
        for (int col = 1; col < grid.ColCount(); ++col)
            grid.setCell(col, row, QString());
    }
}

} // namespace TableLayout
