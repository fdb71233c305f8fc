#include "comport.h"

ComPort::~ComPort() = default;
