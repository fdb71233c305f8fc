#include "formularz.h"

#include "autor.h"
#include "chips/ukladdialog.h"
#include "core/configfile.h"
#include "core/guard.h"
#include "core/mediaplayer.h"
#include "core/prompter.h"
#include "gridlayout.h"
#include "icons.h"
#include "link/customcomport.h"
#include "link/portdialog.h"
#include "wiring.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// Widgets carry their control name also as accessible description, so that
// accessibility-based tools find them.
template <typename W> W* named(W* widget, const QString& name) {
    widget->setObjectName(name);
    widget->setAccessibleDescription(name);
    return widget;
}

} // namespace

TFormularz::TFormularz(TCustomComPort& port, MediaPlayer* player, Prompter& prompter_,
                       const QString& configPath_, QWidget* parent)
    : QMainWindow(parent), chip(panel, frame, port),
      availability(commands, ListaPlikow, ListaNagran), ComPort1(port), Player(player),
      prompter(prompter_), configPath(configPath_) {
    named(this, QStringLiteral("Formularz"));
    setWindowTitle(QStringLiteral("VOKAR ISD Programmer"));
    resize(681, 494);

    Strony = named(new QTabWidget(this), QStringLiteral("PageControl1"));
    auto* strona1 = named(new QWidget, QStringLiteral("Strona1"));
    auto* strona2 = named(new QWidget, QStringLiteral("Strona2"));
    auto* layout1 = new QVBoxLayout(strona1);
    layout1->setContentsMargins(0, 0, 0, 0);
    layout1->setSpacing(0);
    layout1->addWidget(buildToolBar("ToolBar1", Commands::Place::ToolBar1));
    ListaPlikowView = buildGrid(ListaPlikow, "ListaPlikow");
    layout1->addWidget(ListaPlikowView);
    auto* layout2 = new QVBoxLayout(strona2);
    layout2->setContentsMargins(0, 0, 0, 0);
    layout2->setSpacing(0);
    layout2->addWidget(buildToolBar("ToolBar2", Commands::Place::ToolBar2));
    ListaNagranView = buildGrid(ListaNagran, "ListaNagran");
    layout2->addWidget(ListaNagranView);
    Strony->addTab(strona1, QStringLiteral("Sound Files"));
    Strony->addTab(strona2, QStringLiteral("ISD Memory Map"));

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Strony, 1);
    layout->addWidget(buildPanel());
    setCentralWidget(central);
    setStatusBar(named(new QStatusBar(this), QStringLiteral("StatusBar1")));

    buildMenus();
    connect(&commands, &Commands::triggered, this, &TFormularz::runHandler);
    setHandler(QStringLiteral("ExitClick"), [this] { ExitClick(); });
    setHandler(QStringLiteral("Autor1Click"), [this] { Autor1Click(); });
    setHandler(QStringLiteral("Wybierzport1Click"), [this] { Wybierzport1Click(); });
    setHandler(QStringLiteral("Wybierzukad1Click"), [this] { Wybierzukad1Click(); });

    FormCreate();

    // Each subsystem hooks its handlers and signals into the window.
    wireFileTables(*this);
    wirePlayback(*this);
    wireLink(*this);
    wireChipOperations(*this);
    // Last: it watches what the others do.
    wirePlan(*this);
}

TFormularz::~TFormularz() = default;

void TFormularz::setDialogs(TPortDialog* port, TUkladDialog* uklad, TOKAdresDlg* adres,
                            TAutor* autor) {
    PortDialog = port;
    UkladDialog = uklad;
    OKAdresDlg = adres;
    Autor = autor;
}

QToolBar* TFormularz::buildToolBar(const char* name, Commands::Place place) {
    auto* bar = named(new QToolBar, QString::fromLatin1(name));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(20, 20));
    for (const Commands::Control& control : Commands::controls()) {
        if (control.place != place)
            continue;
        QAction* act = commands.action(QString::fromLatin1(control.name));
        act->setIcon(Icons::forCommand(act->objectName(), style()));
        bar->addAction(act);
        if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(act))) {
            named(button, act->objectName());
            button->setAutoRaise(true);
            button->setFixedSize(26, 26);
        }
    }
    return bar;
}

QTableView* TFormularz::buildGrid(StringGrid& grid, const char* name) {
    auto* view = named(new QTableView, QString::fromLatin1(name));
    view->setModel(&grid);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setShowGrid(true);
    view->setWordWrap(false);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(20);
    view->verticalHeader()->setMinimumSectionSize(20);
    view->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    view->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    view->horizontalHeader()->setFixedHeight(20);
    view->horizontalHeader()->setStretchLastSection(false);
    connect(&grid, &StringGrid::colWidthChanged, view, [view](int col, int width) {
        if (col == 0)
            view->verticalHeader()->setFixedWidth(width);
        else
            view->setColumnWidth(col - 1, width);
    });
    connect(&grid, &StringGrid::rowSelected, view, [view](int row) {
        if (row >= 1 && view->currentIndex().row() != row - 1)
            view->selectRow(row - 1);
    });
    const QString click = QString::fromLatin1(name) + QStringLiteral("Click");
    connect(view, &QTableView::clicked, this, [this, &grid, click](const QModelIndex& index) {
        grid.setRow(index.row() + 1);
        runHandler(click);
    });
    return view;
}

