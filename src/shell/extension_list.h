// Whether an extension string (names between single spaces, as GLX and EGL
// give them) lists a name whole, not as a prefix of another.
#pragma once

#include <cstring>

inline bool ExtensionListed(const char* all, const char* name) {
  const size_t length = std::strlen(name);
  for (const char* at = all; at && (at = std::strstr(at, name)) != nullptr; at += length) {
    if ((at == all || at[-1] == ' ') && (at[length] == ' ' || at[length] == '\0')) return true;
  }
  return false;
}
