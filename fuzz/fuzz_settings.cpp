// The settings file: any bytes in it when the program starts. The program
// must start on it (falling back to defaults for what it cannot use), and
// the settings it then writes must read back as written.

#include "core/configfile.h"
#include "fuzzprogram.h"
#include "widgets/chiptypedialog.h"
#include "widgets/portdialog.h"

#include <QFile>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Fuzz::startApplication();
    static FuzzProgram p(Fuzz::settings(1));
    // The program's own settings file, which the main window reads again.
    const QString path = Fuzz::folder() + QStringLiteral("/isdvokar.fig");
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            Fuzz::fail("cannot write the input file");
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    // Start-up reads it in these three places, in this order.
    if (p.port.Active())
        p.port.Close();
    p.w().setUpState();
    p.w().portDialog()->loadSettings(path);
    p.w().chipTypeDialog()->loadSettings(path);
    p.run("SpeedButton8");
    p.stop();

    const QStringList lines = p.w().configLines();
    const QString copy = Fuzz::folder() + QStringLiteral("/copy.fig");
    if (!ConfigFile::writeLines(lines, copy).isEmpty())
        Fuzz::fail("cannot write the settings copy");
    const std::optional<QStringList> back = ConfigFile::readLines(int(lines.size()) + 1, copy);
    if (!back || *back != lines)
        Fuzz::fail("the settings written do not read back as written");
    return 0;
}
