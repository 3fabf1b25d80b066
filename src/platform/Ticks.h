#pragma once

#include <cstdint>

// Milliseconds since the system started, wrapping at 2^32.
uint32_t GetTickCount();
