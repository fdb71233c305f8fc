#include "report.h"

#include "chips/chipcatalogue.h"
#include "core/stringgrid.h"
#include "core/tablelayout.h"
#include "files/addresstext.h"
#include "files/outputdevices.h"
#include "link/portresolver.h"
#include "link/serialdevices.h"
#include "programmerlane.h"

#include <QFileInfo>
#include <QJsonValue>

namespace {

QJsonValue number(const QString& cell) {
    const std::optional<int> value = AddressText::toInteger(cell);
    return value ? QJsonValue(*value) : QJsonValue();
}

const char* outcomeName(RecordVerifier::Outcome outcome) {
    switch (outcome) {
    case RecordVerifier::Outcome::Match:
        return "match";
    case RecordVerifier::Outcome::Missing:
        return "missing";
    case RecordVerifier::Outcome::WrongStart:
        return "wrong start";
    case RecordVerifier::Outcome::WrongLength:
        return "wrong length";
    }
    return "";
}

// The COM number each device answers to: its line in the ports file, else
// its place among the system's ports.
int comNumberOf(const QString& device, const QString& portsFile) {
    for (int number = 1; number <= 99; ++number) {
        if (PortResolver::fromPortsFile(number, portsFile) == device)
            return number;
    }
    const QStringList system = PortResolver::systemPorts();
    const qsizetype at = system.indexOf(device);
    // Numbers taken by the ports file go to their devices.
    if (at >= 0 && PortResolver::fromPortsFile(int(at) + 1, portsFile).isEmpty())
        return int(at) + 1;
    return 0;
}

} // namespace

