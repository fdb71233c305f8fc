#include "../files/tablesfixture.h"

#include "map/copyfrommap.h"

#include <QtTest>

namespace {
const QString notUsed = QStringLiteral("not used");

QList<QStringList> fiveFiles() {
    QList<QStringList> rows;
    for (int k = 1; k <= 5; ++k)
        rows.append({notUsed, notUsed, QStringLiteral("/s/f%1.wav").arg(k)});
    return rows;
}

QStringList message(int k) {
    const int start = k * 100, eom = k * 100 + 50;
    return {QString::asprintf("%05d", start), QString::asprintf("%04X", start),
            QString::asprintf("%05d", eom), QString::asprintf("%04X", eom)};
}
} // namespace

class TestCopyFromMap : public QObject {
    Q_OBJECT
private slots:
    void tableCopiesAsFarAsBothGo_data();
    void tableCopiesAsFarAsBothGo();
    void stopAddressTakesTheSelectedMessagesEnd();
    void startAddressTakesTheSelectedMessagesStart();
    void nothingIsCopiedWithoutStopInFirstFileRowOrWithEmptyMap_data();
    void nothingIsCopiedWithoutStopInFirstFileRowOrWithEmptyMap();
    void copyingFromFreeMapRowFreesTheFileRow();
};

void TestCopyFromMap::tableCopiesAsFarAsBothGo_data() {
    QTest::addColumn<QList<QStringList>>("map");
    QTest::addColumn<int>("copied");
    QTest::newRow("three messages, five files")
        << QList<QStringList>{message(1), message(2), message(3)} << 3;
    QList<QStringList> overflowSecond = {message(1),
                                         {QString(), QString(), QString(), QString(),
                                          QStringLiteral("00400"), QStringLiteral("0190")},
                                         message(3)};
    QTest::newRow("second row only an overflow") << overflowSecond << 1;
    QList<QStringList> seven;
    for (int k = 1; k <= 7; ++k)
        seven.append(message(k));
    QTest::newRow("more messages than files") << seven << 5;
}

void TestCopyFromMap::tableCopiesAsFarAsBothGo() {
    QFETCH(QList<QStringList>, map);
    QFETCH(int, copied);
    TablesFixture f;
    f.fillFiles(fiveFiles());
    f.fillMap(map);
    f.fileGrid.setRow(4);
    CopyFromMap copy(f.fileGrid, f.mapGrid, [&f] { ++f.filesScrolledToTop; });
    copy.copyTableFromMap();
    for (int r = 1; r <= 5; ++r) {
        const QStringList expected =
            r <= copied
                ? QStringList{map[r - 1][0], map[r - 1][2], QStringLiteral("/s/f%1.wav").arg(r)}
                : QStringList{notUsed, notUsed, QStringLiteral("/s/f%1.wav").arg(r)};
        QCOMPARE(f.fileRow(r), expected);
    }
    QCOMPARE(f.filesScrolledToTop, 1);
    QCOMPARE(f.fileGrid.Row(), 4);
}

void TestCopyFromMap::stopAddressTakesTheSelectedMessagesEnd() {
    TablesFixture f;
    f.fillFiles(fiveFiles());
    f.fillMap({message(1), message(2), message(3), message(4)});
    f.fileGrid.setRow(2);
    f.mapGrid.setRow(4);
    CopyFromMap(f.fileGrid, f.mapGrid, {}).copyStopFromMap();
    QCOMPARE(f.fileRow(2),
             (QStringList{notUsed, QStringLiteral("00450"), QStringLiteral("/s/f2.wav")}));
}

void TestCopyFromMap::startAddressTakesTheSelectedMessagesStart() {
    TablesFixture f;
    f.fillFiles(fiveFiles());
    f.fillMap({message(1), message(2)});
    f.fileGrid.setRow(5);
    f.mapGrid.setRow(2);
    CopyFromMap(f.fileGrid, f.mapGrid, {}).copyStartFromMap();
    QCOMPARE(f.fileRow(5),
             (QStringList{QStringLiteral("00200"), notUsed, QStringLiteral("/s/f5.wav")}));
}

void TestCopyFromMap::nothingIsCopiedWithoutStopInFirstFileRowOrWithEmptyMap_data() {
    QTest::addColumn<QString>("firstStop");
    QTest::addColumn<bool>("mapFilled");
    QTest::newRow("first file row without stop") << "" << true;
    QTest::newRow("empty map") << "not used" << false;
}

void TestCopyFromMap::nothingIsCopiedWithoutStopInFirstFileRowOrWithEmptyMap() {
    QFETCH(QString, firstStop);
    QFETCH(bool, mapFilled);
    TablesFixture f;
    f.fillFiles(
        {{notUsed, firstStop, QStringLiteral("a")}, {notUsed, notUsed, QStringLiteral("b")}});
    if (mapFilled)
        f.fillMap({message(1), message(2)});
    f.fileGrid.setRow(2);
    f.mapGrid.setRow(2);
    CopyFromMap copy(f.fileGrid, f.mapGrid, {});
    copy.copyStartFromMap();
    copy.copyStopFromMap();
    QCOMPARE(f.fileRow(2), (QStringList{notUsed, notUsed, QStringLiteral("b")}));
}

void TestCopyFromMap::copyingFromFreeMapRowFreesTheFileRow() {
    TablesFixture f;
    f.fillFiles(fiveFiles());
    f.fillMap({message(1)});
    f.fileGrid.setRow(3);
    f.mapGrid.setRow(7);
    CopyFromMap(f.fileGrid, f.mapGrid, {}).copyStartFromMap();
    QCOMPARE(f.fileGrid.cell(FileColumn::Start, 3), QString());
    QCOMPARE(f.fileGrid.FirstFreeRow(), 3);
    QCOMPARE(f.fileGrid.cell(FileColumn::File, 3), QStringLiteral("/s/f3.wav"));
}

QTEST_MAIN(TestCopyFromMap)
#include "tst_copyfrommap.moc"
