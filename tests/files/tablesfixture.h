#pragma once

#include "fakecomport.h"
#include "fakeprompter.h"

#include "chips/chipcontrol.h"
#include "core/addressinput.h"
#include "core/availability.h"
#include "core/commands.h"
#include "core/filedialog.h"
#include "core/folders.h"
#include "core/paneltexts.h"
#include "core/stringgrid.h"
#include "core/tablelayout.h"
#include "files/tablescontext.h"
#include "link/commandframe.h"

#include <QStringList>

// Answers the address dialog from a script: a text to confirm, or an empty
// string to cancel.
class ScriptedAddressInput : public AddressInput {
public:
    bool Execute() override {
        ++shown;
        if (answers.isEmpty())
            return false;
        current = answers.takeFirst();
        return !current.isEmpty();
    }
    QString addressText() const override { return current; }

    QStringList answers;
    QString current;
    int shown = 0;
};

// The window state the table commands work on, as the window starts up:
// headers written, rows numbered, start set of commands applied.
struct TablesFixture {
    TablesFixture() {
        TableLayout::setUp(fileGrid, TableLayout::fileHeaders());
        TableLayout::setUp(mapGrid, TableLayout::mapHeaders());
        availability.applyStartState();
        open.kind = FileDialog::Kind::Open;
        save.kind = FileDialog::Kind::Save;
    }

    // Rows 1 .. n get start, stop and file texts "s<k>", "e<k>", "f<k>"
    // unless given.
    void fillFiles(const QList<QStringList>& rows) {
        for (int k = 0; k < rows.size(); ++k) {
            fileGrid.setRowCount(fileGrid.RowCount() + 1);
            for (int col = 1; col <= 3; ++col)
                fileGrid.setCell(col, k + 1, rows[k].value(col - 1));
        }
        fileGrid.NumberRows();
    }
    void fillMap(const QList<QStringList>& rows) {
        for (int k = 0; k < rows.size(); ++k) {
            mapGrid.setRowCount(mapGrid.RowCount() + 1);
            for (int col = 1; col <= 6; ++col)
                mapGrid.setCell(col, k + 1, rows[k].value(col - 1));
        }
        mapGrid.NumberRows();
    }
    QStringList fileRow(int row) const {
        return {fileGrid.cell(FileColumn::Start, row), fileGrid.cell(FileColumn::Stop, row),
                fileGrid.cell(FileColumn::File, row)};
    }
    bool enabled(const char* name) const { return commands.isEnabled(QString::fromLatin1(name)); }

    StringGrid fileGrid{FileColumn::Count, TableLayout::StartRows};
    StringGrid mapGrid{MapColumn::Count, TableLayout::StartRows};
    PanelTexts panel;
    FakeComPort port;
    CommandFrame frame;
    ChipControl chip{panel, frame, port};
    Commands commands;
    CommandAvailability availability{commands, fileGrid, mapGrid};
    FakePrompter prompter;
    FileDialog open;
    FileDialog save;
    RememberedFolders folders;
    int soundFileType = 1;
    QString listFileName;
    ScriptedAddressInput address;
    QStringList captions;
    int soundFilesShown = 0;
    int filesScrolledToTop = 0;
    int mapScrolledToTop = 0;
    QList<std::pair<TablesContext::Table, QString>> kept;

    TablesContext context{fileGrid,
                          mapGrid,
                          panel,
                          chip,
                          availability,
                          prompter,
                          open,
                          save,
                          folders,
                          soundFileType,
                          listFileName,
                          address,
                          [this](const QString& text) { captions.append(text); },
                          [this] { ++soundFilesShown; },
                          [this] { ++filesScrolledToTop; },
                          [this] { ++mapScrolledToTop; },
                          [this](TablesContext::Table table, const QString& file) {
                              kept.append({table, file});
                          }};
};
