#include "chips/adresdialog.h"
#include "core/guard.h"
#include "files/filelist.h"
#include "files/filetable.h"
#include "formularz.h"
#include "map/copyfrommap.h"
#include "map/mapfile.h"
#include "map/memorymap.h"
#include "windowaddressinput.h"
#include "wiring.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QItemSelectionModel>
#include <QTabWidget>
#include <QTableView>
#include <memory>

namespace {

// Everything the table commands keep for the window's lifetime.
struct Tables {
    explicit Tables(TFormularz& window)
        : address(window), context{window.ListaPlikow,
                                   window.ListaNagran,
                                   window.panel,
                                   window.chip,
                                   window.availability,
                                   window.prompter,
                                   window.Open,
                                   window.Save,
                                   window.folders,
                                   window.SoundFileType,
                                   window.ListFileName,
                                   address,
                                   [&window](const QString& text) { window.setWindowTitle(text); },
                                   [&window] { window.pages()->setCurrentIndex(0); },
                                   [&window] { window.filesView()->scrollToTop(); },
                                   [&window] { window.mapView()->scrollToTop(); }},
          fileTable(context), fileList(context),
          memoryMap(window.ListaNagran, window.panel, window.chip), mapFile(context),
          copy(window.ListaPlikow, window.ListaNagran, context.scrollFilesToTop) {}

    WindowAddressInput address;
    TablesContext context;
    FileTable fileTable;
    FileList fileList;
    MemoryMap memoryMap;
    MapFile mapFile;
    CopyFromMap copy;
};

// A click on a row runs the row's handler through the window; moving the
// selection with the keyboard must run it too, but only when the row
// changes. While the mouse is down the click that follows does the work.
class KeyboardRowFollower : public QObject {
public:
    KeyboardRowFollower(TFormularz& window, QTableView* view, StringGrid& grid, QString handler)
        : QObject(view), window(window), view(view), grid(grid), handler(std::move(handler)) {
        view->viewport()->installEventFilter(this);
        QObject::connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                         [this](const QModelIndex& current) { follow(current); });
        // A table loaded or cleared in one go loses the view's highlight;
        // the selected row has not changed, so only the highlight comes back.
        QObject::connect(&grid, &QAbstractItemModel::modelReset, this, [this] {
            if (this->grid.Row() >= 1 && this->grid.Row() < this->grid.RowCount())
                this->view->selectRow(this->grid.Row() - 1);
        });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress)
            mouseDown = true;
        else if (event->type() == QEvent::MouseButtonRelease)
            mouseDown = false;
        return QObject::eventFilter(watched, event);
    }

private:
    void follow(const QModelIndex& current) {
        if (mouseDown || !current.isValid())
            return;
        const int row = current.row() + 1;
        if (row == grid.Row())
            return;
        grid.setRow(row);
        window.runHandler(handler);
    }

    TFormularz& window;
    QTableView* view;
    StringGrid& grid;
    QString handler;
    bool mouseDown = false;
};

} // namespace

void wireFileTables(TFormularz& window) {
    const auto tables = std::make_shared<Tables>(window);
    const auto on = [&window, tables](const char* name, void (*run)(Tables&)) {
        window.setHandler(QString::fromLatin1(name), [tables, run] { run(*tables); });
    };
    on("Dodajplik1Click", [](Tables& t) { t.fileTable.Dodajplik1Click(); });
    on("Insert2Click", [](Tables& t) { t.fileTable.Insert2Click(); });
    on("DeletePlikClick", [](Tables& t) { t.fileTable.DeletePlikClick(); });
    on("Clearlist1Click", [](Tables& t) { t.fileTable.Clearlist1Click(); });
    on("Startadress1Click", [](Tables& t) { t.fileTable.Startadress1Click(); });
    on("Stopadress1Click", [](Tables& t) { t.fileTable.Stopadress1Click(); });
    on("Deletefilestartadres1Click", [](Tables& t) { t.fileTable.Deletefilestartadres1Click(); });
    on("Deletefilestopadres1Click", [](Tables& t) { t.fileTable.Deletefilestopadres1Click(); });
    on("ListaPlikowClick", [](Tables& t) { t.fileTable.ListaPlikowClick(); });
    on("adujlist1Click", [](Tables& t) { t.fileList.adujlist1Click(); });
    on("Zapisz", [](Tables& t) { t.fileList.Zapisz(); });
    on("ZapiszJako", [](Tables& t) { t.fileList.ZapiszJako(); });
    on("SpeedButton3Click", [](Tables& t) { t.mapFile.SpeedButton3Click(); });
    on("SpeedButton6Click", [](Tables& t) { t.mapFile.SpeedButton6Click(); });
    on("ListaNagranClick", [](Tables& t) { t.memoryMap.ListaNagranClick(); });
    on("StartAdress3Click", [](Tables& t) { t.copy.StartAdress3Click(); });
    on("StopAdress3Click", [](Tables& t) { t.copy.StopAdress3Click(); });
    on("Table1Click", [](Tables& t) { t.copy.Table1Click(); });

    new KeyboardRowFollower(window, window.filesView(), window.ListaPlikow,
                            QStringLiteral("ListaPlikowClick"));
    new KeyboardRowFollower(window, window.mapView(), window.ListaNagran,
                            QStringLiteral("ListaNagranClick"));
}
