// The ports file ("isdvokar.ports") as the port dialog reads it: any bytes.
// Read from disk in pieces it must say what the bytes say read whole, and
// every number it names is a port number. The same bytes taken as 8-bit text
// of a list must come back byte for byte.

#include "core/localtext.h"
#include "link/portsfile.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "fuzz_portsfile: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir folder;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString name = folder.filePath(QStringLiteral("isdvokar.ports"));
    {
        QFile file(name);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            fail("cannot write the input");
    }
    const PortsFile read = PortsFile::read(name);
    const PortsFile parsed = PortsFile::parse(bytes);
    if (read.entries() != parsed.entries())
        fail("the file read in pieces differs from its bytes read whole");
    for (auto entry = read.entries().cbegin(); entry != read.entries().cend(); ++entry) {
        if (entry.key() < 1 || read.deviceFor(entry.key()) != entry.value())
            fail("a line names no port number");
    }
    if (LocalText::encode(LocalText::decode(bytes)) != bytes)
        fail("8-bit text does not come back byte for byte");
    return 0;
}
