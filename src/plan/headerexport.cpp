#include "headerexport.h"

#include "core/stringgrid.h"
#include "core/tablelayout.h"
#include "files/addresstext.h"
#include "fitcheck.h"

#include <QSet>
#include <cmath>

HeaderExport::HeaderExport(const ChipGeometry& chip_) : chip(chip_) {}

QString HeaderExport::nameFor(const QString& fileName) {
    QString base = fileName;
    const qsizetype dot = base.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        base.truncate(dot);
    QString name = QStringLiteral("MSG_");
    for (const QChar c : base) {
        const bool plain = c.unicode() < 128 && c.isLetterOrNumber();
        name.append(plain ? c.toUpper() : QLatin1Char('_'));
    }
    return name;
}

namespace {

void makeUnique(std::vector<HeaderExport::Message>& messages) {
    QSet<QString> taken;
    for (auto& m : messages) {
        QString name = m.name;
        for (int n = 2; taken.contains(name); ++n)
            name = m.name + QStringLiteral("_%1").arg(n);
        taken.insert(name);
        m.name = name;
    }
}

} // namespace

std::vector<HeaderExport::Message>
HeaderExport::fromFiles(const std::vector<Placement>& placements) const {
    std::vector<Message> out;
    for (const Placement& p : placements) {
        if (!p.placed())
            continue;
        Message m;
        m.name = nameFor(FitCheck::fileNameOf(p.path));
        m.start = *p.start;
        m.end = p.end();
        const qint64 rowsMs = qint64(std::llround(chip.secondsOf(m.end - m.start + 1) * 1000));
        m.lengthMs = p.lengthKnown() ? std::min(*p.usecs / 1000, rowsMs) : rowsMs;
        out.push_back(m);
    }
    makeUnique(out);
    return out;
}

std::vector<HeaderExport::Message> HeaderExport::fromMap(const StringGrid& mapGrid) const {
    std::vector<Message> out;
    for (int row = 1; row < mapGrid.RowCount() && !mapGrid.cell(MapColumn::Start, row).isEmpty();
         ++row) {
        const auto start = AddressText::toInteger(mapGrid.cell(MapColumn::Start, row));
        const auto end = AddressText::toInteger(mapGrid.cell(MapColumn::Eom, row));
        if (!start || !end || *end < *start)
            continue;
        Message m;
        m.name = QStringLiteral("MSG_%1").arg(row);
        m.start = *start;
        m.end = *end;
        m.lengthMs = qint64(std::llround(chip.secondsOf(m.end - m.start + 1) * 1000));
        out.push_back(m);
    }
    makeUnique(out);
    return out;
}

QByteArray HeaderExport::header(const std::vector<Message>& messages, const QString& source) const {
    QString text;
    text +=
        QStringLiteral("/* Message addresses for the %1, from the %2.\n").arg(chip.name, source);
    text += QStringLiteral(" * Rows are the chip's row addresses (%1 ms a row); END is the last\n"
                           " * row of a message. Written by isdvokar. */\n")
                .arg(chip.rowSeconds * 1000, 0, 'f', 3);
    text += QStringLiteral("#ifndef ISD_MESSAGES_H\n#define ISD_MESSAGES_H\n\n");
    text += QStringLiteral("#define ISD_CHIP_NAME \"%1\"\n").arg(chip.name);
    text += QStringLiteral("#define ISD_MESSAGE_COUNT %1\n\n").arg(messages.size());
    for (const Message& m : messages) {
        text += QStringLiteral("#define %1_START %2u\n").arg(m.name).arg(m.start);
        text += QStringLiteral("#define %1_END %2u\n").arg(m.name).arg(m.end);
        text += QStringLiteral("#define %1_LENGTH_MS %2ul\n").arg(m.name).arg(m.lengthMs);
    }
    text += QStringLiteral("\nstruct isd_message {\n    unsigned int start;\n"
                           "    unsigned int end;\n    unsigned long length_ms;\n};\n\n");
    if (!messages.empty()) {
        // Defined in the one source file that asks for it, so that the others
        // include the addresses without an unused table.
        text += QStringLiteral("#ifdef ISD_MESSAGES_DEFINE_TABLE\n");
        text += QStringLiteral("const struct isd_message isd_messages[ISD_MESSAGE_COUNT] = {\n");
        for (const Message& m : messages)
            text += QStringLiteral("    {%1_START, %1_END, %1_LENGTH_MS},\n").arg(m.name);
        text += QStringLiteral("};\n#else\n");
        text +=
            QStringLiteral("extern const struct isd_message isd_messages[ISD_MESSAGE_COUNT];\n");
        text += QStringLiteral("#endif\n");
    }
    text += QStringLiteral("\n#endif /* ISD_MESSAGES_H */\n");
    return text.toUtf8();
}
