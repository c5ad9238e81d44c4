#include "decimal.h"

bool ParseDecimal(const char* text, uint64_t max, uint64_t* value) {
  if (text == nullptr || *text == '\0') return false;
  uint64_t v = 0;
  for (const char* p = text; *p; ++p) {
    if (*p < '0' || *p > '9') return false;
    const uint64_t digit = static_cast<uint64_t>(*p - '0');
    if (digit > max || v > (max - digit) / 10) return false;
    v = v * 10 + digit;
  }
  *value = v;
  return true;
}
