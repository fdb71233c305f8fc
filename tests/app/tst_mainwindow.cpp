#include "app/aboutwindow.h"
#include "app/accesskeys.h"
#include "app/gridlayout.h"
#include "core/apperror.h"
#include "unprivileged.h"
#include "widgets/chiptypedialog.h"
#include "widgets/portdialog.h"
#include "wiredprogram.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

const QString settingsName = SettingsFile::name();

// The program as start-up builds it, on fakes, in a scratch working folder.
struct Program : FakeProgram {
    using FakeProgram::FakeProgram;
    QByteArray closeAndReadSettings() {
        w().close();
        return folder.read(settingsName);
    }
};

QStringList lines(const QByteArray& bytes) {
    return QString::fromLatin1(bytes).split(QStringLiteral("\r\n"));
}

QMenu* topMenu(MainWindow& window, const QString& caption) {
    for (QAction* act : window.menuBar()->actions()) {
        if (AccessKeys::plain(act->text()) == caption)
            return act->menu();
    }
    return nullptr;
}

// The captions as the command table holds them, without access key marks.
QStringList captions(const QMenu* menu) {
    QStringList out;
    for (const QAction* act : menu->actions())
        out.append(act->isSeparator() ? QStringLiteral("-") : AccessKeys::plain(act->text()));
    return out;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void firstStartWithoutSettingsFile();
    void startStateOfEveryCommand_data();
    void startStateOfEveryCommand();
    void toolButtonsHaveIconsHintsAndSize();
    void menusInOrder_data();
    void menusInOrder();
    void contextMenuInOrder();
    void gridsHaveHeadersAndNumbers();
    void controlsAreNamedForAccessibility();
    void frameIsAllFFAfterStart();

    void threeLineSettingsFile();
    void foldersWrittenBackAsRead();
    void chipTypeWrittenBack_data();
    void chipTypeWrittenBack();
    void storedPortWithoutAutoOpen();
    void storedPortWithAutoOpenSendsChipType();
    void closingWritesOnceAndClosesPortAndPlayer();
    void unwritableSettingsAreReportedOnClose_data();
    void unwritableSettingsAreReportedOnClose();

    void widthsAtCreate();
    void widthsOnResize_data();
    void widthsOnResize();
    void resizingTheWindowResizesColumns();

    void aboutWindowShowsVersionAndClosesOnClick();
    void handlerFailureShowsErrorAndCarriesOn();
    void changeIsdMenuRunsChipDialog();
};

void TestMainWindow::firstStartWithoutSettingsFile() {
    Program program;
    MainWindow& window = program.w();
    QCOMPARE(window.windowTitle(), QStringLiteral("VOKAR ISD Programmer"));
    QCOMPARE(window.size(), QSize(681, 494));
    QCOMPARE(window.pages()->currentIndex(), 0);
    QCOMPARE(window.pages()->tabText(0), QStringLiteral("Sound Files"));
    QCOMPARE(window.pages()->tabText(1), QStringLiteral("ISD Memory Map"));
    QCOMPARE(window.state().panel.chipName(), QStringLiteral("ISD 33060"));
    QCOMPARE(window.state().panel.totalTime(), QStringLiteral("60 sek."));
    QCOMPARE(window.state().panel.address(), QStringLiteral("00000"));
    QCOMPARE(window.state().panel.addressHex(), QStringLiteral("0000"));
    QCOMPARE(window.state().panel.timeToEnd(), QStringLiteral("  60.00 sek."));
    QCOMPARE(window.state().panel.portNumber(), QStringLiteral("not connected"));
    QCOMPARE(window.panelLabel(PanelTexts::ChipName)->text(), QStringLiteral("ISD 33060"));
    QCOMPARE(program.port.openCount, 0);
    QCOMPARE(window.state().link.LinkState, 3);
    QVERIFY(window.state().link.StopRequested);
    QVERIFY(!window.state().link.IgnorePlayEnd);
    QCOMPARE(window.state().link.TableRow, 1);
    QCOMPARE(lines(program.closeAndReadSettings()),
             QStringList({QStringLiteral("VOKAR-1 Configuration File"), QStringLiteral("1"),
                          QStringLiteral("1"), QString(), QString(), QString(), QStringLiteral("0"),
                          QString()}));
}

