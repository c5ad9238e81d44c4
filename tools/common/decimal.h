// Command-line number reading shared by the tools.
#pragma once

#include <cstdint>

// Reads a whole decimal number in [0, max]; nothing else is accepted.
bool ParseDecimal(const char* text, uint64_t max, uint64_t* value);
