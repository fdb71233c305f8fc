// A file list (".lsp") as the user loads it: any bytes in the file. The
// table it gives is checked and shown, recorded from, and saved again; a list
// saved by the program must load back to the same table, so saving what was
// saved gives the same bytes.

#include "fuzzprogram.h"

#include <QFile>
#include <cstddef>
#include <cstdint>

namespace {

void load(FuzzProgram& p, const QString& name) {
    p.prompter.answers = {name};
    p.run("SpeedButton4");
}

void saveAs(FuzzProgram& p, const QString& name) {
    QFile::remove(name);
    p.prompter.answers = {name};
    p.run("SaveList");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Fuzz::startApplication();
    static FuzzProgram p(Fuzz::settings(1));
    const QString input = Fuzz::folder() + QStringLiteral("/input.lsp");
    const QString first = Fuzz::folder() + QStringLiteral("/first.lsp");
    const QString second = Fuzz::folder() + QStringLiteral("/second.lsp");
    Fuzz::writeInput(input, data, size);
    load(p, input);
    // The addresses of the table go to the programmer.
    p.run("RecTable");
    p.stop();
    // What the earlier inputs left behind would only grow.
    p.forgetOutput();

    saveAs(p, first);
    if (!QFile::exists(first))
        return 0; // nothing to save
    load(p, first);
    saveAs(p, second);
    if (Fuzz::readFile(first) != Fuzz::readFile(second))
        Fuzz::fail("a saved file list does not load back to the same table");
    return 0;
}
