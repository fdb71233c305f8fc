#pragma once

#include "core/prompter.h"

// The questions the window asks before something that cannot be undone.
namespace Questions {

// Before the file table is replaced or dropped while it holds changes that
// no list file has: Save / Discard / Cancel. `listFileName` the list it
// belongs to, empty for none.
Prompter::Question unsavedChanges(const QString& listFileName);
enum UnsavedAnswer { Save, Discard, Cancel };

// Before Erase: Erase / Cancel; Cancel is the default.
Prompter::Question erase();
enum EraseAnswer { Erase, KeepChip };

} // namespace Questions
