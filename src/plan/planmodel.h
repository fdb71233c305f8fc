#pragma once

#include "chipgeometry.h"
#include "memorylayout.h"
#include "placement.h"
#include "recordverifier.h"

#include <QObject>
#include <optional>
#include <vector>

class ChipControl;
class PanelTexts;
class SoundLengths;
class StringGrid;

// Keeps the planning view of the chip in step with the window: the file
// table, the memory map, the chip type and the current address. Changes are
// gathered and announced once per turn of the event loop, so that loading a
// long table does not lay it out row by row.
class PlanModel : public QObject {
    Q_OBJECT
public:
    PlanModel(StringGrid& fileGrid, StringGrid& mapGrid, PanelTexts& panel, ChipControl& chip,
              SoundLengths& lengths, QObject* parent = nullptr);

    ChipGeometry geometry() const;
    // Placements with the lengths known so far (unknown ones are measured in
    // the background), or with every length measured now.
    std::vector<Placement> placements() const;
    std::vector<Placement> placementsNow() const;
    MemoryLayout layout() const;
    // The current address, as a row of the picture.
    int cursorRow() const;

    // The verdict of the last check, until either table changes.
    const RecordVerifier::Result* verified() const { return lastVerify ? &*lastVerify : nullptr; }
    RecordVerifier::Result verifyNow();

signals:
    void changed();
    // A cell of either table changed (or rows came or went): what was said
    // about the tables no longer holds.
    void tablesEdited();

private:
    void schedule();
    void tablesChanged();

    StringGrid& fileGrid;
    StringGrid& mapGrid;
    PanelTexts& panel;
    ChipControl& chip;
    SoundLengths& lengths;
    std::optional<RecordVerifier::Result> lastVerify;
    bool scheduled = false;
};
