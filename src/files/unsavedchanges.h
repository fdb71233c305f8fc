#pragma once

#include <QObject>

class StringGrid;

// Whether the file table holds changes that no list file has: any change of
// a cell or of the rows makes it so, a load or a save of the list takes it
// back (kept()). A table without an entry has nothing to save.
class UnsavedChanges : public QObject {
    Q_OBJECT
public:
    explicit UnsavedChanges(StringGrid& fileGrid, QObject* parent = nullptr);

    // Changes since the last load or save, in a table that holds an entry.
    bool pending() const;
    // The table now holds what a list file holds.
    void kept();

private:
    void changed();

    const StringGrid& fileGrid;
    bool dirty = false;
};
