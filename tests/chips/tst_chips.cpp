#include "chips/chipcatalogue.h"
#include "chips/chipcontrol.h"
#include "core/paneltexts.h"
#include "fakecomport.h"
#include "fakeprompter.h"
#include "link/commandframe.h"
#include "screenshot.h"
#include "settingsfile.h"
#include "tempfolder.h"
#include "widgets/addressdialog.h"
#include "widgets/chiptypedialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

namespace {

struct Row {
    int index;
    const char* caption;
    const char* name;
    const char* timeText;
    float seconds;
    int last;
    int family;
    int rate;
    int size;
    int mask;
};

// The catalogue as the programmer's documentation lists it.
const Row expected[] = {
    {1, "ISD 33060 (60 sek.)", "ISD 33060", "60 sek.", 60.0f, 399, 1, 0, 0, 0},
    {2, "ISD 33075 (75 sek.)", "ISD 33075", "75 sek.", 75.0f, 399, 1, 0, 0, 0},
    {3, "ISD 33090 (90 sek.)", "ISD 33090", "90 sek.", 90.0f, 399, 1, 0, 0, 0},
    {4, "ISD 33120-4 (2 min.)", "ISD 33120-4", "120 sek.", 120.0f, 399, 1, 0, 0, 0},
    {5, "ISD 33120 (2 min.)", "ISD 33120", "120 sek.", 120.0f, 799, 1, 0, 0, 0},
    {6, "ISD 33150 (2.5 min.)", "ISD 33150", "150 sek.", 150.0f, 799, 1, 0, 0, 0},
    {7, "ISD 33180 (3 min.)", "ISD 33180", "180 sek.", 180.0f, 799, 1, 0, 0, 0},
    {8, "ISD 33240 (4 min.)", "ISD 33240", "240 sek.", 240.0f, 799, 1, 0, 0, 0},
    {9, "ISD 4002 (120 sek.)", "ISD 4002-120", "120 sek.", 120.0f, 599, 1, 0, 0, 0},
    {10, "ISD 4002 (150 sek.)", "ISD 4002-150", "150 sek.", 150.0f, 599, 1, 0, 0, 0},
    {11, "ISD 4002 (180 sek.)", "ISD 4002-180", "180 sek.", 180.0f, 599, 1, 0, 0, 0},
    {12, "ISD 4002 (240 sek.)", "ISD 4002-240", "240 sek.", 240.0f, 599, 1, 0, 0, 0},
    {13, "ISD 4003 - 04 (4 min.)", "ISD 4003-04", "240 sek.", 240.0f, 1199, 1, 0, 0, 0},
    {14, "ISD 4003 - 05 (5 min.)", "ISD 4003-05", "300 sek.", 300.0f, 1199, 1, 0, 0, 0},
    {15, "ISD 4003 - 06 (6 min.)", "ISD 4003-06", "360 sek.", 360.0f, 1199, 1, 0, 0, 0},
    {16, "ISD 4003 - 08 (8 min.)", "ISD 4003-08", "480 sek.", 480.0f, 1199, 1, 0, 0, 0},
    {17, "ISD 4004 - 8 (8 min.)", "ISD 4004-08", "8 min.", 480.0f, 2399, 2, 0, 0, 0},
    {18, "ISD 4004 - 10 (10 min.)", "ISD 4004-10", "10 min.", 600.0f, 2399, 2, 0, 0, 0},
    {19, "ISD 4004 - 12 (12 min.)", "ISD 4004-12", "12 min.", 720.0f, 2399, 2, 0, 0, 0},
    {20, "ISD 4004 - 16 (16 min.)", "ISD 4004-16", "16 min.", 960.0f, 2399, 2, 0, 0, 0},
    {21, "ISD 5008 - 8.0 kHz", "ISD 5008 - 8.0 kHz", "4 min.", 240.0f, 1199, 3, 0x30, 0, 0},
    {22, "ISD 5008 - 6.4 kHz", "ISD 5008 - 6.4 kHz", "5 min.", 300.0f, 1199, 3, 0x31, 0, 0},
    {23, "ISD 5008 - 5.3 kHz", "ISD 5008 - 5.3 kHz", "6 min.", 360.0f, 1199, 3, 0x32, 0, 0},
    {24, "ISD 5008 - 4.0 kHz", "ISD 5008 - 4.0 kHz", "8 min.", 480.0f, 1199, 3, 0x33, 0, 0},
    {25, "ISD 5116 - 8 kHz", "ISD 5116 - 8.0 kHz", "8 min 44 sec.", 524.0f, 2047, 4, 0x30, 0, 0},
    {26, "ISD 5116 - 6.4 kHz", "ISD 5116 - 6.4 kHz", "10 min 55 sec", 655.0f, 2047, 4, 0x31, 0, 0},
    {27, "ISD 5116 - 5.3 kHz", "ISD 5116 - 5.3 kHz", "13 min 6 sec", 786.0f, 2047, 4, 0x32, 0, 0},
    {28, "ISD 5116 - 4.0 kHz", "ISD 5116 - 4.0 kHz", "17 min 28 sec", 1048.0f, 2047, 4, 0x33, 0, 0},
    {29, "ISD 5108 - 8 kHz", "ISD 5108 - 8.0 kHz", "4 min 22 sec.", 262.0f, 1023, 4, 0x30, 0, 0},
    {30, "ISD 5108 - 6.4 kHz", "ISD 5108 - 6.4 kHz", "5 min 27 sec", 327.0f, 1023, 4, 0x31, 0, 0},
    {31, "ISD 5108 - 5.3 kHz", "ISD 5108 - 5.3 kHz", "6 min 33 sec", 393.0f, 1023, 4, 0x32, 0, 0},
    {32, "ISD 5108 - 4.0 kHz", "ISD 5108 - 4.0 kHz", "8 min 44 sec", 524.0f, 1023, 4, 0x33, 0, 0},
    {33, "ISD 5104 - 8 kHz", "ISD 5104 - 8.0 kHz", "2 min 11 sec.", 131.0f, 511, 4, 0x30, 0, 0},
    {34, "ISD 5104 - 6.4 kHz", "ISD 5104 - 6.4 kHz", "2 min 43 sec", 163.0f, 511, 4, 0x31, 0, 0},
    {35, "ISD 5104 - 5.3 kHz", "ISD 5104 - 5.3 kHz", "3 min 17 sec", 197.0f, 511, 4, 0x32, 0, 0},
    {36, "ISD 5104 - 4.0 kHz", "ISD 5104 - 4.0 kHz", "4 min 22 sec", 262.0f, 511, 4, 0x33, 0, 0},
    {37, "ISD 5102 - 8 kHz", "ISD 5102 - 8.0 kHz", "1 min 5 sec.", 65.0f, 255, 4, 0x30, 0, 0},
    {38, "ISD 5102 - 6.4 kHz", "ISD 5102 - 6.4 kHz", "1 min 21 sec", 81.0f, 255, 4, 0x31, 0, 0},
    {39, "ISD 5102 - 5.3 kHz", "ISD 5102 - 5.3 kHz", "1 min 38 sec", 98.0f, 255, 4, 0x32, 0, 0},
    {40, "ISD 5102 - 4.0 kHz", "ISD 5102 - 4.0 kHz", "2 min 11 sec", 131.0f, 255, 4, 0x33, 0, 0},
    {41, "ISD 1730", "ISD 1730", "Rosc", 131.0f, 255, 5, 0, 1, 0xFF},
    {42, "ISD 1740", "ISD 1740", "Rosc", 131.0f, 335, 5, 0, 2, 0x1FF},
    {43, "ISD 1750", "ISD 1750", "Rosc", 131.0f, 415, 5, 0, 2, 0x1FF},
    {44, "ISD 1760", "ISD 1760", "Rosc", 131.0f, 496, 5, 0, 3, 0x1FF},
    {45, "ISD 1790", "ISD 1790", "Rosc", 131.0f, 735, 5, 0, 3, 0x3FF},
    {46, "ISD 17120", "ISD 17120", "Rosc", 131.0f, 975, 5, 0, 3, 0x3FF},
    {47, "ISD 17150", "ISD 17150", "Rosc", 131.0f, 1215, 5, 0, 4, 0x7FF},
    {48, "ISD 17180", "ISD 17180", "Rosc", 131.0f, 1455, 5, 0, 4, 0x7FF},
    {49, "ISD 17210", "ISD 17210", "Rosc", 131.0f, 1695, 5, 0, 4, 0x7FF},
    {50, "ISD 17240", "ISD 17240", "Rosc", 131.0f, 1935, 5, 0, 4, 0x7FF},
};

QByteArray hex(const QByteArray& bytes) {
    return bytes.toHex(' ').toUpper();
}

// A chip control on a fake port that is open and records every frame.
struct Bench {
    PanelTexts panel;
    CommandFrame frame;
    FakeComPort port;
    ChipControl chip{panel, frame, port};
    Bench() {
        frame.fillFF();
        port.Open();
    }
    void apply(int type) {
        chip.ChipType = static_cast<qint8>(type);
        chip.ApplyChipType();
    }
    QByteArray frameBytes() const { return QByteArray(frame.data(), CommandFrame::Size); }
};

// The chip type dialog as start-up leaves it without a settings file: type 1
// applied, its set-chip frame taken off the line.
struct StartedChipDialog {
    TempFolder folder;
    Bench bench;
    ChipTypeDialog dialog{bench.chip};
    StartedChipDialog() {
        dialog.loadSettings(SettingsFile::name());
        bench.port.written.clear();
    }
};

// Runs `action` as soon as the modal dialog's event loop is running.
void whenShown(const std::function<void()>& action) {
    QTimer::singleShot(0, action);
}

} // namespace

