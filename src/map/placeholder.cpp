// Filled in as the subsystem grows.
