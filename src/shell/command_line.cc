#include "shell/command_line.h"

namespace {
bool AboveBlank(char c) { return static_cast<unsigned char>(c) > 0x20; }
}  // namespace

const char* SkipProgramName(const char* p) {
  if (*p == '"') {
    ++p;
    while (*p && *p != '"') ++p;
    if (*p == '"') ++p;
  } else {
    while (AboveBlank(*p)) ++p;
  }
  while (*p && !AboveBlank(*p)) ++p;
  return p;
}

SaverSwitch ParseSaverSwitch(const char* p, const char** argument) {
  while (*p == ' ' || *p == '-' || *p == '/') ++p;
  switch (*p) {
    case '\0': return SWITCH_CONFIG_NO_OWNER;
    case 'S': case 's': return SWITCH_SAVER;
    case 'C': case 'c': return SWITCH_CONFIG;
    case 'P': case 'p': case 'L': case 'l':
    case 'A': case 'a': {
      const SaverSwitch which = (*p == 'A' || *p == 'a') ? SWITCH_PASSWORD : SWITCH_PREVIEW;
      ++p;
      while (*p == ' ') ++p;
      *argument = p;
      return which;
    }
    default: return SWITCH_INVALID;
  }
}

uint32_t ParseWindowHandle(const char* text) {
  uint32_t value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) value = value * 10 + static_cast<uint32_t>(*text - '0');
  return value;
}