class TestChips : public QObject {
    Q_OBJECT

private slots:
    void catalogueMatchesDocumentation_data();
    void catalogueMatchesDocumentation();
    void applyShowsTypeAndSendsSetChip_data();
    void applyShowsTypeAndSendsSetChip();
    void applyOnClosedPortSendsNothing();
    void applyIsd1730StoresLastAddressLowByteFirst();
    void chipCodesWrittenIntoFrame_data();
    void chipCodesWrittenIntoFrame();
    void isd1760LastAddressQuirk();
    void switchingTypesKeepsOtherBytes();
    void maskChipAddress_data();
    void maskChipAddress();
    void timeToEndText_data();
    void timeToEndText();
    void chipTypeFromSetting_data();
    void chipTypeFromSetting();
    void addressLabels_data();
    void addressLabels();

    void chipDialogLoadsStoredType_data();
    void chipDialogLoadsStoredType();
    void chipDialogConfirmAppliesChoice();
    void chipDialogCloseBoxKeepsTypeAndResetsButtons();
    void chipDialogLayout();

    void addressDialogChecks_data();
    void addressDialogChecks();
    void addressDialogCancelKeepsText();
    void addressDialogLabelFollowsShownType();
    void addressDialogRunsModally();
};

void TestChips::catalogueMatchesDocumentation_data() {
    QTest::addColumn<int>("row");
    for (int i = 0; i < 50; ++i)
        QTest::newRow(expected[i].name) << i;
}

