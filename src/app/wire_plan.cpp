#include "core/apperror.h"
#include "core/filedialog.h"
#include "core/guard.h"
#include "core/prompter.h"
#include "core/tablelayout.h"
#include "link/comport.h"
#include "mainwindow.h"
#include "plan/addressplanner.h"
#include "plan/fitcheck.h"
#include "plan/headerexport.h"
#include "plan/lengthcolumn.h"
#include "plan/planmodel.h"
#include "plan/planstatus.h"
#include "plan/soundlengths.h"
#include "widgets/memorylegend.h"
#include "widgets/memorypictureview.h"
#include "wiring.h"

#include <QBrush>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <memory>

namespace {

// Everything the planning features keep for the window's lifetime.
struct Plan {
    explicit Plan(MainWindow& window)
        : model(window.state().fileGrid, window.state().mapGrid, window.state().panel,
                window.state().chip, lengths) {
        exportDialog.kind = FileDialog::Kind::Save;
        exportDialog.title = QStringLiteral("Export addresses");
        exportDialog.filter = QStringLiteral("C header (*.h)|*.h");
        exportDialog.defaultExt = QStringLiteral("h");
        exportDialog.fileName = QStringLiteral("isd_messages.h");
    }

    SoundLengths lengths;
    PlanModel model;
    PlanStatus status;
    // The Length column's texts, by table row from 1 on.
    std::vector<LengthColumn::Entry> lengthEntries;
    // Its own dialog, so that the file list's save dialog keeps its name.
    FileDialog exportDialog;
    bool checking = false;
};

void planAddresses(MainWindow& window, Plan& plan) {
    if (window.state().link.LinkState != LinkContext::StateIdle) {
        window.state().prompter.showMessage(
            QStringLiteral("Addresses can be planned when the programmer is idle."));
        return;
    }
    const AddressPlanner planner(plan.model.geometry(),
                                 [&plan](const QString& path) { return plan.lengths.now(path); });
    const AddressPlanner::Result result = planner.plan(window.state().fileGrid);
    if (result.planned)
        plan.status.setText(result.message);
    else
        window.state().prompter.showMessage(result.message);
}

void exportAddresses(MainWindow& window, Plan& plan) {
    const bool fromMap = window.pages()->currentIndex() == 1;
    const HeaderExport exporter(plan.model.geometry());
    const auto messages = fromMap ? exporter.fromMap(window.state().mapGrid)
                                  : exporter.fromFiles(plan.model.placementsNow());
    if (messages.empty()) {
        window.state().prompter.showMessage(
            fromMap ? QStringLiteral("The memory map holds no messages.")
                    : QStringLiteral("The file table holds no addresses."));
        return;
    }
    FileDialog& dialog = plan.exportDialog;
    if (dialog.initialDir.isEmpty())
        dialog.initialDir = window.state().folders.ListFolder;
    if (!window.state().prompter.execute(dialog))
        return;
    QString name = dialog.fileName;
    if (!QFileInfo(name).fileName().contains(u'.'))
        name += QStringLiteral(".h");
    QFile file(name);
    const QByteArray text = exporter.header(messages, fromMap ? QStringLiteral("memory map")
                                                              : QStringLiteral("file table"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size())
        throw AppError(QStringLiteral("Cannot write %1").arg(name));
    dialog.initialDir = QFileInfo(name).absolutePath();
    plan.status.setText(
        QStringLiteral("Exported %1 messages to %2").arg(messages.size()).arg(name));
}

// Runs after the handler of a command has run.
void afterCommand(MainWindow& window, Plan& plan, Handler handler) {
    if (handler == Handler::RecordTable &&
        window.state().link.LinkState == LinkContext::StateRecordingTable) {
        const FitCheck fit(plan.model.geometry(), [](const QString&) { return std::nullopt; });
        plan.status.setText(fit.cutWarning(plan.model.placementsNow()));
    } else if (handler == Handler::CheckRecords &&
               window.state().link.LinkState == LinkContext::StateChecking) {
        plan.checking = true;
        plan.status.setText(QString());
    }
}

void showPicture(MainWindow& window, const std::shared_ptr<Plan>& plan) {
    auto* view = new MemoryPictureView;
    view->setAccessibleDescription(view->objectName());
    // What the colours mean, in one line under it.
    auto* legend = new MemoryLegend;
    if (auto* layout = qobject_cast<QVBoxLayout*>(window.centralWidget()->layout())) {
        layout->insertWidget(1, view);
        layout->insertWidget(2, legend);
    }
    const auto refresh = [view, plan] {
        view->showLayout(plan->model.layout());
        view->setCursorRow(plan->model.cursorRow());
    };
    QObject::connect(&plan->model, &PlanModel::changed, view, refresh);
    refresh();
    QObject::connect(
        view, &MemoryPictureView::blockClicked, &window,
        [&window](PictureBlock::Lane lane, int row) {
            const bool files = lane == PictureBlock::Lane::Files;
            window.pages()->setCurrentIndex(files ? 0 : 1);
            StringGrid& grid = files ? window.state().fileGrid : window.state().mapGrid;
            grid.setRow(row);
            window.state().handlers.run(files ? Handler::FileRowClicked : Handler::MapRowClicked);
        });
}

// The file table's Length column, after its own columns. The file name
// column gives it its width, so that the table still fits the window.
void showLengths(MainWindow& window, const std::shared_ptr<Plan>& plan) {
    StringGrid& grid = window.state().fileGrid;
    // The grid outlives the window's widgets; it must not keep the plan.
    const std::weak_ptr<Plan> weak = plan;
    grid.setShownColumn(LengthColumn::header(), [weak](int row, int role) -> QVariant {
        const std::shared_ptr<Plan> plan = weak.lock();
        const auto index = static_cast<size_t>(row - 1);
        if (!plan || row < 1 || index >= plan->lengthEntries.size())
            return QVariant();
        const LengthColumn::Entry& entry = plan->lengthEntries[index];
        switch (role) {
        case Qt::DisplayRole:
            return entry.text;
        case Qt::ToolTipRole:
            return entry.tip.isEmpty() ? QVariant() : QVariant(entry.tip);
        case Qt::ForegroundRole:
            return entry.cut ? QVariant(QBrush(QColor(0xc0, 0x20, 0x20))) : QVariant();
        case Qt::TextAlignmentRole:
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        default:
            return QVariant();
        }
    });
    QTableView* view = window.fileView();
    const QFontMetrics metrics(view->font());
    const int width =
        metrics.horizontalAdvance(QStringLiteral("000.00 s ") + LengthColumn::cutMark()) + 12;
    const int nameColumn = grid.shownColumn() - 1;
    view->setColumnWidth(grid.shownColumn(), width);
    view->setColumnWidth(nameColumn, grid.ColWidth(FileColumn::File) - width);
    QObject::connect(&grid, &StringGrid::colWidthChanged, view,
                     [view, width, nameColumn](int col, int columnWidth) {
                         if (col == FileColumn::File)
                             view->setColumnWidth(nameColumn, columnWidth - width);
                     });
    const auto refresh = [plan, &grid] {
        plan->lengthEntries = LengthColumn::entries(plan->model.geometry(),
                                                    plan->model.placements(), plan->lengths.busy());
        grid.shownColumnChanged();
    };
    QObject::connect(&plan->model, &PlanModel::changed, view, refresh);
    refresh();
}

} // namespace

void wirePlan(MainWindow& window) {
    const auto plan = std::make_shared<Plan>(window);
    window.state().handlers.set(Handler::PlanAddresses,
                                [&window, plan] { planAddresses(window, *plan); });
    window.state().handlers.set(Handler::ExportAddresses,
                                [&window, plan] { exportAddresses(window, *plan); });

    auto* label = new QLabel;
    label->setObjectName(QStringLiteral("PlanStatus"));
    // Its room follows its text, beside the link's; a window too narrow for
    // both cuts them (the tool tip holds the whole text), it never widens the
    // window, whose width the tables' columns follow.
    label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    label->setMinimumWidth(1);
    window.statusBar()->addPermanentWidget(label);
    QObject::connect(&plan->status, &PlanStatus::changed, label, [label](const QString& text) {
        label->setText(text);
        label->setToolTip(text);
    });

    // Connected after the window's own routing, so these see what the
    // handler and the reply handling have done.
    QObject::connect(
        &window.state().commands, &Commands::triggered, &window, [&window, plan](Handler handler) {
            runGuarded(window.state().prompter, [&] { afterCommand(window, *plan, handler); });
        });
    QObject::connect(&window.state().port, &ComPort::OnRxChar, &window, [&window, plan] {
        if (!plan->checking || window.state().link.LinkState == LinkContext::StateChecking)
            return;
        plan->checking = false;
        // A check that found nothing at all (no chip, an address error) has
        // been explained already; a verdict on an empty map would only add noise.
        if (window.state().mapGrid.cell(MapColumn::Start, 1).isEmpty())
            return;
        runGuarded(window.state().prompter,
                   [&] { plan->status.setText(plan->model.verifyNow().summary); });
    });
    showPicture(window, plan);
    showLengths(window, plan);

    // What the plan's line said about the tables goes when they change.
    QObject::connect(&plan->model, &PlanModel::tablesEdited, &window,
                     [status = &plan->status] { status->setText(QString()); });
    // The status bar's progress and texts time recordings by these lengths.
    window.setSoundLengths([plan](const QString& path) -> std::optional<qint64> {
        const std::optional<qint64> usecs = plan->lengths.known(path);
        return usecs ? std::optional<qint64>(*usecs / 1000) : std::nullopt;
    });
}
