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
                  [&window] { window.mapView()->scrollToTop(); },
                  [&window](TablesContext::Table table, const QString& file) {
                      emit window.tableFiles().kept(table, file);
                  }},
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
    const auto on = [&state, tables](Handler handler, void (*run)(Tables&)) {
        state.handlers.set(handler, [tables, run] { run(*tables); });
    };
    on(Handler::AddFile, [](Tables& t) { t.fileTable.addFile(); });
    on(Handler::InsertFile, [](Tables& t) { t.fileTable.insertFile(); });
    on(Handler::RemoveFile, [](Tables& t) { t.fileTable.removeFile(); });
    on(Handler::CloseFileList, [](Tables& t) { t.fileTable.closeFileList(); });
    on(Handler::EditStartAddress, [](Tables& t) { t.fileTable.editStartAddress(); });
    on(Handler::EditStopAddress, [](Tables& t) { t.fileTable.editStopAddress(); });
    on(Handler::RemoveStartAddress, [](Tables& t) { t.fileTable.removeStartAddress(); });
    on(Handler::RemoveStopAddress, [](Tables& t) { t.fileTable.removeStopAddress(); });
    on(Handler::FileRowClicked, [](Tables& t) { t.fileTable.fileRowClicked(); });
    on(Handler::OpenTable, [](Tables& t) { t.fileList.openTable(); });
    on(Handler::SaveList, [](Tables& t) { t.fileList.saveList(); });
    on(Handler::SaveListAs, [](Tables& t) { t.fileList.saveListAs(); });
    on(Handler::OpenMemoryMap, [](Tables& t) { t.mapFile.openMemoryMap(); });
    on(Handler::SaveMemoryMap, [](Tables& t) { t.mapFile.saveMemoryMap(); });
    on(Handler::MapRowClicked, [](Tables& t) { t.memoryMap.mapRowClicked(); });
    on(Handler::CopyStartFromMap, [](Tables& t) { t.copy.copyStartFromMap(); });
    on(Handler::CopyStopFromMap, [](Tables& t) { t.copy.copyStopFromMap(); });
    on(Handler::CopyTableFromMap, [](Tables& t) { t.copy.copyTableFromMap(); });

    // The same without the file dialogs: drops and recent files.
    TableFiles& files = window.tableFiles();
    files.openList = [tables](const QString& name) { tables->fileList.openTableFile(name); };
    files.openMap = [tables](const QString& name) { tables->mapFile.openMapFile(name); };
    files.addSounds = [tables](const QStringList& names) {
        tables->fileTable.addDroppedFiles(names);
    };
}
