#include "tablesfixture.h"
#include "tempfolder.h"
#include "unprivileged.h"

#include "files/filelist.h"
#include "files/listfilereader.h"

#include <QtTest>
#include <optional>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
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

// A list whose fifth CR LF falls across the list reader's 64 KiB reads:
// its CR is the last byte of the first read. Six entries, the last "/z.wav".
QByteArray crLfAcrossReads() {
    QByteArray bytes;
    const auto line = [&bytes](qsizetype length) {
        const QByteArray fixed = "1;2;/.wav;";
        bytes += fixed.left(5) + QByteArray(length - fixed.size(), 'a') + fixed.mid(5) + "\r\n";
    };
    for (int k = 0; k < 4; ++k)
        line(16000);
    line(65535 - bytes.size());
    bytes += "3;4;/z.wav;\r\n";
    return bytes;
}

struct stat statOf(const QString& name) {
    struct stat info = {};
    ::stat(QFile::encodeName(name).constData(), &info);
    return info;
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
    void failedLoadForgetsTheListSoSaveAsks();
    void nonIntegerAddressesBecomeNotUsed();
    void unopenableListKeepsTheTable_data();
    void unopenableListKeepsTheTable();
    void namesKeptByteForByte_data();
    void namesKeptByteForByte();
    void cancelledLoadStillChecksAddressCells();
    void longPathLinesLoadInFull();
    void saveAfterLoadWritesWithoutDialog();
    void firstSaveAsksAndAddsDefaultExtension();
    void saveAsTakesTheNewNameForLaterSaves();
    void emptyTableSavesNothingAndShowsNoDialog();
    void writingStopsAtFirstRowWithoutStopText();
    void failedSaveIsReportedAndChangesNothing_data();
    void failedSaveIsReportedAndChangesNothing();
    void failedSaveKeepsPreviousFile_data();
    void failedSaveKeepsPreviousFile();
    void saveWhereAPlainWriteWould_data();
    void saveWhereAPlainWriteWould();
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
    QTest::newRow("CR alone (old Mac editors)")
        << QByteArray("1;2;/a.wav;\r3;4;/b.wav;\r5;6;/c.wav;\r") << 123 << "/c.wav";
    QTest::newRow("CR LF, LF and CR mixed")
        << QByteArray("1;2;/a.wav;\r\n3;4;/b.wav;\n5;6;/c.wav;\r7;8;/d.wav;") << 124 << "/d.wav";
    QTest::newRow("CR LF across two reads") << crLfAcrossReads() << 126 << "/z.wav";
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
    QVERIFY(f.enabled("SaveList"));
}

// The table holds part of the file: it no longer belongs to it, so the tool
// bar's Save asks for a name instead of cutting the file short.
void TestFileList::failedLoadForgetsTheListSoSaveAsks() {
    TempFolder temp;
    const QByteArray original = "1;2;/a.wav;\r\nbroken\r\n3;4;/b.wav;\r\n";
    temp.write(QStringLiteral("bad.lsp"), original);
    TablesFixture f;
    f.listFileName = temp.file(QStringLiteral("earlier.lsp"));
    loadInto(f, temp.file(QStringLiteral("bad.lsp")));
    QCOMPARE(f.prompter.messages, QStringList{QStringLiteral("Bad file format")});
    QCOMPARE(f.listFileName, QString());
    QCOMPARE(f.captions, QStringList{QStringLiteral("ISD Programmer")});
    const int dialogs = int(f.prompter.shown.size());
    f.prompter.answers = {temp.file(QStringLiteral("part.lsp"))};
    FileList(f.context).saveList();
    QCOMPARE(f.prompter.shown.size(), dialogs + 1);
    QCOMPARE(temp.read(QStringLiteral("bad.lsp")), original);
    QCOMPARE(temp.read(QStringLiteral("part.lsp")), QByteArray("1;2;/a.wav;\r\n"));
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

void TestFileList::unopenableListKeepsTheTable_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << "missing"
                             << "No such file or directory";
    QTest::newRow("a folder") << "folder"
                              << "file to open is a directory";
    QTest::newRow("unreadable") << "unreadable"
                                << "Permission denied";
    QTest::newRow("a named pipe") << "pipe"
                                  << "not a regular file";
}

