// The registry's export form, as regedit writes and reads it: a header line,
// then [key] lines, each followed by its "name"=data lines. REGEDIT4 files
// are ANSI, their bytes taken as they are; "Windows Registry Editor Version
// 5.00" files are UTF-16LE with a byte-order mark and are handled here as
// UTF-8. Strings come out as the registry's A calls give them: in UTF-8 from
// a version 5 file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RegDocument {
  bool valid = false;     // starts with a header this reader knows
  bool version5 = false;  // hex(1), hex(2) and hex(7) data are UTF-16LE
  bool utf16 = false;     // the file's bytes are UTF-16LE
  std::string bom;        // the byte-order mark the file starts with, if any
  std::string text;       // the file after its mark, as UTF-8
  std::string newline = "\r\n";
};

// Takes a file's bytes apart; a file without a known header is not valid.
RegDocument ReadRegDocument(const std::string& bytes);

// Whether the key (a path under HKEY_CURRENT_USER) is in the document, not
// deleted by a later [-key] line.
bool HasRegKey(const RegDocument& doc, const char* key);

struct RegValue {
  std::string name;
  uint32_t type = 0;
  std::string data;
};
// The value as an import would leave it: the last valid line that sets it
// wins; a line that can't be read is passed over; "name"=- and [-key]
// delete. False when the value is absent.
bool FindRegValue(const RegDocument& doc, const char* key, const char* name, RegValue* value);

// The document's file bytes with the key's values named in `values` set to
// them, in its first section for the key (or a new section at the end).
// Every other line, key and value stays as it was, in the file's encoding
// and line endings. A document that isn't valid is replaced by a REGEDIT4
// file that holds only the key.
std::string ComposeRegDocument(const RegDocument& doc, const char* key,
                               const std::vector<RegValue>& values);

// UTF-16LE and UTF-8, both ways, without loss: unpaired surrogates are kept
// as three-byte sequences, and bytes that aren't UTF-8 as U+DC80..U+DCFF.
std::string Utf16ToUtf8(const std::string& utf16);
std::string Utf8ToUtf16(const std::string& utf8);
