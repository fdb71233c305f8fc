// The chip link composed over the program's state on fakes, with no window
// and no widget library linked: the chip commands run from their actions and
// the replies from the port carry them on.
#include "core/addressinput.h"
#include "fakecomport.h"
#include "fakeplayer.h"
#include "fakeprompter.h"
#include "link/chiplink.h"
#include "state/programstate.h"
#include "tempfolder.h"

#include <QTest>

namespace {

class NoAddress : public AddressInput {
public:
    bool Execute() override { return false; }
    QString addressText() const override { return QString(); }
};

QByteArray reply(char code, int address) {
    QByteArray bytes(1, code);
    bytes += QByteArray::number(address).rightJustified(5, '0');
    bytes += QByteArray(14, '0');
    return bytes;
}

} // namespace

class TestChipLink : public QObject {
    Q_OBJECT

private slots:
    void memoryScanRunsWithoutAWindow();
};

void TestChipLink::memoryScanRunsWithoutAWindow() {
    TempFolder folder;
    FakeComPort port;
    FakePlayer player;
    FakePrompter prompter;
    ProgramState state(port, &player, prompter);
    state.setUp(folder.file(QStringLiteral("isdvokar.fig")));
    state.chip.ApplyChipType();
    port.Open();
    NoAddress address;
    int mapShown = 0;
    ChipLink link(state, address, [&mapShown] { ++mapShown; });

    state.commands.action(QStringLiteral("PlayfromISD2"))->trigger();
    QCOMPARE(mapShown, 1);
    QCOMPARE(port.written.size(), 1);
    QCOMPARE(port.written.last().left(3), QByteArray("\x04\x00\x00", 3));
    QCOMPARE(state.link.LinkState, int(LinkContext::StateScanning));

    port.feed(reply('4', 150));
    QCOMPARE(state.mapGrid.cell(MapColumn::Start, 1), QStringLiteral("00000"));
    QCOMPARE(state.mapGrid.cell(MapColumn::Eom, 1), QStringLiteral("00149"));
    QCOMPARE(port.written.last().left(3), QByteArray("\x04\x00\x96", 3));
    QVERIFY(state.commands.isEnabled(QStringLiteral("StopISD")));

    port.feed(reply('4', 400));
    QCOMPARE(state.mapGrid.cell(MapColumn::Start, 2), QStringLiteral("00150"));
    QCOMPARE(state.mapGrid.cell(MapColumn::Ovf, 3), QStringLiteral("00400"));
    QCOMPARE(port.written.last().at(0), char(3));
    QCOMPARE(state.link.LinkState, int(LinkContext::StateIdle));
    QVERIFY(state.commands.isEnabled(QStringLiteral("SaveMap")));
    QVERIFY(prompter.messages.isEmpty());
    QVERIFY(prompter.errors.isEmpty());
}

QTEST_MAIN(TestChipLink)
#include "core/tablelayout.h"
#include "tst_chiplink.moc"