void TestMainWindow::startStateOfEveryCommand_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("enabled");
    const char* const on[] = {"SpeedButton2", "SpeedButton4", "SpeedButton8",
                              "SpeedButton3", "LoadFile1",    "OpenTable",
                              "N20",          "Exit",         "ChangecurrentISDadress1",
                              "Loadlist2",    "Playtable1",   "PlayfromISD2",
                              "PowerUp",      "PowerDown",    "Erase1",
                              "ChangePort",   "ChangeIsd",    "SoundOutput",
                              "ABOUT1",       "Insert2",      "RecentLists",
                              "RecentMaps",   "SerialLog",    "EditAddress",
                              "OpenPopupMenu"};
    const char* const off[] = {"OdtwarzajPlik", "RecordISD",    "SpeedButton7",     "DeletePlik",
                               "SpeedButton5",  "SpeedButton1", "SpeedButton6",     "CloseFile",
                               "ClearList",     "SaveList",     "SaveMap",          "Insert1",
                               "Remove1",       "CopyFromMap",  "RecordfiletoISD1", "RecTable",
                               "PlayFile",      "Stop2",        "StopISD",          "CheckRecords1",
                               "Delete",        "Startadress4", "Stopadress4"};
    for (const char* name : on)
        QTest::newRow(name) << QString::fromLatin1(name) << true;
    for (const char* name : off)
        QTest::newRow(name) << QString::fromLatin1(name) << false;
}

void TestMainWindow::startStateOfEveryCommand() {
    QFETCH(QString, name);
    QFETCH(bool, enabled);
    Program program;
    QCOMPARE(program.state().commands.isEnabled(name), enabled);
}

void TestMainWindow::toolButtonsHaveIconsHintsAndSize() {
    Program program;
    const QStringList bar1 = {QStringLiteral("Play File"),     QStringLiteral("Record File to ISD"),
                              QStringLiteral("Stop"),          QStringLiteral("Add File"),
                              QStringLiteral("Remove File"),   QStringLiteral("Load File List"),
                              QStringLiteral("Save File List")};
    const QStringList bar2 = {QStringLiteral("Play from ISD"), QStringLiteral("Stop"),
                              QStringLiteral("Load Memory Map"), QStringLiteral("Save Memory Map")};
    for (const auto& [barName, hints] : {std::pair{QStringLiteral("ToolBar1"), bar1},
                                         std::pair{QStringLiteral("ToolBar2"), bar2}}) {
        auto* bar = program.w().findChild<QToolBar*>(barName);
        QVERIFY(bar != nullptr);
        QStringList seen;
        for (QAction* act : bar->actions()) {
            seen.append(act->toolTip());
            QVERIFY2(!act->icon().isNull(), qPrintable(act->objectName()));
            QVERIFY(!act->icon().pixmap(20, 20).isNull());
            auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(act));
            QVERIFY(button != nullptr);
            QCOMPARE(button->size(), QSize(26, 26));
            QCOMPARE(button->objectName(), act->objectName());
        }
        QCOMPARE(seen, hints);
    }
}

