#include "tablesfixture.h"
#include "tempfolder.h"

#include "files/filelist.h"
#include "files/listfilereader.h"

#include <QtTest>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/resource.h>
#endif

namespace {
const QString notUsed = QStringLiteral("not used");

const QByteArray threeLines = "00016;not used;/snd/bell.wav;\r\n"
                              "not used;00200;/snd/gong.mid;\r\n"
                              "12;00300;/snd/with space.wav;\r\n";

void loadInto(TablesFixture& f, const QString& name) {
    f.prompter.answers = {name};
    FileList(f.context).openTable();
}
} // namespace

class TestFileList : public QObject {
    Q_OBJECT
private slots:
    void saveAndLoadRoundTripByteForByte();
    void loadFillsRowsNumbersThemAndEnablesCommands_data();
    void loadFillsRowsNumbersThemAndEnablesCommands();
    void malformedLineKeepsEarlierEntries_data();
    void malformedLineKeepsEarlierEntries();
    void nonIntegerAddressesBecomeNotUsed();
    void missingFileLoadsAsEmptyTableWithoutMessage();
    void cancelledLoadStillChecksAddressCells();
    void longPathLinesLoadInFull();
    void saveAfterLoadWritesWithoutDialog();
    void firstSaveAsksAndAddsDefaultExtension();
    void saveAsTakesTheNewNameForLaterSaves();
    void emptyTableSavesNothingAndShowsNoDialog();
    void writingStopsAtFirstRowWithoutStopText();
    void failedSaveIsReportedAndChangesNothing_data();
    void failedSaveIsReportedAndChangesNothing();
    void failedSaveKeepsPreviousFile();
};

void TestFileList::saveAndLoadRoundTripByteForByte() {
    TempFolder temp;
    temp.write(QStringLiteral("in.lsp"), threeLines);
    TablesFixture f;
    loadInto(f, temp.file(QStringLiteral("in.lsp")));
    QCOMPARE(f.fileRow(3), (QStringList{QStringLiteral("12"), QStringLiteral("00300"),
                                        QStringLiteral("/snd/with space.wav")}));
    f.prompter.answers = {temp.file(QStringLiteral("out.lsp"))};
    FileList(f.context).saveListAs();
    QCOMPARE(temp.read(QStringLiteral("out.lsp")), threeLines);
}

void TestFileList::loadFillsRowsNumbersThemAndEnablesCommands_data() {
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("lastFile");
    QByteArray five;
    for (int k = 1; k <= 5; ++k)
        five += "not used;not used;/s/f" + QByteArray::number(k) + ".wav;\r\n";
    QTest::newRow("five lines") << five << 125 << "/s/f5.wav";
    QTest::newRow("LF alone, last line unended")
        << QByteArray("1;2;/a.wav;\n3;4;/b.wav;") << 122 << "/b.wav";
    QTest::newRow("text after the third field")
        << QByteArray("1;2;/a.wav;extra;\r\n") << 121 << "/a.wav";
    QTest::newRow("empty file") << QByteArray() << 120 << "";
}

void TestFileList::loadFillsRowsNumbersThemAndEnablesCommands() {
    QFETCH(QByteArray, contents);
    QFETCH(int, rows);
    QFETCH(QString, lastFile);
    TempFolder temp;
    const QString name = temp.file(QStringLiteral("list.lsp"));
    temp.write(QStringLiteral("list.lsp"), contents);
    TablesFixture f;
    f.fillFiles({{QStringLiteral("00001"), notUsed, QStringLiteral("old.wav")}});
    f.fileGrid.setRowCount(400);
    loadInto(f, name);
    QCOMPARE(f.fileGrid.RowCount(), rows);
    if (rows > 120)
        QCOMPARE(f.fileGrid.cell(FileColumn::File, rows - 120), lastFile);
    QCOMPARE(f.fileGrid.cell(FileColumn::File, rows - 119), QString());
    for (int row = 1; row < rows; ++row)
        QCOMPARE(f.fileGrid.cell(FileColumn::Number, row), QString::number(row));
    QCOMPARE(f.captions, QStringList{QStringLiteral("VOKAR SD Programmer, ") + name});
    QCOMPARE(f.listFileName, name);
    QCOMPARE(f.enabled("SaveList"), rows > 120);
    QCOMPARE(f.filesScrolledToTop, 1);
    QCOMPARE(f.soundFilesShown, 1);
    QVERIFY(f.prompter.messages.isEmpty());
    const FileDialog shown = f.prompter.shown.constFirst();
    QCOMPARE(shown.filter, QStringLiteral("File list (*.lsp)|*.lsp"));
    QCOMPARE(shown.fileName, QString());
}