void TestChips::catalogueMatchesDocumentation() {
    QFETCH(int, row);
    const Row& want = expected[row];
    const ChipInfo* chip = ChipCatalogue::find(want.index);
    QVERIFY(chip != nullptr);
    QCOMPARE(QString::fromLatin1(chip->caption), QString::fromLatin1(want.caption));
    QCOMPARE(QString::fromLatin1(chip->name), QString::fromLatin1(want.name));
    QCOMPARE(QString::fromLatin1(chip->timeText), QString::fromLatin1(want.timeText));
    QCOMPARE(chip->totalSeconds, want.seconds);
    QCOMPARE(int(chip->lastAddress), want.last);
    QCOMPARE(int(chip->family), want.family);
    QCOMPARE(int(chip->sampleRateCode), want.rate);
    QCOMPARE(int(chip->sizeCode), want.size);
    QCOMPARE(int(chip->addressMask), want.mask);
    QCOMPARE(ChipCatalogue::isIsd1700(want.index), want.index > 40);
    QVERIFY(ChipCatalogue::find(0) == nullptr);
    QVERIFY(ChipCatalogue::find(51) == nullptr);
}

void TestChips::applyShowsTypeAndSendsSetChip_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("typ");
    QTest::addColumn<QString>("czas");
    QTest::addColumn<QString>("toEnd");
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("ISD 5116 - 6.4 kHz")
        << 26 << QStringLiteral("ISD 5116 - 6.4 kHz") << QStringLiteral("10 min 55 sec")
        << QStringLiteral(" 655.00 sek.")
        << QByteArray("05 FF FF 04 FF FF FF FF FF 31 FF FF FF FF FF FF FF FF FF FF");
    QTest::newRow("ISD 33060") << 1 << QStringLiteral("ISD 33060") << QStringLiteral("60 sek.")
                               << QStringLiteral("  60.00 sek.")
                               << QByteArray("05 FF FF 01 FF FF FF FF FF FF FF FF FF FF FF FF "
                                             "FF FF FF FF");
    QTest::newRow("ISD 4004-16") << 20 << QStringLiteral("ISD 4004-16") << QStringLiteral("16 min.")
                                 << QStringLiteral(" 960.00 sek.")
                                 << QByteArray("05 FF FF 02 FF FF FF FF FF FF FF FF FF FF FF FF "
                                               "FF FF FF FF");
    // The ISD 1700 set-chip frame goes out before the last address is stored.
    QTest::newRow("ISD 1730") << 41 << QStringLiteral("ISD 1730") << QStringLiteral("Rosc")
                              << QStringLiteral("Rosc")
                              << QByteArray("05 FF FF 05 FF FF FF FF FF FF FF FF FF FF FF FF "
                                            "FF FF FF FF");
}

