#include "emuprogram.h"
#include "testsounds.h"
#include "widgets/memorypictureview.h"

#include <QLabel>
#include <QTest>
#include <sndfile.h>

namespace {

// The wired program on the stand-in's line, with three sound files of 3.0,
// 1.0 and 4.5 seconds in its table. The player is a fake that never ends
// by itself, so each recording runs to the stop address the plan gave it.
struct Bench : EmuProgram {
    bool start(const QByteArray& image) {
        return EmuProgram::startAndGreet({image, 1, QStringLiteral("0.01"), 2000, {}});
    }
    bool addPlannedFiles() {
        const QPair<const char*, double> sounds[] = {
            {"one.wav", 3.0}, {"two.wav", 1.0}, {"three.wav", 4.5}};
        int row = 1;
        for (const auto& [name, seconds] : sounds) {
            const QString path = folder.file(QString::fromLatin1(name));
            if (!TestSounds::writeToneWav(path, 8000, 1, seconds, SF_FORMAT_PCM_16))
                return false;
            state().fileGrid.setCell(FileColumn::Start, row, QStringLiteral("not used"));
            state().fileGrid.setCell(FileColumn::Stop, row, QStringLiteral("not used"));
            state().fileGrid.setCell(FileColumn::File, row, path);
            ++row;
        }
        state().availability.UpdateMenu();
        run("PlanAddresses");
        return state().fileGrid.cell(FileColumn::Stop, 3) == QStringLiteral("00056");
    }
    QString status() { return w().findChild<QLabel*>(QStringLiteral("PlanStatus"))->text(); }
    QList<PictureBlock::State> recordStates() {
        QList<PictureBlock::State> states;
        const auto* picture = w().findChild<MemoryPictureView*>(QStringLiteral("MemoryPicture"));
        for (const PictureBlock& b : picture->memoryLayout()->blocks()) {
            if (b.kind == PictureBlock::Kind::Record)
                states.append(b.state);
        }
        return states;
    }
};

using S = PictureBlock::State;

} // namespace

class TestPlanEmu : public QObject {
    Q_OBJECT

private slots:
    void plannedTableRecordedThenCheckedIsVerified();
    void shortenedMessageShowsItsRowAsDifferent();
};

void TestPlanEmu::plannedTableRecordedThenCheckedIsVerified() {
    Bench b;
    QVERIFY(b.start("vokar-emu image\nchip 1\n"));
    QVERIFY(b.addPlannedFiles());
    b.run("RecTable");
    QTRY_COMPARE_WITH_TIMEOUT(b.emu.log().filter(QStringLiteral("Record start")).size(), 3, 20000);
    QTRY_COMPARE_WITH_TIMEOUT(b.state().link.LinkState, 3, 20000);
    // Every file fits its rows: nothing is named as cut.
    QCOMPARE(b.status(), QString());

    b.run("CheckRecords1");
    QTRY_COMPARE_WITH_TIMEOUT(
        b.status(), QStringLiteral("Verified: all 3 messages match the file table."), 10000);
    QCOMPARE(b.state().mapGrid.cell(MapColumn::Start, 2), QStringLiteral("00020"));
    QCOMPARE(b.state().mapGrid.cell(MapColumn::Eom, 3), QStringLiteral("00056"));
    QTRY_COMPARE(b.recordStates(), (QList<S>{S::Verified, S::Verified, S::Verified}));
    QVERIFY(b.prompter.messages.isEmpty());
}

void TestPlanEmu::shortenedMessageShowsItsRowAsDifferent() {
    Bench b;
    QVERIFY(b.start("vokar-emu image\nchip 1\nmessage 0 19\nmessage 20 23\nmessage 27 56\n"));
    QVERIFY(b.addPlannedFiles());
    b.run("CheckRecords1");
    QTRY_COMPARE_WITH_TIMEOUT(b.status(),
                              QStringLiteral("Verify: 1 of 3 messages differ - row 2: 4 rows "
                                             "(0.60 s) found, the file needs 7 rows (1.05 s)"),
                              10000);
    QTRY_COMPARE(b.recordStates(), (QList<S>{S::Verified, S::Differs, S::Verified}));
}

QTEST_MAIN(TestPlanEmu)
#include "tst_plan_emu.moc"
