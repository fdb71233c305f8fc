#include "commandframe.h"
