#pragma once

#include <functional>

class Prompter;

// Runs one command handler. A failure raised inside it is shown in the
// standard error box and the program carries on; nothing crosses the event
// loop.
void runGuarded(Prompter& prompter, const std::function<void()>& handler);