void TestMainWindow::menusInOrder_data() {
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("File") << QStringLiteral("File")
                          << QStringList{QStringLiteral("Add file"),
                                         QStringLiteral("Open Table"),
                                         QStringLiteral("Open Memory Map"),
                                         QStringLiteral("Recent lists"),
                                         QStringLiteral("Recent maps"),
                                         QStringLiteral("-"),
                                         QStringLiteral("Remove file"),
                                         QStringLiteral("Close file list"),
                                         QStringLiteral("-"),
                                         QStringLiteral("Save file list"),
                                         QStringLiteral("Save Memory Map"),
                                         QStringLiteral("Export addresses..."),
                                         QStringLiteral("-"),
                                         QStringLiteral("Exit")};
    QTest::newRow("Address") << QStringLiteral("Address")
                             << QStringList{QStringLiteral("Insert"),
                                            QStringLiteral("-"),
                                            QStringLiteral("Remove"),
                                            QStringLiteral("-"),
                                            QStringLiteral("Copy from Memory Map"),
                                            QStringLiteral("-"),
                                            QStringLiteral("Change current ISD address"),
                                            QStringLiteral("-"),
                                            QStringLiteral("Plan addresses")};
    QTest::newRow("Recording") << QStringLiteral("Recording")
                               << QStringList{QStringLiteral("Record file to ISD"),
                                              QStringLiteral("Record table to ISD"),
                                              QStringLiteral("-"),
                                              QStringLiteral("Play file"),
                                              QStringLiteral("-"),
                                              QStringLiteral("Stop")};
    QTest::newRow("ISD") << QStringLiteral("ISD")
                         << QStringList{
                                QStringLiteral("Play"),        QStringLiteral("Play Table"),
                                QStringLiteral("Stop"),        QStringLiteral("-"),
                                QStringLiteral("Memory Scan"), QStringLiteral("Check records"),
                                QStringLiteral("-"),           QStringLiteral("Power up"),
                                QStringLiteral("Power down"),  QStringLiteral("-"),
                                QStringLiteral("Erase")};
    QTest::newRow("Setup") << QStringLiteral("Setup")
                           << QStringList{QStringLiteral("Change comm port"), QStringLiteral("-"),
                                          QStringLiteral("Change ISD device"), QStringLiteral("-"),
                                          QStringLiteral("Sound output...")};
    QTest::newRow("View") << QStringLiteral("View") << QStringList{QStringLiteral("Serial log")};
}

void TestMainWindow::menusInOrder() {
    QFETCH(QString, menu);
    QFETCH(QStringList, items);
    Program program;
    QMenu* found = topMenu(program.w(), menu);
    QVERIFY(found != nullptr);
    QCOMPARE(captions(found), items);
    if (menu == QLatin1String("Address")) {
        QCOMPARE(captions(found->actions().at(0)->menu()),
                 QStringList({QStringLiteral("Start Address"), QStringLiteral("Stop Address")}));
        QCOMPARE(captions(found->actions().at(4)->menu()),
                 QStringList({QStringLiteral("Start Address"), QStringLiteral("Stop Address"),
                              QStringLiteral("Table")}));
    }
    // The last title of the menu bar is the About command itself.
    QAction* about = program.w().menuBar()->actions().constLast();
    QCOMPARE(AccessKeys::plain(about->text()), QStringLiteral("About"));
    QVERIFY(about->menu() == nullptr);
}

void TestMainWindow::contextMenuInOrder() {
    Program program;
    QMenu* popup = program.w().popupMenu();
    QCOMPARE(captions(popup),
             QStringList({QStringLiteral("Insert"), QStringLiteral("-"), QStringLiteral("Delete"),
                          QStringLiteral("-"), QStringLiteral("Start address"), QStringLiteral("-"),
                          QStringLiteral("Stop address")}));
    QCOMPARE(captions(popup->actions().at(4)->menu()),
             QStringList({QStringLiteral("Edit"), QStringLiteral("-"), QStringLiteral("Remove")}));
    QCOMPARE(program.w().fileView()->contextMenuPolicy(), Qt::CustomContextMenu);
}

void TestMainWindow::gridsHaveHeadersAndNumbers() {
    Program program;
    MainWindow& window = program.w();
    QCOMPARE(window.state().fileGrid.ColCount(), 4);
    QCOMPARE(window.state().fileGrid.RowCount(), 120);
    QCOMPARE(window.state().mapGrid.ColCount(), 7);
    QCOMPARE(window.state().mapGrid.RowCount(), 120);
    QStringList fileHeaders, mapHeaders;
    for (int col = 1; col < 4; ++col)
        fileHeaders.append(
            window.fileView()->model()->headerData(col - 1, Qt::Horizontal).toString());
    for (int col = 1; col < 7; ++col)
        mapHeaders.append(window.state().mapGrid.cell(col, 0));
    QCOMPARE(fileHeaders,
             QStringList({QStringLiteral("Start address"), QStringLiteral("Stop address"),
                          QStringLiteral("File name")}));
    QCOMPARE(mapHeaders,
             QStringList({QStringLiteral("Start adress"), QStringLiteral("Start address HEX"),
                          QStringLiteral("EOM address"), QStringLiteral("EOM address HEX"),
                          QStringLiteral("OVF address"), QStringLiteral("OVF address HEX")}));
    for (int row = 1; row < 120; ++row) {
        QCOMPARE(window.state().fileGrid.cell(FileColumn::Number, row), QString::number(row));
        QCOMPARE(window.state().mapGrid.cell(MapColumn::Number, row), QString::number(row));
        QCOMPARE(window.state().fileGrid.cell(FileColumn::Start, row), QString());
    }
    QCOMPARE(window.fileView()->model()->headerData(119 - 1, Qt::Vertical).toString(),
             QStringLiteral("119"));
    QCOMPARE(window.fileView()->verticalHeader()->defaultSectionSize(), 20);
    QCOMPARE(window.mapView()->selectionBehavior(), QAbstractItemView::SelectRows);
}