void TestChips::applyShowsTypeAndSendsSetChip() {
    QFETCH(int, type);
    Bench bench;
    bench.panel.setText(PanelTexts::Address, QStringLiteral("00123"));
    bench.panel.setText(PanelTexts::AddressHex, QStringLiteral("007B"));
    bench.apply(type);
    QTEST(bench.panel.chipName(), "typ");
    QTEST(bench.panel.totalTime(), "czas");
    QTEST(bench.panel.timeToEnd(), "toEnd");
    QCOMPARE(bench.panel.address(), QStringLiteral("00000"));
    QCOMPARE(bench.panel.addressHex(), QStringLiteral("0000"));
    QCOMPARE(bench.port.written.size(), 1);
    QTEST(hex(bench.port.written.at(0)), "frame");
    QCOMPARE(bench.chip.ShownChipType, qint8(type));
}

void TestChips::applyOnClosedPortSendsNothing() {
    Bench bench;
    bench.port.Close();
    bench.apply(3);
    QVERIFY(bench.port.written.isEmpty());
    QCOMPARE(bench.panel.chipName(), QStringLiteral("ISD 33090"));
    QCOMPARE(bench.frame[0], quint8(5)); // prepared all the same
}

void TestChips::applyIsd1730StoresLastAddressLowByteFirst() {
    Bench bench;
    bench.apply(41);
    QCOMPARE(bench.frame[10], quint8(0xFF));
    QCOMPARE(bench.frame[11], quint8(0x00));
    bench.chip.writeChipCodes(0);
    QCOMPARE(bench.frame[10], quint8(0x00));
    QCOMPARE(bench.frame[11], quint8(0xFF));
    QCOMPARE(bench.frame[12], quint8(1));
}

void TestChips::chipCodesWrittenIntoFrame_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("ISD 33060: code and family only")
        << 1 << QByteArray("05 FF FF 01 FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF");
    QTest::newRow("ISD 5008 4.0 kHz: rate")
        << 24 << QByteArray("05 FF FF 03 FF FF FF FF FF 33 FF FF FF FF FF FF FF FF FF FF");
    QTest::newRow("ISD 5116 8 kHz: rate")
        << 25 << QByteArray("05 FF FF 04 FF FF FF FF FF 30 FF FF FF FF FF FF FF FF FF FF");
    QTest::newRow("ISD 17240: last address high first, size code")
        << 50 << QByteArray("05 FF FF 05 FF FF FF FF FF FF 07 8F 04 FF FF FF FF FF FF FF");
}

void TestChips::chipCodesWrittenIntoFrame() {
    QFETCH(int, type);
    Bench bench;
    bench.chip.ChipType = static_cast<qint8>(type);
    bench.chip.writeChipCodes(0);
    QTEST(hex(bench.frameBytes()), "frame");
    QVERIFY(bench.port.written.isEmpty());
}

void TestChips::isd1760LastAddressQuirk() {
    Bench bench;
    bench.apply(44);
    QCOMPARE(bench.chip.LastAddress, quint16(496));
    QCOMPARE(bench.frame[10], quint8(0xF0)); // 496 low byte first
    QCOMPARE(bench.frame[11], quint8(0x01));
    bench.chip.writeChipCodes(0);
    QCOMPARE(bench.chip.LastAddress, quint16(495));
    QCOMPARE(bench.frame[10], quint8(0x01));
    QCOMPARE(bench.frame[11], quint8(0xEF));
}

