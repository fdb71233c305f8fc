#include "customcomport.h"

TCustomComPort::~TCustomComPort() = default;
