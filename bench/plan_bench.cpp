// What one change of a long file table costs the planning view: laying the
// table over the chip (the fit check) and the whole picture the window then
// draws. 10,000 rows, with and without addresses of their own. Prints its
// figures; never fails on a time.

#include "fakecomport.h"

#include "chips/chipcontrol.h"
#include "core/paneltexts.h"
#include "core/stringgrid.h"
#include "link/commandframe.h"
#include "plan/fitcheck.h"
#include "plan/planmodel.h"
#include "plan/soundlengths.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int Rows = 10000;
constexpr int Rounds = 5;

double medianMs(const std::function<void()>& measure) {
    std::vector<double> ms;
    for (int round = 0; round < Rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        measure();
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

enum class Addresses { None, Ascending, Descending };

void fill(StringGrid& grid, Addresses addresses) {
    StringGrid::BulkUpdate bulk(grid);
    grid.setRowCount(Rows + 120);
    for (int row = 1; row <= Rows; ++row) {
        QString start = QStringLiteral("not used");
        if (addresses == Addresses::Ascending)
            start = QString::asprintf("%05d", row % 60000);
        else if (addresses == Addresses::Descending)
            start = QString::asprintf("%05d", (Rows - row) % 60000);
        grid.setCell(1, row, start);
        grid.setCell(2, row, QStringLiteral("not used"));
        grid.setCell(3, row, QStringLiteral("/home/user/sounds/message-%1.wav").arg(row));
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    StringGrid files(4, 120);
    StringGrid map(7, 120);
    PanelTexts panel;
    FakeComPort port;
    CommandFrame frame;
    ChipControl chip(panel, frame, port);
    chip.ApplyChipType();
    const ChipGeometry geometry = ChipGeometry::ofType(1);
    // Every sound 1 s long, as if all lengths were known.
    const FitCheck fit(geometry, [](const QString&) { return std::optional<qint64>(1000000); });
    SoundLengths lengths;
    PlanModel model(files, map, panel, chip, lengths);

    std::printf("Planning a file table of %d rows, median of %d rounds\n", Rows, Rounds);
    const struct {
        const char* what;
        Addresses addresses;
    } cases[] = {{"no addresses", Addresses::None},
                 {"start addresses ascending", Addresses::Ascending},
                 {"start addresses descending", Addresses::Descending}};
    for (const auto& c : cases) {
        fill(files, c.addresses);
        std::size_t placed = 0;
        const double ms = medianMs([&] { placed = fit.place(files).size(); });
        std::printf("fit check, %d rows, %s: %.2f ms (%zu placements)\n", Rows, c.what, ms, placed);
    }
    fill(files, Addresses::None);
    const double ms = medianMs([&] { model.layout(); });
    std::printf("whole picture after a table change, %d rows, no addresses, lengths not "
                "known: %.2f ms\n",
                Rows, ms);
    return 0;
}