void TestMainWindow::controlsAreNamedForAccessibility() {
    Program program;
    for (const char* name : {"ListaPlikow", "ListaNagran", "typ", "czas", "adres", "adreshex",
                             "CzasDoKon", "commportnum", "Panel1", "ToolBar1", "ToolBar2",
                             "StatusBar1", "Strona1", "Strona2", "RecordISD", "SpeedButton6"}) {
        auto* widget = program.w().findChild<QWidget*>(QString::fromLatin1(name));
        QVERIFY2(widget != nullptr, name);
        QCOMPARE(widget->accessibleDescription(), QString::fromLatin1(name));
    }
    QCOMPARE(program.w().panelLabel(PanelTexts::Address)->alignment() & Qt::AlignRight,
             Qt::AlignRight);
    QCOMPARE(program.w().findChild<QWidget*>(QStringLiteral("Panel1"))->height(), 54);
}

void TestMainWindow::frameIsAllFFAfterStart() {
    Program program;
    const CommandFrame& frame = program.state().frame;
    // The set-chip frame was prepared in it before the port could send.
    QCOMPARE(frame[0], quint8(5));
    QCOMPARE(frame[3], quint8(1));
    for (int i : {1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 19, 31})
        QCOMPARE(frame[i], quint8(0xFF));
}

void TestMainWindow::threeLineSettingsFile() {
    Program program("VOKAR-1 Configuration File\r\n2\r\n5\r\n");
    MainWindow& window = program.w();
    QCOMPARE(window.state().folders.SoundFolder, QString());
    QCOMPARE(window.state().panel.chipName(), QStringLiteral("ISD 33120"));
    QVERIFY(!program.windows.port->autoOpen());
    QCOMPARE(window.state().panel.portNumber(), QStringLiteral("not connected"));
    QCOMPARE(
        lines(program.closeAndReadSettings()).mid(0, 7),
        QStringList({QStringLiteral("VOKAR-1 Configuration File"), QStringLiteral("2"),
                     QStringLiteral("5"), QString(), QString(), QString(), QStringLiteral("0")}));
}

void TestMainWindow::foldersWrittenBackAsRead() {
    const QByteArray settings = "VOKAR-1 Configuration File\n3\n12\n/home/ann/sounds\n"
                                "/home/ann/lists/\n/mnt/maps dir/\n0\n";
    Program program(settings);
    QCOMPARE(program.state().folders.SoundFolder, QStringLiteral("/home/ann/sounds"));
    QCOMPARE(program.state().folders.MapFolder, QStringLiteral("/mnt/maps dir/"));
    QByteArray crlf = settings;
    crlf.replace("\n", "\r\n");
    QCOMPARE(program.closeAndReadSettings(), crlf);
}

void TestMainWindow::chipTypeWrittenBack_data() {
    QTest::addColumn<QByteArray>("line3");
    QTest::addColumn<QString>("written");
    QTest::newRow("44") << QByteArray("44") << QStringLiteral("44");
    QTest::newRow("abc") << QByteArray("abc") << QStringLiteral("1");
    QTest::newRow("0") << QByteArray("0") << QStringLiteral("1");
    QTest::newRow("-5") << QByteArray("-5") << QStringLiteral("1");
    QTest::newRow("77") << QByteArray("77") << QStringLiteral("1");
}

