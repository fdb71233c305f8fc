#include "mainwindow.h"

#include "aboutwindow.h"
#include "accesskeys.h"
#include "core/configfile.h"
#include "core/controlnames.h"
#include "core/guard.h"
#include "core/mediaplayer.h"
#include "core/prompter.h"
#include "gridlayout.h"
#include "icons.h"
#include "link/comport.h"
#include "shortcuts.h"
#include "widgets/chiptypedialog.h"
#include "widgets/gridview.h"
#include "widgets/portdialog.h"
#include "widgets/soundoutputdialog.h"
#include "wiring.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

// Widgets carry their control name also as accessible description, so that
// accessibility-based tools find them.
template <typename W> W* named(W* widget, const QString& name) {
    widget->setObjectName(name);
    widget->setAccessibleDescription(name);
    return widget;
}

template <typename W> W* named(W* widget, const char* name) {
    return named(widget, QString::fromLatin1(name));
}

} // namespace

MainWindow::MainWindow(ComPort& port_, MediaPlayer* player_, Prompter& prompter_,
                       const QString& configPath_, QWidget* parent)
    : QMainWindow(parent), state_(port_, player_, prompter_), configPath(configPath_) {
    named(this, ControlName::MainWindow);
    setWindowTitle(QStringLiteral("VOKAR ISD Programmer"));
    resize(681, 494);

    pages_ = named(new QTabWidget(this), ControlName::Pages);
    auto* soundFilesPage = named(new QWidget, ControlName::SoundFilesPage);
    auto* mapPage = named(new QWidget, ControlName::MemoryMapPage);
    auto* layout1 = new QVBoxLayout(soundFilesPage);
    layout1->setContentsMargins(0, 0, 0, 0);
    layout1->setSpacing(0);
    layout1->addWidget(buildToolBar(ControlName::SoundFilesToolBar, Commands::Place::ToolBar1));
    fileView_ = buildGrid(state_.fileGrid, ControlName::FileGrid, Handler::FileRowClicked);
    layout1->addWidget(fileView_);
    auto* layout2 = new QVBoxLayout(mapPage);
    layout2->setContentsMargins(0, 0, 0, 0);
    layout2->setSpacing(0);
    layout2->addWidget(buildToolBar(ControlName::MemoryMapToolBar, Commands::Place::ToolBar2));
    mapView_ = buildGrid(state_.mapGrid, ControlName::MapGrid, Handler::MapRowClicked);
    layout2->addWidget(mapView_);
    pages_->addTab(soundFilesPage, QStringLiteral("Sound Files"));
    pages_->addTab(mapPage, QStringLiteral("ISD Memory Map"));

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(pages_, 1);
    layout->addWidget(buildPanel());
    setCentralWidget(central);
    setStatusBar(named(new QStatusBar(this), ControlName::StatusBar));

    buildMenus();
    HandlerTable& handlers = state_.handlers;
    handlers.set(Handler::ExitProgram, [this] { exitProgram(); });
    handlers.set(Handler::ShowAbout, [this] { showAbout(); });
    handlers.set(Handler::ChoosePort, [this] { choosePort(); });
    handlers.set(Handler::ChooseChipType, [this] { chooseChipType(); });
    handlers.set(Handler::ChooseSoundOutput, [this] { chooseSoundOutput(); });
    soundOutputDialog_ = new SoundOutputDialog(state_.player, state_.prompter, this);

    setUpState();

    // Each subsystem hooks its handlers and signals into the window.
    wireFileTables(*this);
    wirePlayback(*this);
    wireLink(*this);
    wireChipOperations(*this);
    // It watches what the others do.
    wirePlan(*this);
    // Last: it puts questions around the others' handlers.
    wireEveryday(*this);

    Shortcuts::apply(state_.commands, this, fileView_);
    AccessKeys::assign(menuBar());
    AccessKeys::assign(popupMenu_);
    // Tabs, then the table on the page they show.
    setTabOrder(pages_->tabBar(), fileView_);
    setTabOrder(fileView_, mapView_);
    fileView_->setFocus();
}

MainWindow::~MainWindow() = default;

void MainWindow::setDialogs(PortDialog* port, ChipTypeDialog* chipType, AddressDialog* address,
                            AboutWindow* about) {
    portDialog_ = port;
    chipTypeDialog_ = chipType;
    addressDialog_ = address;
    aboutWindow_ = about;
}

QToolBar* MainWindow::buildToolBar(const char* name, Commands::Place place) {
    auto* bar = named(new QToolBar, name);
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(20, 20));
    for (const Commands::Row& row : Commands::controls()) {
        if (row.place != place)
            continue;
        QAction* act = state_.commands.action(row.control);
        act->setIcon(Icons::forCommand(row.control, style()));
        bar->addAction(act);
        if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(act))) {
            named(button, act->objectName());
            button->setAutoRaise(true);
            button->setFixedSize(26, 26);
        }
    }
    return bar;
}