namespace Report {

QJsonArray map(const StringGrid& grid) {
    QJsonArray records;
    for (int row = 1; row < grid.RowCount(); ++row) {
        if (grid.cell(MapColumn::Start, row).isEmpty() && grid.cell(MapColumn::Ovf, row).isEmpty())
            break;
        records.append(
            QJsonObject{{QStringLiteral("start"), number(grid.cell(MapColumn::Start, row))},
                        {QStringLiteral("eom"), number(grid.cell(MapColumn::Eom, row))},
                        {QStringLiteral("ovf"), number(grid.cell(MapColumn::Ovf, row))}});
    }
    return records;
}

QStringList mapText(const StringGrid& grid) {
    QStringList lines;
    for (int row = 1; row < grid.RowCount(); ++row) {
        const QString start = grid.cell(MapColumn::Start, row);
        const QString eom = grid.cell(MapColumn::Eom, row);
        const QString ovf = grid.cell(MapColumn::Ovf, row);
        if (start.isEmpty() && ovf.isEmpty())
            break;
        QString line = QStringLiteral("%1  ").arg(row, 3);
        if (!start.isEmpty())
            line += QStringLiteral("start %1 (%2)").arg(start, grid.cell(MapColumn::StartHex, row));
        if (!eom.isEmpty())
            line += QStringLiteral("  end of message %1 (%2)")
                        .arg(eom, grid.cell(MapColumn::EomHex, row));
        if (!ovf.isEmpty())
            line += QStringLiteral("%1overflow %2 (%3)")
                        .arg(start.isEmpty() ? QString() : QStringLiteral("  "), ovf,
                             grid.cell(MapColumn::OvfHex, row));
        lines << line;
    }
    if (lines.isEmpty())
        lines << QStringLiteral("  no messages");
    return lines;
}

QJsonObject lane(const ProgrammerLane& l, bool withMap) {
    const ProgrammerLane::Result& r = l.result();
    QJsonObject o{{QStringLiteral("port"), l.label()},
                  {QStringLiteral("device"), l.device()},
                  {QStringLiteral("chip"), l.chipName()},
                  {QStringLiteral("exitCode"), r.exitCode},
                  {QStringLiteral("result"), r.outcome},
                  {QStringLiteral("seconds"), qRound(r.seconds * 10) / 10.0},
                  {QStringLiteral("messages"), QJsonArray::fromStringList(l.messages().texts())}};
    if (!l.output().isEmpty())
        o.insert(QStringLiteral("output"), QString::fromUtf8(l.output()));
    if (!r.reason.isEmpty())
        o.insert(QStringLiteral("reason"), r.reason);
    if (r.verify) {
        QJsonArray rows;
        const StringGrid& files = l.programState().fileGrid;
        for (const RecordVerifier::RowResult& row : r.verify->rows) {
            QJsonObject item{
                {QStringLiteral("row"), row.tableRow},
                {QStringLiteral("file"), files.cell(FileColumn::File, row.tableRow)},
                {QStringLiteral("outcome"), QString::fromLatin1(outcomeName(row.outcome))},
                {QStringLiteral("expectedStart"),
                 row.expectedStart >= 0 ? QJsonValue(row.expectedStart) : QJsonValue()},
                {QStringLiteral("expectedRows"), row.expectedRows},
                {QStringLiteral("foundStart"),
                 row.foundStart >= 0 ? QJsonValue(row.foundStart) : QJsonValue()},
                {QStringLiteral("foundRows"), row.foundRows}};
            if (!row.text.isEmpty())
                item.insert(QStringLiteral("text"), row.text);
            rows.append(item);
        }
        o.insert(QStringLiteral("rows"), rows);
        o.insert(QStringLiteral("summary"), r.verify->summary);
    }
    if (withMap)
        o.insert(QStringLiteral("map"), map(l.programState().mapGrid));
    return o;
}

QStringList laneText(const ProgrammerLane& l, bool withMap) {
    const ProgrammerLane::Result& r = l.result();
    QStringList lines;
    QString head = QStringLiteral("%1: %2").arg(l.label(), r.outcome);
    if (r.verify)
        head += QStringLiteral(" \u2014 ") + r.verify->summary;
    else if (!r.reason.isEmpty())
        head += QStringLiteral(" \u2014 ") + r.reason;
    head += QStringLiteral(" (%1 s)").arg(r.seconds, 0, 'f', 1);
    lines << head;
    if (withMap && r.exitCode == 0)
        lines << mapText(l.programState().mapGrid);
    return lines;
}

QJsonArray chips() {
    QJsonArray list;
    for (int index = 1; index <= ChipCatalogue::Count; ++index) {
        const ChipInfo* c = ChipCatalogue::find(index);
        list.append(QJsonObject{{QStringLiteral("number"), index},
                                {QStringLiteral("name"), QString::fromLatin1(c->name)},
                                {QStringLiteral("time"), QString::fromLatin1(c->timeText)},
                                {QStringLiteral("seconds"), double(c->totalSeconds)},
                                {QStringLiteral("lastAddress"), int(c->lastAddress)}});
    }
    return list;
}

QStringList chipsText() {
    QStringList lines;
    for (int index = 1; index <= ChipCatalogue::Count; ++index) {
        const ChipInfo* c = ChipCatalogue::find(index);
        lines << QStringLiteral("%1  %2  %3  rows 0-%4")
                     .arg(index, 2)
                     .arg(QString::fromLatin1(c->name), -20)
                     .arg(QString::fromLatin1(c->timeText), -14)
                     .arg(c->lastAddress);
    }
    return lines;
}

QJsonArray ports(const QString& portsFile) {
    QJsonArray list;
    for (const SerialDevice& device : SerialDevices::present(portsFile)) {
        const int com = comNumberOf(device.path, portsFile);
        list.append(QJsonObject{
            {QStringLiteral("port"), com > 0 ? QStringLiteral("COM%1").arg(com) : QString()},
            {QStringLiteral("device"), device.path},
            {QStringLiteral("description"), device.description}});
    }
    return list;
}

QStringList portsText(const QString& portsFile) {
    QStringList lines;
    for (const SerialDevice& device : SerialDevices::present(portsFile)) {
        const int com = comNumberOf(device.path, portsFile);
        lines << QStringLiteral("%1  %2")
                     .arg(com > 0 ? QStringLiteral("COM%1").arg(com) : QStringLiteral("-"), -6)
                     .arg(device.label());
    }
    if (lines.isEmpty())
        lines << QStringLiteral("No serial devices found.");
    return lines;
}

QJsonArray outputs() {
    QJsonArray list;
    const QByteArray chosen = OutputDevices::savedChoice();
    for (const OutputDevices::Output& o : OutputDevices::list())
        list.append(QJsonObject{{QStringLiteral("id"), QString::fromUtf8(o.id)},
                                {QStringLiteral("description"), o.description},
                                {QStringLiteral("default"), o.isDefault},
                                {QStringLiteral("chosen"), !chosen.isEmpty() && o.id == chosen}});
    return list;
}

QStringList outputsText() {
    QStringList lines;
    const QByteArray chosen = OutputDevices::savedChoice();
    for (const OutputDevices::Output& o : OutputDevices::list()) {
        QString line = QString::fromUtf8(o.id);
        if (!o.description.isEmpty())
            line += QStringLiteral("  ") + o.description;
        if (o.isDefault)
            line += QStringLiteral("  [default]");
        if (!chosen.isEmpty() && o.id == chosen)
            line += QStringLiteral("  [chosen in the window]");
        lines << line;
    }
    if (lines.isEmpty())
        lines << QStringLiteral("No sound outputs found.");
    return lines;
}

} // namespace Report