void TestChips::switchingTypesKeepsOtherBytes() {
    Bench bench;
    bench.apply(21); // ISD 5008 8.0 kHz
    bench.chip.ChipType = 42;
    bench.chip.writeChipCodes(0);
    bench.apply(1);
    bench.chip.writeChipCodes(0);
    QCOMPARE(bench.frame[9], quint8(0x30));
    QCOMPARE(bench.frame[10], quint8(0x01)); // 335, high byte first
    QCOMPARE(bench.frame[11], quint8(0x4F));
    QCOMPARE(bench.frame[12], quint8(2));
    QCOMPARE(bench.chip.LastAddress, quint16(399));
}

void TestChips::maskChipAddress_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("masked");
    QTest::newRow("ISD 1730") << 41 << 0x0123 << 0x0023;
    QTest::newRow("ISD 1740") << 42 << 0x0323 << 0x0123;
    QTest::newRow("ISD 1790") << 45 << 0x0723 << 0x0323;
    QTest::newRow("ISD 17240") << 50 << 0x0123 << 0x0123;
    QTest::newRow("ISD 17240 high bits") << 50 << 0xF923 << 0x0123;
    QTest::newRow("ISD 5116 unmasked") << 25 << 0xF123 << 0xF123;
}

void TestChips::maskChipAddress() {
    QFETCH(int, type);
    QFETCH(int, address);
    Bench bench;
    bench.chip.ChipType = static_cast<qint8>(type);
    quint16 value = quint16(address);
    bench.chip.MaskChipAddress(value);
    QTEST(int(value), "masked");
}

void TestChips::timeToEndText_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("address");
    QTest::addColumn<QString>("text");
    QTest::newRow("33060 at 0") << 1 << 0 << QStringLiteral("  60.00 sek.");
    QTest::newRow("33060 at 200") << 1 << 200 << QStringLiteral("  30.00 sek.");
    QTest::newRow("33060 one past the end") << 1 << 400 << QStringLiteral("   0.00 sek.");
    QTest::newRow("33060 at 291") << 1 << 291 << QStringLiteral("  16.35 sek.");
    QTest::newRow("5116 at 1024") << 25 << 1024 << QStringLiteral(" 262.00 sek.");
    QTest::newRow("1730") << 41 << 16 << QStringLiteral("Rosc");
}

void TestChips::timeToEndText() {
    QFETCH(int, type);
    QFETCH(int, address);
    Bench bench;
    bench.apply(type);
    QTEST(bench.chip.TimeToEndText(quint16(address)), "text");
}

void TestChips::chipTypeFromSetting_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("type");
    QTest::newRow("44") << QStringLiteral("44") << 44;
    QTest::newRow("50") << QStringLiteral("50") << 50;
    QTest::newRow("abc") << QStringLiteral("abc") << 1;
    QTest::newRow("0") << QStringLiteral("0") << 1;
    QTest::newRow("-5") << QStringLiteral("-5") << 1;
    QTest::newRow("51 is not a type") << QStringLiteral("51") << 1;
    QTest::newRow("77 is not a type") << QStringLiteral("77") << 1;
    QTest::newRow("300 would wrap to 44 in 8 bits") << QStringLiteral("300") << 1;
}

void TestChips::chipTypeFromSetting() {
    QFETCH(QString, line);
    QTEST(int(ChipControl::chipTypeFromSetting(line)), "type");
}

void TestChips::addressLabels_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("label");
    QTest::newRow("1") << 1 << QStringLiteral("Address (0-399) :");
    QTest::newRow("5") << 5 << QStringLiteral("Address (0-799) :");
    QTest::newRow("9") << 9 << QStringLiteral("Address (0-599) :");
    QTest::newRow("13") << 13 << QStringLiteral("Address (0-1199) :");
    QTest::newRow("17") << 17 << QStringLiteral("Address (0-2399) :");
    QTest::newRow("24") << 24 << QStringLiteral("Address (0-1199) :");
    QTest::newRow("28") << 28 << QStringLiteral("Address (0-2047) :");
    QTest::newRow("29") << 29 << QStringLiteral("Address (0-1023) :");
    QTest::newRow("36") << 36 << QStringLiteral("Address (0-511) :");
    QTest::newRow("41") << 41 << QStringLiteral("Address (0-255) :");
    QTest::newRow("44") << 44 << QStringLiteral("Address (0-496) :");
    QTest::newRow("50") << 50 << QStringLiteral("Address (0-1935) :");
    QTest::newRow("none") << 0 << QString();
}