// "Cannot open <file>: <reason>", and the table, its list and the caption
// stay as they were.
void TestFileList::unopenableListKeepsTheTable() {
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    TempFolder temp;
    const QString name = temp.file(QStringLiteral("list.lsp"));
    if (kind == QLatin1String("folder")) {
        QVERIFY(QDir(temp.path()).mkdir(QStringLiteral("list.lsp")));
    } else if (kind == QLatin1String("unreadable")) {
        QString why;
        if (!Unprivileged::possible(&why))
            QSKIP(qPrintable(why));
        temp.write(QStringLiteral("list.lsp"), "1;2;/new.wav;\r\n");
        Unprivileged::own(name, temp.path());
        QVERIFY(QFile::setPermissions(name, QFileDevice::WriteOwner));
    } else if (kind == QLatin1String("pipe")) {
        QCOMPARE(::mkfifo(QFile::encodeName(name).constData(), 0600), 0);
    }
    TablesFixture f;
    f.fillFiles({{QStringLiteral("00001"), notUsed, QStringLiteral("/old.wav")}});
    f.listFileName = QStringLiteral("/l/keep.lsp");
    {
        std::optional<Unprivileged> asUser;
        if (kind == QLatin1String("unreadable"))
            asUser.emplace();
        loadInto(f, name);
    }
    QCOMPARE(f.prompter.messages,
             QStringList{QStringLiteral("Cannot open %1: %2").arg(name, reason)});
    QCOMPARE(f.fileRow(1),
             (QStringList{QStringLiteral("00001"), notUsed, QStringLiteral("/old.wav")}));
    QCOMPARE(f.fileGrid.RowCount(), 121);
    QCOMPARE(f.listFileName, QStringLiteral("/l/keep.lsp"));
    QVERIFY(f.captions.isEmpty());
    QCOMPARE(f.filesScrolledToTop, 1);
}

void TestFileList::namesKeptByteForByte_data() {
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QString>("shown");
    QTest::newRow("Latin-1") << QByteArray("/snd/caf\xe9 \xe0 la cr\xe8me.wav")
                             << QStringLiteral("/snd/caf\u00e9 \u00e0 la cr\u00e8me.wav");
    QTest::newRow("Windows code page")
        << QByteArray("C:\\Sounds\\\x93quote\x94 \x80.wav") << QString();
    QTest::newRow("UTF-8 is text")
        << QByteArray("/snd/caf\xc3\xa9.wav") << QStringLiteral("/snd/caf\u00e9.wav");
    QTest::newRow("overlong and surrogate forms")
        << QByteArray("/snd/\xc0\xaf\xed\xa0\x80\xf4\x90\x80\x80.wav") << QString();
    QTest::newRow("a sequence cut short at the end") << QByteArray("/snd/x\xe2\x82") << QString();
    // U+F3CF3 is held as D B8F DCF3, a low half in the range of kept bytes.
    QTest::newRow("beyond U+FFFF beside a kept byte")
        << QByteArray("/snd/\xf3\xb3\xb3\xb3\xb3.wav") << QString();
}

// Lists written elsewhere hold names in other encodings; they load, show and
// save back unchanged (the tests run in a C.UTF-8 locale).
void TestFileList::namesKeptByteForByte() {
    QFETCH(QByteArray, name);
    QFETCH(QString, shown);
    TempFolder temp;
    const QByteArray list = "00016;not used;" + name + ";\r\nnot used;00200;/b.wav;\r\n";
    temp.write(QStringLiteral("in.lsp"), list);
    TablesFixture f;
    loadInto(f, temp.file(QStringLiteral("in.lsp")));
    QVERIFY(f.prompter.messages.isEmpty());
    if (!shown.isEmpty())
        QCOMPARE(f.fileGrid.data(f.fileGrid.index(0, 2)).toString(), shown);
    f.prompter.answers = {temp.file(QStringLiteral("out.lsp"))};
    FileList(f.context).saveListAs();
    QCOMPARE(temp.read(QStringLiteral("out.lsp")), list);
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

void TestFileList::failedSaveKeepsPreviousFile_data() {
    QTest::addColumn<bool>("linked");
    QTest::newRow("replaced by a new file") << false;
    QTest::newRow("written in place (hard link)") << true;
}

void TestFileList::failedSaveKeepsPreviousFile() {
#ifdef Q_OS_LINUX
    QFETCH(bool, linked);
    // A file size limit makes every write past it fail, as a full disk does,
    // whatever rights the tests run with.
    TempFolder temp;
    const QByteArray previous = "00001;not used;/old.wav;\r\n";
    temp.write(QStringLiteral("keep.lsp"), previous);
    if (linked)
        QCOMPARE(::link(QFile::encodeName(temp.file(QStringLiteral("keep.lsp"))).constData(),
                        QFile::encodeName(temp.file(QStringLiteral("other.lsp"))).constData()),
                 0);
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
    // No half-written file left behind.
    QCOMPARE(QDir(temp.path()).entryList(QDir::Files).size(), linked ? 2 : 1);
#else
    QSKIP("needs a file size limit");
#endif
}

// Where a plain write of the file would have saved, so does Save; the file
// keeps its other names (hard links) and its group.
void TestFileList::saveWhereAPlainWriteWould_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("failure"); // empty: the save must succeed
    QTest::newRow("a new file") << "new" << QString();
    QTest::newRow("an old file replaced") << "plain" << QString();
    QTest::newRow("a hard link") << "linked" << QString();
    QTest::newRow("a file of another group") << "group" << QString();
    QTest::newRow("a writable file in a read-only folder") << "read-only folder" << QString();
    QTest::newRow("a read-only file in a read-only folder") << "nothing writable"
                                                            << "Permission denied";
}

