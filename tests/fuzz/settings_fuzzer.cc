// libFuzzer target: any bytes as the settings file. Reading never fails
// worse than "absent"; a file rewritten with our values always gives them
// back, whatever else it holds, and other keys' values as they were; text
// survives UTF-16 and back.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "settings/reg_file.h"
#include "settings/store.h"

namespace {
const char kKey[] = "Software\\Orvendel\\QuarloScreenSaver";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const RegDocument doc = ReadRegDocument(bytes);
  HasRegKey(doc, kKey);
  RegValue found;
  for (const char* name : {"Surface", "Explode", "Displacement", "Texture"}) {
    FindRegValue(doc, kKey, name, &found);
  }
  // The Texture holds the input's first bytes, whatever they are.
  const std::string path = bytes.substr(0, bytes.size() < 40 ? bytes.size() : 40);
  const std::string texture = path.substr(0, path.find('\0')) + '\0';
  const std::vector<RegValue> values = {{"Surface", kValueDword, std::string("\1\0\0\0", 4)},
                                        {"Texture", kValueString, texture}};
  const RegDocument written = ReadRegDocument(ComposeRegDocument(doc, kKey, values));
  if (!written.valid || !HasRegKey(written, kKey)) std::abort();
  for (const RegValue& value : values) {
    if (!FindRegValue(written, kKey, value.name.c_str(), &found) || found.data != value.data) {
      std::abort();
    }
  }
  // Other keys (those of the seeds, and one below ours) read as before.
  for (const char* key : {"Software\\Other", "Software\\Old", "Software\\Orvendel\\QuarloScreenSaver\\Sub"}) {
    for (const char* name : {"Texture", "Surface", "V", "Keep"}) {
      RegValue before, after;
      const bool was = FindRegValue(doc, key, name, &before), is = FindRegValue(written, key, name, &after);
      if (was != is || (was && (before.type != after.type || before.data != after.data))) std::abort();
    }
  }
  if (Utf16ToUtf8(Utf8ToUtf16(bytes)) != bytes) std::abort();
  return 0;
}