void TestFileList::malformedLineKeepsEarlierEntries_data() {
    QTest::addColumn<QByteArray>("bad");
    QTest::newRow("two separators") << QByteArray("1;2;/c.wav\r\n");
    QTest::newRow("empty line") << QByteArray("\r\n");
    QTest::newRow("too long even for long paths")
        << QByteArray("1;2;/" + QByteArray(ListFileReader::MaxLineLength, 'x') + ";\r\n");
}

void TestFileList::malformedLineKeepsEarlierEntries() {
    QFETCH(QByteArray, bad);
    TempFolder temp;
    const QString name = temp.file(QStringLiteral("bad.lsp"));
    temp.write(QStringLiteral("bad.lsp"),
               "1;2;/a.wav;\r\n3;4;/b.wav;\r\n" + bad + "5;6;/d.wav;\r\n");
    TablesFixture f;
    f.captions.clear();
    loadInto(f, name);
    QCOMPARE(f.prompter.messages, QStringList{QStringLiteral("Bad file format")});
    QCOMPARE(f.fileGrid.cell(FileColumn::File, 1), QStringLiteral("/a.wav"));
    QCOMPARE(f.fileGrid.cell(FileColumn::File, 2), QStringLiteral("/b.wav"));
    QCOMPARE(f.fileGrid.cell(FileColumn::File, 3), QString());
    QCOMPARE(f.fileGrid.RowCount(), 122);
    QCOMPARE(f.fileGrid.cell(FileColumn::Number, 121), QString()); // the rows are not renumbered
    QVERIFY(f.captions.isEmpty());
    QCOMPARE(f.listFileName, name);
    QVERIFY(f.enabled("SaveList"));
}

void TestFileList::nonIntegerAddressesBecomeNotUsed() {
    TempFolder temp;
    temp.write(QStringLiteral("l.lsp"), "12;abc;/a.wav;\r\nx1;;/b.wav;\r\n");
    TablesFixture f;
    loadInto(f, temp.file(QStringLiteral("l.lsp")));
    QCOMPARE(f.fileRow(1), (QStringList{QStringLiteral("12"), notUsed, QStringLiteral("/a.wav")}));
    QCOMPARE(f.fileRow(2), (QStringList{notUsed, QString(), QStringLiteral("/b.wav")}));
    QVERIFY(f.prompter.messages.isEmpty());
}

void TestFileList::missingFileLoadsAsEmptyTableWithoutMessage() {
    TempFolder temp;
    TablesFixture f;
    f.fillFiles({{notUsed, notUsed, QStringLiteral("old.wav")}});
    const QString name = temp.file(QStringLiteral("nothere.lsp"));
    loadInto(f, name);
    QCOMPARE(f.fileGrid.RowCount(), 120);
    QCOMPARE(f.fileGrid.cell(FileColumn::File, 1), QString());
    QCOMPARE(f.captions, QStringList{QStringLiteral("VOKAR SD Programmer, ") + name});
    QCOMPARE(f.listFileName, name);
    QVERIFY(f.prompter.messages.isEmpty());
    QCOMPARE(f.folders.ListFolder, temp.path());
}

