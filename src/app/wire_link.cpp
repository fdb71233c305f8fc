#include "formularz.h"
#include "wiring.h"

void wireLink(TFormularz&) {}