QWidget* TFormularz::buildPanel() {
    auto* panel1 = named(new QFrame, QStringLiteral("Panel1"));
    panel1->setFrameShape(QFrame::StyledPanel);
    panel1->setFixedHeight(54);
    auto* grid = new QGridLayout(panel1);
    grid->setContentsMargins(8, 2, 8, 2);
    grid->setVerticalSpacing(2);
    auto caption = [panel1](const QString& text) { return new QLabel(text, panel1); };
    auto value = [this, panel1](PanelTexts::Field field, int minWidth) {
        auto* label =
            named(new QLabel(panel1), QString::fromLatin1(PanelTexts::controlName(field)));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setMinimumWidth(minWidth);
        valueLabels[field] = label;
        return label;
    };
    grid->addWidget(caption(QStringLiteral("ISD Device Name:")), 0, 0);
    grid->addWidget(value(PanelTexts::Typ, 120), 0, 1);
    grid->addWidget(caption(QStringLiteral("Total Time:")), 1, 0);
    grid->addWidget(value(PanelTexts::Czas, 120), 1, 1);
    grid->addWidget(caption(QStringLiteral("Current Address:")), 0, 3, 1, 4);
    grid->addWidget(caption(QStringLiteral("DEC:")), 1, 3);
    grid->addWidget(value(PanelTexts::Adres, 50), 1, 4);
    grid->addWidget(caption(QStringLiteral("HEX:")), 1, 5);
    grid->addWidget(value(PanelTexts::AdresHex, 42), 1, 6);
    grid->addWidget(caption(QStringLiteral("Time To End:")), 0, 8);
    grid->addWidget(value(PanelTexts::CzasDoKon, 90), 1, 8);
    grid->addWidget(caption(QStringLiteral("Serial Port:")), 0, 10);
    grid->addWidget(value(PanelTexts::CommPortNum, 90), 1, 10);
    grid->setColumnMinimumWidth(2, 12);
    grid->setColumnMinimumWidth(7, 12);
    grid->setColumnMinimumWidth(9, 12);
    grid->setColumnStretch(11, 1);
    connect(&panel, &PanelTexts::changed, this,
            [this](PanelTexts::Field field, const QString& text) {
                valueLabels[field]->setText(text);
            });
    return panel1;
}

void TFormularz::buildMenus() {
    auto act = [this](const char* name) { return commands.action(QString::fromLatin1(name)); };
    auto submenu = [this, &act](QMenu* parentMenu, const char* holder,
                                std::initializer_list<const char*> items) {
        auto* menu = named(new QMenu(this), QString::fromLatin1(holder) + QStringLiteral("Menu"));
        for (const char* item : items) {
            if (item == nullptr)
                menu->addSeparator();
            else
                menu->addAction(act(item));
        }
        QAction* holderAction = act(holder);
        holderAction->setMenu(menu);
        parentMenu->addAction(holderAction);
    };

    QMenu* file = named(menuBar()->addMenu(QStringLiteral("File")), QStringLiteral("File1"));
    file->addAction(act("LoadFile1"));
    file->addAction(act("OpenTable"));
    file->addAction(act("N20"));
    file->addSeparator();
    file->addAction(act("CloseFile"));
    file->addAction(act("ClearList"));
    file->addSeparator();
    file->addAction(act("SaveList"));
    file->addAction(act("SaveMap"));
    file->addAction(act("ExportAddresses"));
    file->addSeparator();
    file->addAction(act("Exit"));

    QMenu* address =
        named(menuBar()->addMenu(QStringLiteral("Address")), QStringLiteral("Address1"));
    submenu(address, "Insert1", {"StartAdress1", "StopAdress1"});
    address->addSeparator();
    submenu(address, "Remove1", {"StartAdress2", "StopAdress2"});
    address->addSeparator();
    submenu(address, "CopyFromMap", {"StartAdress3", "StopAdress3", "Table1"});
    address->addSeparator();
    address->addAction(act("ChangecurrentISDadress1"));
    address->addSeparator();
    address->addAction(act("PlanAddresses"));

    QMenu* recording =
        named(menuBar()->addMenu(QStringLiteral("Recording")), QStringLiteral("Recording1"));
    recording->addAction(act("RecordfiletoISD1"));
    recording->addAction(act("RecTable"));
    recording->addSeparator();
    recording->addAction(act("PlayFile"));
    recording->addSeparator();
    recording->addAction(act("Stop2"));

    QMenu* isd = named(menuBar()->addMenu(QStringLiteral("ISD")), QStringLiteral("ISD1"));
    isd->addAction(act("Loadlist2"));
    isd->addAction(act("Playtable1"));
    isd->addAction(act("StopISD"));
    isd->addSeparator();
    isd->addAction(act("PlayfromISD2"));
    isd->addAction(act("CheckRecords1"));
    isd->addSeparator();
    isd->addAction(act("PowerUp"));
    isd->addAction(act("PowerDown"));
    isd->addSeparator();
    isd->addAction(act("Erase1"));

    QMenu* setup = named(menuBar()->addMenu(QStringLiteral("Setup")), QStringLiteral("Setup1"));
    setup->addAction(act("ChangePort"));
    setup->addSeparator();
    setup->addAction(act("ChangeIsd"));

    menuBar()->addAction(act("ABOUT1"));

    PopupMenu = named(new QMenu(this), QStringLiteral("PopupMenu"));
    PopupMenu->addAction(act("Insert2"));
    PopupMenu->addSeparator();
    PopupMenu->addAction(act("Delete"));
    PopupMenu->addSeparator();
    submenu(PopupMenu, "Startadress4", {"Edit1", nullptr, "Remove2"});
    PopupMenu->addSeparator();
    submenu(PopupMenu, "Stopadress4", {"Edit2", nullptr, "Remove3"});
    ListaPlikowView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListaPlikowView, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        PopupMenu->popup(ListaPlikowView->viewport()->mapToGlobal(at));
    });
}

