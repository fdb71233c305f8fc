#pragma once

#include "files/tablescontext.h"

#include <QString>

// Keeping the memory map in a map file (".mpp"). No name of a map file is
// remembered and the caption does not show one.
class MapFile {
public:
    explicit MapFile(TablesContext& context);

    void saveMemoryMap();
    void openMemoryMap();
    // Open Memory Map with the name given instead of chosen in the dialog
    // (a dropped map, a recent one).
    void openMapFile(const QString& name);

    enum class MapLoad {
        Complete,
        // A line was too long to be a map line; the lines before it are loaded.
        TooLong,
        // The file could not be opened (the user has been told why); the map
        // is as it was.
        NotOpened,
    };
    // Loads a map file into the map.
    MapLoad readMapFile(const QString& name);
    // False, with the user told why, when the file could not be written.
    bool writeMapFile(const QString& name);

private:
    void load(const QString& name);

    TablesContext& ctx;
};