void TestChips::addressLabels() {
    QFETCH(int, type);
    QTEST(ChipCatalogue::addressLabel(type), "label");
}

void TestChips::chipDialogLoadsStoredType_data() {
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("typ");
    QTest::newRow("44") << QByteArray("VOKAR-1 Configuration File\r\n1\r\n44\r\n") << 44
                        << QStringLiteral("ISD 1760");
    QTest::newRow("-5") << QByteArray("h\r\n1\r\n-5\r\n") << 1 << QStringLiteral("ISD 33060");
    QTest::newRow("x") << QByteArray("h\r\n1\r\nx\r\n") << 1 << QStringLiteral("ISD 33060");
    QTest::newRow("77") << QByteArray("h\r\n1\r\n77\r\n") << 1 << QStringLiteral("ISD 33060");
    QTest::newRow("two lines") << QByteArray("h\r\n1\r\n") << 1 << QStringLiteral("ISD 33060");
    QTest::newRow("LF only") << QByteArray("h\n1\n26\n") << 26
                             << QStringLiteral("ISD 5116 - 6.4 kHz");
}

void TestChips::chipDialogLoadsStoredType() {
    QFETCH(QByteArray, settings);
    QFETCH(int, type);
    TempFolder folder;
    folder.write(SettingsFile::name(), settings);
    Bench bench;
    ChipTypeDialog dialog(bench.chip);
    dialog.loadSettings(SettingsFile::name());
    QCOMPARE(int(bench.chip.ChipType), type);
    QTEST(bench.panel.chipName(), "typ");
    QCOMPARE(bench.port.written.size(), 1); // the set-chip frame
    dialog.markCurrentType();
    QVERIFY(dialog.isdButton(type)->isChecked());
}

void TestChips::chipDialogConfirmAppliesChoice() {
    StartedChipDialog started;
    Bench& bench = started.bench;
    ChipTypeDialog& dialog = started.dialog;
    whenShown([&] {
        dialog.isdButton(26)->click();
        dialog.okButton()->click();
    });
    QVERIFY(dialog.Execute());
    QCOMPARE(int(bench.chip.ChipType), 26);
    QCOMPARE(bench.panel.totalTime(), QStringLiteral("10 min 55 sec"));
    QCOMPARE(bench.port.written.size(), 1);

    // Confirming the current type again applies it again.
    bench.panel.setText(PanelTexts::Address, QStringLiteral("00077"));
    whenShown([&] { dialog.okButton()->click(); });
    QVERIFY(dialog.Execute());
    QCOMPARE(bench.panel.address(), QStringLiteral("00000"));
    QCOMPARE(bench.port.written.size(), 2);
}

void TestChips::chipDialogCloseBoxKeepsTypeAndResetsButtons() {
    StartedChipDialog started;
    Bench& bench = started.bench;
    ChipTypeDialog& dialog = started.dialog;
    whenShown([&] {
        dialog.isdButton(50)->click();
        dialog.close(); // the close box
    });
    QVERIFY(!dialog.Execute());
    QCOMPARE(int(bench.chip.ChipType), 1);
    QCOMPARE(bench.panel.chipName(), QStringLiteral("ISD 33060"));
    QVERIFY(bench.port.written.isEmpty());
    bool checkedOnShow = false;
    whenShown([&] {
        checkedOnShow = dialog.isdButton(1)->isChecked() && !dialog.isdButton(50)->isChecked();
        dialog.close();
    });
    dialog.Execute();
    QVERIFY(checkedOnShow);
}

