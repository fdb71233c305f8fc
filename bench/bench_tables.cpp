// Figures for the two tables at 100,000 entries: loading and saving a file
// list and a memory map, adding, inserting and removing a file, closing the
// list, and painting the grid while it is scrolled. The grids are shown by a
// table view as in the window, so what the view does on each change counts.
// Prints its figures; never fails on a time.

#include "../tests/files/tablesfixture.h"
#include "tempfolder.h"

#include "files/filelist.h"
#include "files/filetable.h"
#include "map/mapfile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int Entries = 100000;
constexpr int Rounds = 5;

struct Figure {
    double median;
    double worst;
};

// Runs `prepare` (not timed) and `measure` (timed) Rounds times.
Figure time(const std::function<void()>& prepare, const std::function<void()>& measure) {
    std::vector<double> ms;
    for (int round = 0; round < Rounds; ++round) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        measure();
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
        QCoreApplication::processEvents();
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

void print(const char* what, const Figure& figure) {
    std::printf("%-52s median %9.2f ms   worst %9.2f ms\n", what, figure.median, figure.worst);
    std::fflush(stdout);
}

QByteArray fileListOf(int entries) {
    QByteArray bytes;
    bytes.reserve(entries * 48);
    for (int k = 0; k < entries; ++k) {
        bytes += QByteArray::number(100000 + k).right(5) + ";not used;/home/user/sounds/message" +
                 QByteArray::number(k) + ".wav;\r\n";
    }
    return bytes;
}

QByteArray mapOf(int entries) {
    QByteArray bytes;
    for (int k = 0; k < entries; ++k) {
        const QString line = QString::asprintf("%05d;%04X;%05d;%04X;;;\r\n", k % 65536, k % 65536,
                                               (k + 1) % 65536, (k + 1) % 65536);
        bytes += line.toLatin1();
    }
    return bytes;
}

QTableView* viewOf(StringGrid& grid) {
    auto* view = new QTableView;
    view->setModel(&grid);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(20);
    view->resize(660, 400);
    view->show();
    return view;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    TempFolder temp;
    temp.write(QStringLiteral("big.lsp"), fileListOf(Entries));
    temp.write(QStringLiteral("big.mpp"), mapOf(Entries));
    const QString bigList = temp.file(QStringLiteral("big.lsp"));
    const QString bigMap = temp.file(QStringLiteral("big.mpp"));

    TablesFixture f;
    QTableView* fileView = viewOf(f.fileGrid);
    QTableView* mapView = viewOf(f.mapGrid);
    FileList list(f.context);
    FileTable table(f.context);
    MapFile map(f.context);
    f.context.scrollFilesToTop = [fileView] { fileView->scrollToTop(); };
    f.context.scrollMapToTop = [mapView] { mapView->scrollToTop(); };

    std::printf("Tables at %d entries, %d rounds each\n", Entries, Rounds);

    auto loadBig = [&] {
        f.prompter.answers = {bigList};
        list.openTable();
    };
    print("load file list (Open Table)", time([] {}, loadBig));
    if (f.fileGrid.RowCount() != Entries + TableLayout::StartRows || !f.prompter.messages.isEmpty())
        std::printf("unexpected: %d rows, %lld messages\n", f.fileGrid.RowCount(),
                    static_cast<long long>(f.prompter.messages.size()));

    const QString saved = temp.file(QStringLiteral("saved.lsp"));
    print("save file list (Save As)", time([] {},
                                           [&] {
                                               f.prompter.answers = {saved};
                                               list.saveListAs();
                                           }));
    std::printf("  saved file identical to the loaded one: %s\n",
                temp.read(QStringLiteral("saved.lsp")) == temp.read(QStringLiteral("big.lsp"))
                    ? "yes"
                    : "no");

    auto addOne = [&] {
        f.prompter.answers = {QStringLiteral("/home/user/sounds/new.wav")};
        table.addFile();
    };
    print("add a file to the 100,000-entry table", time([] {}, addOne));
    print("insert a file at row 1 of the table",
          time([&] { f.fileGrid.setRow(1); },
               [&] {
                   f.prompter.answers = {QStringLiteral("/home/user/sounds/first.wav")};
                   table.insertFile();
               }));
    print("remove the file in row 1 of the table",
          time([&] { f.fileGrid.setRow(1); }, [&] { table.removeFile(); }));

    // Painting while scrolling: the view draws only the rows it shows.
    QScrollBar* bar = fileView->verticalScrollBar();
    int step = 0;
    print("scroll to a new place and paint the grid",
          time([] {},
               [&] {
                   bar->setValue((++step * 7919 * 20) % std::max(1, bar->maximum()));
                   fileView->viewport()->repaint();
               }));

    print("close file list", time(loadBig, [&] { table.closeFileList(); }));

    print("add a file to an empty table", time([&] { table.closeFileList(); }, addOne));

    print("load memory map", time([] {},
                                  [&] {
                                      f.prompter.answers = {bigMap};
                                      map.openMemoryMap();
                                  }));
    const QString savedMap = temp.file(QStringLiteral("saved.mpp"));
    print("save memory map", time([] {},
                                  [&] {
                                      f.prompter.answers = {savedMap};
                                      map.saveMemoryMap();
                                  }));
    std::printf("  saved map identical to the loaded one: %s\n",
                temp.read(QStringLiteral("saved.mpp")) == temp.read(QStringLiteral("big.mpp"))
                    ? "yes"
                    : "no");
    delete fileView;
    delete mapView;
    return 0;
}