void TestMainWindow::chipTypeWrittenBack() {
    QFETCH(QByteArray, line3);
    Program program(SettingsFile().port(0).chipTypeLine(line3).text());
    QTEST(lines(program.closeAndReadSettings()).at(2), "written");
}

void TestMainWindow::storedPortWithoutAutoOpen() {
    Program program(SettingsFile().port(4).autoOpen(false).text());
    QCOMPARE(program.port.PortNum(), 4);
    QVERIFY(program.windows.port->portButton(4)->isChecked());
    QCOMPARE(program.state().panel.portNumber(), QStringLiteral("not connected"));
    QCOMPARE(program.port.openCount, 0);
    QVERIFY(program.port.written.isEmpty());
    QCOMPARE(lines(program.closeAndReadSettings()).at(1), QStringLiteral("4"));
}

void TestMainWindow::storedPortWithAutoOpenSendsChipType() {
    Program program(SettingsFile().port(2).chipType(26).text());
    QVERIFY(program.port.Active());
    QCOMPARE(program.state().panel.portNumber(), QStringLiteral("2"));
    // The port dialog comes before the chip dialog, so the type reaches the programmer.
    QCOMPARE(program.port.written.size(), 1);
    QCOMPARE(program.port.written.at(0).left(4), QByteArray("\x05\xFF\xFF\x04", 4));
    QCOMPARE(lines(program.closeAndReadSettings()).at(6), QStringLiteral("1"));
    QVERIFY(!program.port.Active());
}

void TestMainWindow::closingWritesOnceAndClosesPortAndPlayer() {
    Program program;
    program.port.Open();
    program.w().close();
    QVERIFY(!program.port.Active());
    QCOMPARE(program.player.calls, QStringList{QStringLiteral("Close")});
    program.folder.write(settingsName, "changed\r\n");
    program.w().shutDown(); // a second close must not write again
    QCOMPARE(program.folder.read(settingsName), QByteArray("changed\r\n"));
}

void TestMainWindow::unwritableSettingsAreReportedOnClose_data() {
    QTest::addColumn<QByteArray>("settings"); // empty: no settings file
    QTest::addColumn<bool>("fileWritable");
    QTest::addColumn<QString>("reason"); // empty: saved
    const QByteArray stored = "VOKAR-1 Configuration File\r\n0\r\n1\r\n\r\n\r\n\r\n0\r\n";
    QTest::newRow("read-only start folder, no settings yet")
        << QByteArray() << false << "Permission denied";
    QTest::newRow("read-only settings in a read-only folder")
        << stored << false << "Permission denied";
    QTest::newRow("writable settings in a read-only folder") << stored << true << QString();
}

// The settings are written on close; where that fails the user is told which
// file and why (the old file stays). Checked as an ordinary user, since root
// may write anywhere.
void TestMainWindow::unwritableSettingsAreReportedOnClose() {
    QFETCH(QByteArray, settings);
    QFETCH(bool, fileWritable);
    QFETCH(QString, reason);
    QString why;
    if (!Unprivileged::possible(&why))
        QSKIP(qPrintable(why));
    Program program(settings);
    program.w().state().folders.SoundFolder = QStringLiteral("/new/sounds");
    const QString folder = program.folder.path();
    const QString file = program.folder.file(settingsName);
    if (!settings.isEmpty()) {
        Unprivileged::own(file, folder);
        const auto mode = QFileDevice::ReadOwner | QFileDevice::ReadOther;
        QVERIFY(QFile::setPermissions(file, fileWritable ? mode | QFileDevice::WriteOwner : mode));
    }
    Unprivileged::own(folder, folder);
    QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                              QFileDevice::ReadOther | QFileDevice::ExeOther));
    {
        Unprivileged asUser;
        program.w().close();
    }
    QFile::setPermissions(folder, QFile::permissions(folder) | QFileDevice::WriteOwner);
    if (reason.isEmpty()) {
        QCOMPARE(program.prompter.messages, QStringList());
        QCOMPARE(lines(program.folder.read(settingsName)).at(3), QStringLiteral("/new/sounds"));
    } else {
        QCOMPARE(program.prompter.messages,
                 QStringList{QStringLiteral("Cannot save \"%1\": %2").arg(file, reason)});
        QCOMPARE(program.folder.read(settingsName), settings);
    }
}