void TestFileList::saveWhereAPlainWriteWould() {
#ifdef Q_OS_LINUX
    QFETCH(QString, setup);
    QFETCH(QString, failure);
    TempFolder temp;
    QDir(temp.path()).mkdir(QStringLiteral("lists"));
    const QString folder = temp.file(QStringLiteral("lists"));
    const QString name = folder + QStringLiteral("/l.lsp");
    const QByteArray previous = "00001;not used;/old.wav;\r\n";
    if (setup != QLatin1String("new"))
        temp.write(QStringLiteral("lists/l.lsp"), previous);
    gid_t group = 0;
    if (setup == QLatin1String("linked")) {
        QCOMPARE(::link(QFile::encodeName(name).constData(),
                        QFile::encodeName(folder + QStringLiteral("/other.lsp")).constData()),
                 0);
    } else if (setup == QLatin1String("group")) {
        // A group the process may give a file, other than the one a new file gets.
        gid_t groups[64];
        const int count = ::getgroups(64, groups);
        group = ::getuid() == 0 ? Unprivileged::gid() : 0;
        for (int i = 0; group == 0 && i < count; ++i) {
            if (groups[i] != ::getegid())
                group = groups[i];
        }
        if (group == 0)
            QSKIP("the user belongs to no second group to give the file");
        QCOMPARE(::chown(QFile::encodeName(name).constData(), uid_t(-1), group), 0);
    } else if (setup == QLatin1String("read-only folder") ||
               setup == QLatin1String("nothing writable")) {
        QString why;
        if (!Unprivileged::possible(&why))
            QSKIP(qPrintable(why));
        Unprivileged::own(name, temp.path());
        Unprivileged::own(folder, temp.path());
        const auto readable = QFileDevice::ReadOwner | QFileDevice::ExeOwner;
        QVERIFY(QFile::setPermissions(folder, readable));
        if (setup == QLatin1String("nothing writable"))
            QVERIFY(QFile::setPermissions(name, QFileDevice::ReadOwner));
    }
    TablesFixture f;
    f.fillFiles({{QStringLiteral("00002"), notUsed, QStringLiteral("/a/new/name.wav")}});
    f.listFileName = name;
    {
        std::optional<Unprivileged> asUser;
        if (setup.startsWith(QLatin1String("read-only")) ||
            setup.startsWith(QLatin1String("nothing")))
            asUser.emplace();
        FileList(f.context).saveList();
    }
    const QByteArray written = "00002;not used;/a/new/name.wav;\r\n";
    QFile::setPermissions(folder, QFile::permissions(folder) | QFileDevice::WriteOwner);
    if (failure.isEmpty()) {
        QCOMPARE(f.prompter.messages, QStringList());
        QCOMPARE(temp.read(QStringLiteral("lists/l.lsp")), written);
    } else {
        QCOMPARE(f.prompter.messages,
                 QStringList{QStringLiteral("Cannot save \"%1\": %2").arg(name, failure)});
        QCOMPARE(temp.read(QStringLiteral("lists/l.lsp")), previous);
    }
    if (setup == QLatin1String("linked")) {
        QCOMPARE(statOf(name).st_nlink, nlink_t(2));
        QCOMPARE(temp.read(QStringLiteral("lists/other.lsp")), written);
    }
    if (group != 0)
        QCOMPARE(statOf(name).st_gid, group);
    // Nothing half-written left beside it.
    const int names = setup == QLatin1String("linked") ? 2 : 1;
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), names);
#else
    QSKIP("needs POSIX files");
#endif
}

QTEST_MAIN(TestFileList)
#include "tst_filelist.moc"
