#include "comport.h"

ComPort::~ComPort() = default;

TrafficObserver::~TrafficObserver() = default;