QTableView* MainWindow::buildGrid(StringGrid& grid, const char* name, Handler click) {
    auto* view = named(new GridView(grid), name);
    view->setShowGrid(true);
    view->setWordWrap(false);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(20);
    view->verticalHeader()->setMinimumSectionSize(20);
    view->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    // The columns keep the widths the window's rules give them; a header that
    // does not fit its column goes on to a second line instead of being cut.
    view->horizontalHeader()->setDefaultAlignment(
        Qt::Alignment::fromInt(Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap));
    view->horizontalHeader()->setFixedHeight(
        std::max(20, 2 * view->horizontalHeader()->fontMetrics().lineSpacing() + 4));
    view->horizontalHeader()->setStretchLastSection(false);
    connect(&grid, &StringGrid::colWidthChanged, view, [view](int col, int width) {
        if (col == 0)
            view->verticalHeader()->setFixedWidth(width);
        else
            view->setColumnWidth(col - 1, width);
    });
    // The user chose a row: its row behaviour runs, once.
    connect(view, &GridView::rowChosen, this, [this, click] { state_.handlers.run(click); });
    return view;
}

QWidget* MainWindow::buildPanel() {
    auto* panel1 = named(new QFrame, ControlName::Panel);
    panel1->setFrameShape(QFrame::StyledPanel);
    panel1->setFixedHeight(54);
    auto* grid = new QGridLayout(panel1);
    grid->setContentsMargins(8, 2, 8, 2);
    grid->setVerticalSpacing(2);
    auto caption = [panel1](const QString& text) { return new QLabel(text, panel1); };
    auto value = [this, panel1](PanelTexts::Field field, int minWidth) {
        auto* label = named(new QLabel(panel1), PanelTexts::controlName(field));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setMinimumWidth(minWidth);
        valueLabels[field] = label;
        return label;
    };
    grid->addWidget(caption(QStringLiteral("ISD Device Name:")), 0, 0);
    grid->addWidget(value(PanelTexts::ChipName, 120), 0, 1);
    grid->addWidget(caption(QStringLiteral("Total Time:")), 1, 0);
    grid->addWidget(value(PanelTexts::TotalTime, 120), 1, 1);
    grid->addWidget(caption(QStringLiteral("Current Address:")), 0, 3, 1, 4);
    grid->addWidget(caption(QStringLiteral("DEC:")), 1, 3);
    grid->addWidget(value(PanelTexts::Address, 50), 1, 4);
    grid->addWidget(caption(QStringLiteral("HEX:")), 1, 5);
    grid->addWidget(value(PanelTexts::AddressHex, 42), 1, 6);
    grid->addWidget(caption(QStringLiteral("Time To End:")), 0, 8);
    grid->addWidget(value(PanelTexts::TimeToEnd, 90), 1, 8);
    grid->addWidget(caption(QStringLiteral("Serial Port:")), 0, 10);
    grid->addWidget(value(PanelTexts::PortNumber, 90), 1, 10);
    grid->setColumnMinimumWidth(2, 12);
    grid->setColumnMinimumWidth(7, 12);
    grid->setColumnMinimumWidth(9, 12);
    grid->setColumnStretch(11, 1);
    connect(&state_.panel, &PanelTexts::changed, this,
            [this](PanelTexts::Field field, const QString& text) {
                valueLabels[field]->setText(text);
            });
    return panel1;
}

