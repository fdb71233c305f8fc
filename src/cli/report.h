#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>

class ProgrammerLane;
class StringGrid;

// What the command-line program tells at the end: lines for people on
// standard output, or with --json one object for scripts.
namespace Report {

// A programmer's result: port, device, output, chip, exit code, outcome,
// reason, seconds, messages, and the verify rows or the map when it has them.
QJsonObject lane(const ProgrammerLane& lane, bool withMap);
// The same for people: a line, and the rows that differ or the map's lines.
QStringList laneText(const ProgrammerLane& lane, bool withMap);

// The memory map's records, from row 1 to the first row without a start or
// an overflow address.
QJsonArray map(const StringGrid& mapGrid);
QStringList mapText(const StringGrid& mapGrid);

// chips, ports, outputs.
QJsonArray chips();
QStringList chipsText();
QJsonArray ports(const QString& portsFile);
QStringList portsText(const QString& portsFile);
QJsonArray outputs();
QStringList outputsText();

} // namespace Report
