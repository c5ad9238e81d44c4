// Reading the saver's command line: the program name to skip, the switch
// letter that picks the mode, and the window number that may follow it.
// Pure text handling, shared by the platform entry points.
#pragma once

#include <cstdint>

enum SaverSwitch : int32_t {
  SWITCH_CONFIG_NO_OWNER,  // nothing: settings dialog without owner
  SWITCH_SAVER,            // S: full screen
  SWITCH_CONFIG,           // C: settings dialog owned by the foreground window
  SWITCH_PREVIEW,          // P or L, then a window number
  SWITCH_PASSWORD,         // A, then an optional window number
  SWITCH_INVALID,          // anything else
};

// The rest of a raw command line after the program name (quoted or not)
// and the bytes 0x01..0x20 that follow it.
const char* SkipProgramName(const char* line);

// The mode named by the first byte that isn't " ", "-" or "/". For P, L and
// A, *argument is set past the letter and any blanks after it; otherwise
// it is left alone.
SaverSwitch ParseSaverSwitch(const char* tail, const char** argument);

// Decimal digits from the start of text, value * 10 + digit in 32 bits that
// wrap unchecked, up to the first other byte; 0 when text starts otherwise.
uint32_t ParseWindowHandle(const char* text);