void TestFileList::cancelledLoadStillChecksAddressCells() {
    TablesFixture f;
    f.fillFiles({{QStringLiteral("x7"), QStringLiteral("00009"), QStringLiteral("a.wav")},
                 {QStringLiteral("00003"), QStringLiteral("?"), QStringLiteral("b.wav")}});
    f.listFileName = QStringLiteral("/l/keep.lsp");
    f.commands.setEnabled({Control::SaveFileListItem}, false);
    FileList(f.context).openTable();
    QCOMPARE(f.fileRow(1),
             (QStringList{notUsed, QStringLiteral("00009"), QStringLiteral("a.wav")}));
    QCOMPARE(f.fileRow(2),
             (QStringList{QStringLiteral("00003"), notUsed, QStringLiteral("b.wav")}));
    QCOMPARE(f.listFileName, QStringLiteral("/l/keep.lsp"));
    QVERIFY(f.captions.isEmpty());
    QVERIFY(f.enabled("SaveList"));
    QCOMPARE(f.filesScrolledToTop, 1);
}

void TestFileList::longPathLinesLoadInFull() {
    TempFolder temp;
    const QByteArray path = "/" + QByteArray(4095, 'p');
    temp.write(QStringLiteral("long.lsp"), "1;2;" + path + ";\r\n3;4;/b.wav;\r\n");
    TablesFixture f;
    loadInto(f, temp.file(QStringLiteral("long.lsp")));
    QCOMPARE(f.fileGrid.cell(FileColumn::File, 1), QString::fromLatin1(path));
    QCOMPARE(f.fileGrid.cell(FileColumn::File, 2), QStringLiteral("/b.wav"));
    QVERIFY(f.prompter.messages.isEmpty());
}

void TestFileList::saveAfterLoadWritesWithoutDialog() {
    TempFolder temp;
    const QString name = temp.file(QStringLiteral("l.lsp"));
    temp.write(QStringLiteral("l.lsp"), threeLines);
    TablesFixture f;
    loadInto(f, name);
    f.captions.clear();
    f.fileGrid.setCell(FileColumn::Start, 1, QStringLiteral("00099"));
    const int dialogs = f.prompter.shown.size();
    FileList(f.context).saveList();
    QCOMPARE(f.prompter.shown.size(), dialogs);
    QVERIFY(temp.read(QStringLiteral("l.lsp")).startsWith("00099;not used;/snd/bell.wav;\r\n"));
    QVERIFY(f.captions.isEmpty());
    QCOMPARE(f.save.defaultExt, QStringLiteral("lsp"));
    QCOMPARE(f.save.filter, QStringLiteral("File list (*.lsp)|*.lsp"));
}

void TestFileList::firstSaveAsksAndAddsDefaultExtension() {
    TempFolder temp;
    TablesFixture f;
    f.folders.ListFolder = QStringLiteral("/lists");
    f.fillFiles({{QStringLiteral("00001"), notUsed, QStringLiteral("/a.wav")}});
    f.prompter.answers = {temp.file(QStringLiteral("named"))};
    FileList(f.context).saveList();
    const QString name = temp.file(QStringLiteral("named.lsp"));
    QCOMPARE(temp.read(QStringLiteral("named.lsp")), QByteArray("00001;not used;/a.wav;\r\n"));
    QCOMPARE(f.listFileName, name);
    QCOMPARE(f.captions, QStringList{QStringLiteral("VOKAR ISD Programmer, ") + name});
    QCOMPARE(f.prompter.shown.constFirst().initialDir, QStringLiteral("/lists"));
    QCOMPARE(f.folders.ListFolder, QStringLiteral("/lists"));
}

void TestFileList::saveAsTakesTheNewNameForLaterSaves() {
    TempFolder temp;
    TablesFixture f;
    f.fillFiles({{QStringLiteral("00001"), notUsed, QStringLiteral("/a.wav")}});
    f.listFileName = temp.file(QStringLiteral("old.lsp"));
    f.prompter.answers = {temp.file(QStringLiteral("new.lsp"))};
    FileList list(f.context);
    list.saveListAs();
    const QString name = temp.file(QStringLiteral("new.lsp"));
    QCOMPARE(f.captions, QStringList{QStringLiteral("ISD Programmer, ") + name});
    QCOMPARE(f.listFileName, name);
    QCOMPARE(f.folders.ListFolder, temp.path() + u'/');
    QVERIFY(!QFile::exists(temp.file(QStringLiteral("old.lsp"))));
    f.fileGrid.setCell(FileColumn::Start, 1, QStringLiteral("00002"));
    list.saveList();
    QCOMPARE(temp.read(QStringLiteral("new.lsp")), QByteArray("00002;not used;/a.wav;\r\n"));
    QCOMPARE(f.prompter.shown.size(), 1);
}

