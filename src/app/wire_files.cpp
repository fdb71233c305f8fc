#include "formularz.h"
#include "wiring.h"

void wireFileTables(TFormularz&) {}
