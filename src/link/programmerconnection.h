#pragma once

#include <QString>

class ComPort;
class Prompter;

// Chip commands need an open port: on a closed one the frame is lost, and
// the operation would wait for a reply that cannot come.
namespace ProgrammerConnection {

// What the user is told when a chip command finds no port open.
QString notConnectedText();
// True when the port is open; otherwise tells the user how to connect.
bool required(const ComPort& port, Prompter& prompter);

} // namespace ProgrammerConnection
