// The settings file: any bytes in it when the program starts. The program
// must start on it (falling back to defaults for what it cannot use), and
// the settings it then writes must read back as written.

#include "core/configfile.h"
#include "fuzzprogram.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Fuzz::startApplication();
    FuzzProgram p(QByteArray(reinterpret_cast<const char*>(data), int(size)));
    // The port dialog and the chip type dialog read it as well.
    p.run("SpeedButton8");
    p.stop();

    const QStringList lines = p.w().configLines();
    const QString copy = Fuzz::folder() + QStringLiteral("/copy.fig");
    if (!ConfigFile::writeLines(lines, copy))
        Fuzz::fail("cannot write the settings copy");
    const std::optional<QStringList> back = ConfigFile::readLines(int(lines.size()) + 1, copy);
    if (!back || *back != lines)
        Fuzz::fail("the settings written do not read back as written");
    return 0;
}