void MainWindow::buildMenus() {
    using C = Control;
    // A menu's entries in order; an empty entry is a separator.
    using Entries = std::initializer_list<std::optional<Control>>;
    const auto fill = [this](QMenu* menu, Entries entries) {
        for (const std::optional<Control>& entry : entries) {
            if (entry)
                menu->addAction(state_.commands.action(*entry));
            else
                menu->addSeparator();
        }
    };
    // A submenu hangs from its holder's action, which the availability rules
    // switch like any other command.
    const auto submenu = [this, &fill](QMenu* parentMenu, Control holder, Entries entries) {
        const QString name = QString::fromLatin1(Commands::row(holder).name);
        auto* menu = named(new QMenu(this), name + QStringLiteral("Menu"));
        fill(menu, entries);
        QAction* holderAction = state_.commands.action(holder);
        holderAction->setMenu(menu);
        parentMenu->addAction(holderAction);
    };
    const auto top = [this](const char* title, const char* name) {
        return named(menuBar()->addMenu(QString::fromLatin1(title)), name);
    };

    QMenu* file = top("File", ControlName::FileMenu);
    fill(file, {C::AddFileItem, C::OpenTableItem, C::OpenMemoryMapItem});
    submenu(file, C::RecentListsMenu, {});
    submenu(file, C::RecentMapsMenu, {});
    fill(file, {{},
                C::RemoveFileItem,
                C::CloseFileListItem,
                {},
                C::SaveFileListItem,
                C::SaveMemoryMapItem,
                C::ExportAddressesItem,
                {},
                C::ExitItem});

    QMenu* address = top("Address", ControlName::AddressMenu);
    submenu(address, C::InsertMenu, {C::InsertStartAddressItem, C::InsertStopAddressItem});
    address->addSeparator();
    submenu(address, C::RemoveMenu, {C::RemoveStartAddressItem, C::RemoveStopAddressItem});
    address->addSeparator();
    submenu(address, C::CopyFromMapMenu,
            {C::CopyStartAddressItem, C::CopyStopAddressItem, C::CopyTableItem});
    fill(address, {{}, C::ChangeCurrentAddressItem, {}, C::PlanAddressesItem});

    fill(top("Recording", ControlName::RecordingMenu),
         {C::RecordFileItem, C::RecordTableItem, {}, C::PlayFileItem, {}, C::StopPlaybackItem});

    fill(top("ISD", ControlName::IsdMenu), {C::PlayFromChipItem,
                                            C::PlayTableItem,
                                            C::StopChipItem,
                                            {},
                                            C::MemoryScanItem,
                                            C::CheckRecordsItem,
                                            {},
                                            C::PowerUpItem,
                                            C::PowerDownItem,
                                            {},
                                            C::EraseItem});

    fill(top("Setup", ControlName::SetupMenu),
         {C::ChangePortItem, {}, C::ChangeChipTypeItem, {}, C::SoundOutputItem});

    fill(top("View", ControlName::ViewMenu), {C::SerialLogItem});

    menuBar()->addAction(state_.commands.action(C::AboutItem));

    popupMenu_ = named(new QMenu(this), ControlName::PopupMenu);
    fill(popupMenu_, {C::InsertFilePopupItem, {}, C::DeleteFilePopupItem, {}});
    submenu(popupMenu_, C::StartAddressPopupMenu,
            {C::EditStartAddressPopupItem, {}, C::RemoveStartAddressPopupItem});
    popupMenu_->addSeparator();
    submenu(popupMenu_, C::StopAddressPopupMenu,
            {C::EditStopAddressPopupItem, {}, C::RemoveStopAddressPopupItem});
    fileView_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(fileView_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        popupMenu_->popup(fileView_->viewport()->mapToGlobal(at));
    });
}

void MainWindow::setUpState() {
    state_.setUp(configPath);
    pages_->setCurrentIndex(0);
    const GridLayout::Widths widths = GridLayout::atCreate(width());
    applyWidths(state_.fileGrid, widths.files);
    applyWidths(state_.mapGrid, widths.map);
}

void MainWindow::applyWidths(StringGrid& grid, const std::vector<int>& widths) {
    for (size_t col = 0; col < widths.size(); ++col)
        grid.setColWidth(int(col), widths[col]);
}

void MainWindow::fitColumns() {
    std::vector<int> files;
    for (int col = 0; col < 4; ++col)
        files.push_back(state_.fileGrid.ColWidth(col));
    const GridLayout::Widths widths = GridLayout::atResize(width(), files);
    applyWidths(state_.fileGrid, widths.files);
    applyWidths(state_.mapGrid, widths.map);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    fitColumns();
}

QStringList MainWindow::configLines() const {
    return state_.settingsLines(portDialog_ != nullptr && portDialog_->autoOpen());
}

void MainWindow::shutDown() {
    if (closed)
        return;
    closed = true;
    if (state_.port.Active())
        state_.port.Close();
    if (state_.player != nullptr)
        runGuarded(state_.prompter, [this] { state_.player->Close(); });
    // A settings file that cannot be written keeps its old contents, and the
    // user learns why: in a box, or where nobody may be looking any more (a
    // logout, Ctrl+C), on standard error.
    const QString error = ConfigFile::writeLines(configLines(), configPath);
    if (error.isEmpty())
        return;
    if (endingOnSignal) {
        std::fprintf(stderr, "isdvokar: %s\n", error.toLocal8Bit().constData());
        std::fflush(stderr);
    } else {
        state_.prompter.showMessage(error);
    }
}

void MainWindow::closeOnSignal() {
    endingOnSignal = true;
    close();
}

bool MainWindow::event(QEvent* event) {
    // The tool buttons' hints show as their tool tips; in the status bar
    // they would only cover what it tells.
    if (event->type() == QEvent::StatusTip)
        return true;
    return QMainWindow::event(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!closed && !endingOnSignal && leaveCheck && !leaveCheck()) {
        event->ignore();
        return;
    }
    shutDown();
    event->accept();
    // Windows of its own that are open (the serial log) go with it.
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow() && child->isVisible())
            child->close();
    }
}

void MainWindow::exitProgram() {
    close();
}

void MainWindow::showAbout() {
    if (aboutWindow_ != nullptr)
        aboutWindow_->exec();
}

void MainWindow::choosePort() {
    if (portDialog_ != nullptr)
        portDialog_->Execute();
}

void MainWindow::chooseChipType() {
    if (chipTypeDialog_ != nullptr)
        chipTypeDialog_->Execute();
}

void MainWindow::chooseSoundOutput() {
    soundOutputDialog()->Execute();
}