void TestFileList::emptyTableSavesNothingAndShowsNoDialog() {
    TablesFixture f;
    f.fileGrid.setCell(FileColumn::File, 1, QStringLiteral("/a.wav")); // a file, but no start text
    FileList list(f.context);
    list.saveList();
    list.saveListAs();
    QVERIFY(f.prompter.shown.isEmpty());
    QVERIFY(f.captions.isEmpty());
}

void TestFileList::writingStopsAtFirstRowWithoutStopText() {
    TempFolder temp;
    TablesFixture f;
    f.fillFiles({{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("/a.wav")},
                 {QStringLiteral("3"), QString(), QStringLiteral("/b.wav")},
                 {QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("/c.wav")}});
    QVERIFY(FileList(f.context).WriteFileList(temp.file(QStringLiteral("w.lsp"))));
    QCOMPARE(temp.read(QStringLiteral("w.lsp")), QByteArray("1;2;/a.wav;\r\n"));
}

void TestFileList::failedSaveIsReportedAndChangesNothing_data() {
    QTest::addColumn<QString>("target"); // relative to the scratch folder, or absolute
    QTest::addColumn<bool>("viaDialog");
    QTest::newRow("folder missing, save as") << "missing/x.lsp" << true;
    QTest::newRow("folder missing, save") << "missing/x.lsp" << false;
    QTest::newRow("folder is a file") << "plain.txt/x.lsp" << true;
    QTest::newRow("target is a folder") << "sub" << true;
#ifdef Q_OS_LINUX
    QTest::newRow("disk full") << "/dev/full" << false;
#endif
}

void TestFileList::failedSaveIsReportedAndChangesNothing() {
    QFETCH(QString, target);
    QFETCH(bool, viaDialog);
    TempFolder temp;
    temp.write(QStringLiteral("plain.txt"), "x");
    QDir(temp.path()).mkdir(QStringLiteral("sub"));
    const QString name = target.startsWith(u'/') ? target : temp.file(target);
    TablesFixture f;
    f.fillFiles({{QStringLiteral("00001"), notUsed, QStringLiteral("/a.wav")}});
    FileList list(f.context);
    if (viaDialog) {
        f.prompter.answers = {name, name};
        list.saveList();
        list.saveListAs();
        QCOMPARE(f.prompter.messages.size(), 2);
        QCOMPARE(f.listFileName, QString());
    } else {
        f.listFileName = name;
        list.saveList();
        QCOMPARE(f.prompter.messages.size(), 1);
        QCOMPARE(f.listFileName, name);
    }
    for (const QString& message : f.prompter.messages)
        QVERIFY2(message.contains(QDir::toNativeSeparators(name)), qPrintable(message));
    QVERIFY(f.captions.isEmpty());
    QCOMPARE(temp.read(QStringLiteral("plain.txt")), QByteArray("x"));
}

void TestFileList::failedSaveKeepsPreviousFile() {
#ifdef Q_OS_LINUX
    // A file size limit makes every write past it fail, as a full disk does,
    // whatever rights the tests run with.
    TempFolder temp;
    const QByteArray previous = "00001;not used;/old.wav;\r\n";
    temp.write(QStringLiteral("keep.lsp"), previous);
    TablesFixture f;
    f.fillFiles(QList<QStringList>(
        200, {QStringLiteral("00001"), notUsed, QStringLiteral("/a/long/path/name.wav")}));
    f.listFileName = temp.file(QStringLiteral("keep.lsp"));
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 1024;
    setrlimit(RLIMIT_FSIZE, &small);
    FileList(f.context).saveList();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    QCOMPARE(f.prompter.messages.size(), 1);
    QCOMPARE(temp.read(QStringLiteral("keep.lsp")), previous);
    QCOMPARE(QDir(temp.path()).entryList(QDir::Files),
             (QStringList{QStringLiteral("keep.lsp")})); // no half-written file left behind
#else
    QSKIP("needs a file size limit");
#endif
}

QTEST_MAIN(TestFileList)
#include "tst_filelist.moc"