void TestMainWindow::widthsAtCreate() {
    const GridLayout::Widths w = GridLayout::atCreate(681);
    QCOMPARE(w.files, (std::vector<int>{32, 68, 68, 476}));
    QCOMPARE(w.map, (std::vector<int>{32, 102, 102, 102, 102, 102, 102}));
}

void TestMainWindow::widthsOnResize_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<std::vector<int>>("files");
    QTest::addColumn<std::vector<int>>("map");
    QTest::newRow("681") << 681 << std::vector<int>{32, 68, 68, 473}
                         << std::vector<int>{29, 102, 102, 102, 102, 102, 99};
    QTest::newRow("1000") << 1000 << std::vector<int>{32, 68, 68, 792}
                          << std::vector<int>{29, 155, 155, 155, 155, 155, 153};
    QTest::newRow("400") << 400 << std::vector<int>{32, 68, 68, 192}
                         << std::vector<int>{29, 55, 55, 55, 55, 55, 53};
}

void TestMainWindow::widthsOnResize() {
    QFETCH(int, width);
    const GridLayout::Widths w = GridLayout::atResize(width, {32, 68, 68, 0});
    QTEST(w.files, "files");
    QTEST(w.map, "map");
}

void TestMainWindow::resizingTheWindowResizesColumns() {
    Program program;
    MainWindow& window = program.w();
    window.show();
    window.resize(900, 500);
    QTRY_COMPARE(window.state().mapGrid.ColWidth(1), (900 - 69) / 6);
    window.resize(681, 494);
    QTRY_COMPARE(window.state().mapGrid.ColWidth(6), 99);
    QCOMPARE(window.state().mapGrid.ColWidth(0), 29);
    QCOMPARE(window.state().mapGrid.ColWidth(5), 102);
    QCOMPARE(window.mapView()->columnWidth(5), 99);
    QCOMPARE(window.state().fileGrid.ColWidth(3), 473);
    // The file name column shares its width with the Length column after it.
    QCOMPARE(window.fileView()->columnWidth(2) + window.fileView()->columnWidth(3), 473);
}

void TestMainWindow::aboutWindowShowsVersionAndClosesOnClick() {
    Program program;
    AboutWindow* about = program.windows.about;
    QCOMPARE(about->windowTitle(), QStringLiteral("About"));
    QStringList texts;
    for (QLabel* label : about->findChildren<QLabel*>())
        texts.append(label->text());
    QVERIFY(texts.contains(QStringLiteral("VOKAR-1, ver. 2.90")));
    bool wasVisible = false;
    QTimer::singleShot(0, about, [&] {
        wasVisible = about->isVisible();
        QTest::mouseClick(about, Qt::LeftButton, {}, QPoint(5, 5));
    });
    program.state().commands.action(QStringLiteral("ABOUT1"))->trigger();
    QVERIFY(wasVisible);
    QVERIFY(!about->isVisible());
}

void TestMainWindow::handlerFailureShowsErrorAndCarriesOn() {
    Program program;
    program.state().handlers.set(Handler::PowerUp, [] {
        throw AppError(QStringLiteral("'abc' is not a valid integer value"));
    });
    program.state().commands.action(QStringLiteral("PowerUp"))->trigger();
    QCOMPARE(program.prompter.errors,
             QStringList{QStringLiteral("'abc' is not a valid integer value")});
    program.state().commands.action(QStringLiteral("PowerUp"))->trigger();
    QCOMPARE(program.prompter.errors.size(), 2);
}

void TestMainWindow::changeIsdMenuRunsChipDialog() {
    Program program;
    ChipTypeDialog* dialog = program.windows.chipType;
    QTimer::singleShot(0, dialog, [dialog] {
        dialog->isdButton(44)->click();
        dialog->okButton()->click();
    });
    program.state().commands.action(QStringLiteral("ChangeIsd"))->trigger();
    QCOMPARE(program.state().panel.chipName(), QStringLiteral("ISD 1760"));
    QCOMPARE(program.state().panel.timeToEnd(), QStringLiteral("Rosc"));
    QCOMPARE(lines(program.closeAndReadSettings()).at(2), QStringLiteral("44"));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
