#include "planmodel.h"

#include "core/paneltexts.h"
#include "core/stringgrid.h"
#include "files/addresstext.h"
#include "fitcheck.h"
#include "soundlengths.h"

#include <QTimer>

PlanModel::PlanModel(StringGrid& files_, StringGrid& map_, PanelTexts& panel_, ChipControl& chip_,
                     SoundLengths& lengths_, QObject* parent)
    : QObject(parent), fileGrid(files_), mapGrid(map_), panel(panel_), chip(chip_),
      lengths(lengths_) {
    for (StringGrid* grid : {&fileGrid, &mapGrid}) {
        connect(grid, &QAbstractItemModel::dataChanged, this,
                [this, grid](const QModelIndex& topLeft) {
                    if (grid->changesCells(topLeft))
                        tablesChanged();
                });
        connect(grid, &QAbstractItemModel::modelReset, this, &PlanModel::tablesChanged);
        connect(grid, &QAbstractItemModel::rowsInserted, this, &PlanModel::tablesChanged);
        connect(grid, &QAbstractItemModel::rowsRemoved, this, &PlanModel::tablesChanged);
    }
    // Applying a chip type rewrites the panel, the current address with it.
    connect(&panel, &PanelTexts::changed, this, [this](PanelTexts::Field field) {
        if (field == PanelTexts::ChipName || field == PanelTexts::Address)
            schedule();
    });
    connect(&lengths, &SoundLengths::measured, this, &PlanModel::schedule);
}

void PlanModel::tablesChanged() {
    lastVerify.reset();
    emit tablesEdited();
    schedule();
}

void PlanModel::schedule() {
    if (scheduled)
        return;
    scheduled = true;
    QTimer::singleShot(0, this, [this] {
        scheduled = false;
        emit changed();
    });
}

ChipGeometry PlanModel::geometry() const {
    return ChipGeometry::of(chip);
}

std::vector<Placement> PlanModel::placements() const {
    return FitCheck(geometry(), [this](const QString& path) { return lengths.known(path); })
        .place(fileGrid);
}

std::vector<Placement> PlanModel::placementsNow() const {
    return FitCheck(geometry(), [this](const QString& path) { return lengths.now(path); })
        .place(fileGrid);
}

MemoryLayout PlanModel::layout() const {
    return MemoryLayout(geometry(), placements(), mapGrid, verified());
}

int PlanModel::cursorRow() const {
    return AddressText::toInteger(panel.address()).value_or(0);
}

RecordVerifier::Result PlanModel::verifyNow() {
    lastVerify = RecordVerifier(geometry()).verify(placementsNow(), mapGrid);
    schedule();
    return *lastVerify;
}
