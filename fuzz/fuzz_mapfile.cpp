// A memory map (".mpp") as the user loads it: any bytes in the file. The map
// it gives is played as a table and saved again; a map saved by the program
// must load back to the same map, so saving what was saved gives the same
// bytes.

#include "fuzzprogram.h"

#include <QFile>
#include <cstddef>
#include <cstdint>

namespace {

void load(FuzzProgram& p, const QString& name) {
    p.prompter.answers = {name};
    p.run("SpeedButton3");
}

void save(FuzzProgram& p, const QString& name) {
    QFile::remove(name);
    p.prompter.answers = {name};
    p.state().handlers.run(Handler::SaveMemoryMap);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Fuzz::startApplication();
    static FuzzProgram p(Fuzz::settings(1));
    const QString input = Fuzz::folder() + QStringLiteral("/input.mpp");
    const QString first = Fuzz::folder() + QStringLiteral("/first.mpp");
    const QString second = Fuzz::folder() + QStringLiteral("/second.mpp");
    Fuzz::writeInput(input, data, size);
    load(p, input);
    // The map's addresses go to the programmer; its rows are chosen.
    p.run("Playtable1");
    p.stop();
    p.state().handlers.run(Handler::MapRowClicked);
    // What the earlier inputs left behind would only grow.
    p.forgetOutput();

    save(p, first);
    if (!QFile::exists(first))
        return 0; // nothing to save
    load(p, first);
    save(p, second);
    if (Fuzz::readFile(first) != Fuzz::readFile(second))
        Fuzz::fail("a saved memory map does not load back to the same map");
    return 0;
}
