#pragma once

#include "chipgeometry.h"
#include "placement.h"
#include "recordverifier.h"

#include <QRect>
#include <QString>
#include <optional>
#include <vector>

class StringGrid;

// One block of the memory picture.
struct PictureBlock {
    enum class Kind { Reserved, File, Record, Free };
    enum class Lane { Files, Map, Both };
    enum class State { Plain, Cut, Verified, Differs };

    Kind kind = Kind::Free;
    Lane lane = Lane::Files;
    State state = State::Plain;
    int firstRow = 0;
    int lastRow = 0;
    int tableRow = 0; // the row of its table; 0 for free and reserved rows
    QString tip;
};

// What the memory picture shows and where: the chip's rows from 0 to its last
// row across the width, the file table's messages where they will go in the
// upper lane, the records found in the chip in the lower lane.
class MemoryLayout {
public:
    MemoryLayout(const ChipGeometry& chip, const std::vector<Placement>& placements,
                 const StringGrid& mapGrid, const RecordVerifier::Result* verified);

    const std::vector<PictureBlock>& blocks() const { return all; }
    const ChipGeometry& chip() const { return geometry; }

    // Rows map to pixels in proportion: row r starts at x = left + r * width / rows.
    static int xOfRow(int row, int rowCount, const QRect& area);
    // The pixels of a block within the drawing area.
    QRect rectOf(const PictureBlock& block, const QRect& area) const;
    // The block under a point, files and records before free rows.
    const PictureBlock* blockAt(const QPoint& point, const QRect& area) const;

private:
    void addFiles(const std::vector<Placement>& placements);
    void addRecords(const StringGrid& mapGrid, const RecordVerifier::Result* verified);
    void addFree(PictureBlock::Lane lane);
    QString rowsText(int first, int last) const;

    ChipGeometry geometry;
    std::vector<PictureBlock> all;
};