void TestChips::chipDialogLayout() {
    Bench bench;
    ChipTypeDialog dialog(bench.chip);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Change ISD Device "));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    // Sized to its captions, and not to be resized.
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    for (int index = 1; index <= 50; ++index) {
        QRadioButton* button = dialog.isdButton(index);
        QVERIFY2(button->width() >= button->sizeHint().width(), qPrintable(button->text()));
        QVERIFY(dialog.rect().contains(button->geometry()));
    }
    // Four columns: 1-13, 14-26, 27-39, 40-50, from 16 down, evenly apart.
    const int pitch = dialog.isdButton(2)->y() - dialog.isdButton(1)->y();
    QVERIFY(pitch >= 24);
    QCOMPARE(dialog.isdButton(1)->y(), 16);
    QCOMPARE(dialog.isdButton(13)->y(), 16 + 12 * pitch);
    QCOMPARE(dialog.isdButton(14)->y(), 16);
    QCOMPARE(dialog.isdButton(50)->y(), 16 + 10 * pitch);
    QVERIFY(dialog.isdButton(14)->x() > dialog.isdButton(13)->x());
    QVERIFY(dialog.isdButton(40)->x() > dialog.isdButton(39)->x());
    QCOMPARE(dialog.isdButton(40)->x(), dialog.isdButton(50)->x());
    QCOMPARE(dialog.isdButton(7)->text(), QStringLiteral("ISD 33180 (3 min.)"));
    QVERIFY(dialog.okButton()->isDefault());
    QVERIFY(dialog.okButton()->x() >= dialog.isdButton(40)->x());
    QVERIFY(dialog.okButton()->y() > dialog.isdButton(50)->y());
    screenshot(dialog, QStringLiteral("chip-type-dialog.png"));
}

void TestChips::addressDialogChecks_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("399 on 33060") << 1 << QStringLiteral("399") << true;
    QTest::newRow("00012 kept as typed") << 1 << QStringLiteral("00012") << true;
    QTest::newRow("400 on 33060") << 1 << QStringLiteral("400") << false;
    QTest::newRow("-1") << 1 << QStringLiteral("-1") << false;
    QTest::newRow("abc") << 1 << QStringLiteral("abc") << false;
    QTest::newRow("empty") << 1 << QString() << false;
    QTest::newRow("huge") << 1 << QStringLiteral("99999999999") << false;
    QTest::newRow("5 on 1730") << 41 << QStringLiteral("5") << true;
    QTest::newRow("256 on 1730") << 41 << QStringLiteral("256") << false;
}

void TestChips::addressDialogChecks() {
    QFETCH(int, type);
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    Bench bench;
    bench.apply(type);
    FakePrompter prompter;
    AddressDialog dialog(bench.chip, prompter);
    dialog.addressEdit->setText(typed);
    dialog.prepare();
    QCOMPARE(dialog.conclude(true), accepted);
    if (accepted) {
        QCOMPARE(dialog.addressText(), typed);
        QVERIFY(prompter.messages.isEmpty());
    } else {
        QCOMPARE(prompter.messages, QStringList{QStringLiteral("Wrong address !")});
        QCOMPARE(dialog.addressEdit->text(), QStringLiteral("00000"));
    }
}

void TestChips::addressDialogCancelKeepsText() {
    Bench bench;
    FakePrompter prompter;
    AddressDialog dialog(bench.chip, prompter);
    QCOMPARE(dialog.addressEdit->text(), QStringLiteral("00000"));
    QCOMPARE(dialog.promptLabel->text(), QStringLiteral("Adres (0-399) :"));
    whenShown([&] {
        dialog.addressEdit->setText(QStringLiteral("123"));
        dialog.cancelButton->click();
    });
    QVERIFY(!dialog.Execute());
    QCOMPARE(dialog.addressEdit->text(), QStringLiteral("123"));
    QVERIFY(prompter.messages.isEmpty());
}

void TestChips::addressDialogLabelFollowsShownType() {
    Bench bench;
    FakePrompter prompter;
    AddressDialog dialog(bench.chip, prompter);
    bench.apply(41);
    dialog.prepare();
    QCOMPARE(dialog.promptLabel->text(), QStringLiteral("Address (0-255) :"));
    // An ISD 1760 shows 496 but, once a command has run, accepts up to 495.
    bench.apply(44);
    bench.chip.writeChipCodes(0);
    dialog.prepare();
    QCOMPARE(dialog.promptLabel->text(), QStringLiteral("Address (0-496) :"));
    dialog.addressEdit->setText(QStringLiteral("496"));
    QVERIFY(!dialog.conclude(true));
}

void TestChips::addressDialogRunsModally() {
    Bench bench;
    FakePrompter prompter;
    AddressDialog dialog(bench.chip, prompter);
    whenShown([&] {
        dialog.addressEdit->setText(QStringLiteral("250"));
        dialog.okButton->click();
    });
    QVERIFY(dialog.Execute());
    QCOMPARE(dialog.addressText(), QStringLiteral("250"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Address"));
}

QTEST_MAIN(TestChips)
#include "tst_chips.moc"
