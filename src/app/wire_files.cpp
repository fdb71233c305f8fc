#include "core/guard.h"
#include "files/filelist.h"
#include "files/filetable.h"
#include "mainwindow.h"
#include "map/copyfrommap.h"
#include "map/mapfile.h"
#include "map/memorymap.h"
#include "wiring.h"

#include <QTabWidget>
#include <QTableView>
#include <memory>

namespace {

// Everything the table commands keep for the window's lifetime.
struct Tables {
    Tables(MainWindow& window, ProgramState& s)
        : context{s.fileGrid,
                  s.mapGrid,
                  s.panel,
                  s.chip,
                  s.availability,
                  s.prompter,
                  s.openDialog,
                  s.saveDialog,
                  s.folders,
                  s.soundFileType,
                  s.listFileName,
                  window.addressInput(),
                  [&window](const QString& text) { window.setWindowTitle(text); },
                  [&window] { window.pages()->setCurrentIndex(0); },
                  [&window] { window.fileView()->scrollToTop(); },
                  [&window] { window.mapView()->scrollToTop(); }},
          fileTable(context), fileList(context), memoryMap(s.mapGrid, s.panel, s.chip),
          mapFile(context), copy(s.fileGrid, s.mapGrid, context.scrollFilesToTop) {}

    TablesContext context;
    FileTable fileTable;
    FileList fileList;
    MemoryMap memoryMap;
    MapFile mapFile;
    CopyFromMap copy;
};

} // namespace

void wireFileTables(MainWindow& window) {
    ProgramState& state = window.state();
    const auto tables = std::make_shared<Tables>(window, state);
    const auto on = [&state, tables](const char* name, void (*run)(Tables&)) {
        state.handlers.set(QString::fromLatin1(name), [tables, run] { run(*tables); });
    };
    on("addFile", [](Tables& t) { t.fileTable.addFile(); });
    on("insertFile", [](Tables& t) { t.fileTable.insertFile(); });
    on("removeFile", [](Tables& t) { t.fileTable.removeFile(); });
    on("closeFileList", [](Tables& t) { t.fileTable.closeFileList(); });
    on("editStartAddress", [](Tables& t) { t.fileTable.editStartAddress(); });
    on("editStopAddress", [](Tables& t) { t.fileTable.editStopAddress(); });
    on("removeStartAddress", [](Tables& t) { t.fileTable.removeStartAddress(); });
    on("removeStopAddress", [](Tables& t) { t.fileTable.removeStopAddress(); });
    on("fileRowClicked", [](Tables& t) { t.fileTable.fileRowClicked(); });
    on("openTable", [](Tables& t) { t.fileList.openTable(); });
    on("saveList", [](Tables& t) { t.fileList.saveList(); });
    on("saveListAs", [](Tables& t) { t.fileList.saveListAs(); });
    on("openMemoryMap", [](Tables& t) { t.mapFile.openMemoryMap(); });
    on("saveMemoryMap", [](Tables& t) { t.mapFile.saveMemoryMap(); });
    on("mapRowClicked", [](Tables& t) { t.memoryMap.mapRowClicked(); });
    on("copyStartFromMap", [](Tables& t) { t.copy.copyStartFromMap(); });
    on("copyStopFromMap", [](Tables& t) { t.copy.copyStopFromMap(); });
    on("copyTableFromMap", [](Tables& t) { t.copy.copyTableFromMap(); });
}