void TFormularz::FormCreate() {
    link.CurrentAddress = 0;
    link.ReplyAddress = 0;
    frame.clear();
    link.LinkState = LinkContext::StateIdle;

    ListaPlikow.setCell(1, 0, QStringLiteral("Start address"));
    ListaPlikow.setCell(2, 0, QStringLiteral("Stop address"));
    ListaPlikow.setCell(3, 0, QStringLiteral("File name"));
    const char* mapHeaders[] = {"Start adress",    "Start address HEX", "EOM address",
                                "EOM address HEX", "OVF address",       "OVF address HEX"};
    for (int col = 1; col <= 6; ++col)
        ListaNagran.setCell(col, 0, QString::fromLatin1(mapHeaders[col - 1]));
    for (int row = 1; row <= 120; ++row) {
        for (StringGrid* grid : {&ListaPlikow, &ListaNagran}) {
            grid->setCell(0, row, QString::number(row));
            for (int col = 1; col <= 3; ++col)
                grid->setCell(col, row, QString());
        }
    }

    folders = RememberedFolders();
    ListFileName.clear();
    if (const auto lines = ConfigFile::readLines(6, configPath)) {
        folders.SoundFolder = lines->value(3);
        folders.ListFolder = lines->value(4);
        folders.MapFolder = lines->value(5);
    }

    availability.applyStartState();
    Strony->setCurrentIndex(0);

    link.IgnorePlayEnd = false;
    link.StopRequested = true;
    link.PowerSetting = 0;
    link.TableRow = 1;
    SoundFileType = 1;

    const GridLayout::Widths widths = GridLayout::atCreate(width());
    applyWidths(ListaPlikow, widths.files);
    applyWidths(ListaNagran, widths.map);

    frame.fillFF();
}

void TFormularz::applyWidths(StringGrid& grid, const std::vector<int>& widths) {
    for (size_t col = 0; col < widths.size(); ++col)
        grid.setColWidth(int(col), widths[col]);
}

void TFormularz::FormResize() {
    std::vector<int> files;
    for (int col = 0; col < 4; ++col)
        files.push_back(ListaPlikow.ColWidth(col));
    const GridLayout::Widths widths = GridLayout::atResize(width(), files);
    applyWidths(ListaPlikow, widths.files);
    applyWidths(ListaNagran, widths.map);
}

void TFormularz::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

QStringList TFormularz::configLines() const {
    const bool autoOpen = PortDialog != nullptr && PortDialog->autoOpen();
    return {ConfigFile::header(),
            QString::number(ComPort1.PortNum()),
            QString::number(chip.ChipType),
            folders.SoundFolder,
            folders.ListFolder,
            folders.MapFolder,
            autoOpen ? QStringLiteral("1") : QStringLiteral("0")};
}

void TFormularz::FormClose() {
    if (closed)
        return;
    closed = true;
    if (ComPort1.Active())
        ComPort1.Close();
    if (Player != nullptr)
        runGuarded(prompter, [this] { Player->Close(); });
    // A settings file that cannot be written keeps its old contents.
    ConfigFile::writeLines(configLines(), configPath);
}

void TFormularz::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void TFormularz::setHandler(const QString& name, std::function<void()> handler) {
    handlers.insert(name, std::move(handler));
}

void TFormularz::runHandler(const QString& name) {
    const auto found = handlers.constFind(name);
    if (found == handlers.constEnd())
        return;
    runGuarded(prompter, found.value());
}

void TFormularz::ExitClick() {
    close();
}

void TFormularz::Autor1Click() {
    if (Autor != nullptr)
        Autor->exec();
}

void TFormularz::Wybierzport1Click() {
    if (PortDialog != nullptr)
        PortDialog->Execute();
}

void TFormularz::Wybierzukad1Click() {
    if (UkladDialog != nullptr)
        UkladDialog->Execute();
}
