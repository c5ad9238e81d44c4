#include "settings/reg_file.h"

#include <cstdio>
#include <cstring>

#include "settings/store.h"

namespace {

const char kRootPrefix[] = "HKEY_CURRENT_USER\\";
const char kHeader4[] = "REGEDIT4";
const char kHeader5[] = "Windows Registry Editor Version 5.00";

// ---- Text encodings ----

void PutUtf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out += char(c);
  } else if (c < 0x800) {
    out += char(0xC0 | c >> 6);
    out += char(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += char(0xE0 | c >> 12);
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  } else {
    out += char(0xF0 | c >> 18);
    out += char(0x80 | ((c >> 12) & 0x3F));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  }
}

void PutUtf16(std::string& out, uint32_t unit) {
  out += char(unit & 0xFF);
  out += char(unit >> 8);
}

// The code point of a well-formed sequence at text[i] and its length, or 0
// for a byte that starts none. The sequences for U+DC80..U+DCFF are taken
// as bytes, since they stand for bytes here.
int Utf8Sequence(const std::string& text, size_t i, uint32_t* code) {
  const auto byte = [&](size_t k) { return k < text.size() ? uint8_t(text[k]) : 0; };
  const uint8_t b = byte(i);
  int length = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
  if (length == 0) return 0;
  uint32_t c = length == 1 ? b : b & (0x7F >> length);
  for (int k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    c = c << 6 | (byte(i + k) & 0x3F);
  }
  static const uint32_t kLeast[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kLeast[length] || c > 0x10FFFF || (c >= 0xDC80 && c <= 0xDCFF)) return 0;
  *code = c;
  return length;
}

bool IsHighSurrogate(uint32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(uint32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Whether the text at i becomes a low surrogate in UTF-16: an encoded one,
// or a byte that isn't UTF-8.
bool LowSurrogateAt(const std::string& utf8, size_t i) {
  if (i >= utf8.size()) return false;
  uint32_t c = 0;
  return Utf8Sequence(utf8, i, &c) == 0 || IsLowSurrogate(c);
}

bool IsUtf8(const std::string& text) {
  for (size_t i = 0; i < text.size();) {
    uint32_t c = 0;
    const int n = Utf8Sequence(text, i, &c);
    if (n == 0 || IsHighSurrogate(c) || IsLowSurrogate(c)) return false;
    i += n;
  }
  return true;
}

// ---- Lines ----

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'f'); }
int HexValue(char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; }

// Up to eight hex digits from s[*i] on, as dword: and hex(N): give them; the
// number of digits read (0: none there).
size_t ReadHexNumber(const std::string& s, size_t* i, uint32_t* value) {
  size_t digits = 0;
  for (*value = 0; *i < s.size() && IsHexDigit(s[*i]) && digits < 8; ++*i, ++digits) {
    *value = *value << 4 | HexValue(s[*i]);
  }
  return digits;
}

// The types whose data is text: UTF-16LE in a version 5 file.
bool IsTextType(uint32_t type) {
  return type == kValueString || type == kValueExpandString || type == kValueMultiString;
}

bool SameText(const std::string& a, const char* b) {  // ASCII letters without case
  if (a.size() != std::strlen(b)) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = char(x | 0x20);
    if (y >= 'A' && y <= 'Z') y = char(y | 0x20);
    if (x != y) return false;
  }
  return true;
}

// One line of the file as it is read: a key line, or a value line together
// with the continuation lines of its hex data.
struct Line {
  size_t begin = 0, end = 0;  // the whole line, line ending included
  std::string content;        // without line endings and continuations
  enum { kOther, kKey, kKeyDeleted, kValue } kind = kOther;
  std::string key;   // kKey, kKeyDeleted: the path under HKEY_CURRENT_USER, or "" for others
  std::string name;  // kValue
  size_t data = 0;   // kValue: where the data starts in `content`
  bool blank = true;
};

std::string Trimmed(const std::string& text, size_t from, size_t to) {
  while (from < to && IsBlank(text[from])) ++from;
  while (to > from && (IsBlank(text[to - 1]) || text[to - 1] == '\r')) --to;
  return text.substr(from, to - from);
}

// One physical line from `at`: its content, and where the next one starts.
size_t PhysicalLine(const std::string& text, size_t at, std::string* content) {
  const size_t newline = text.find('\n', at);
  const size_t end = newline == std::string::npos ? text.size() : newline;
  *content = Trimmed(text, at, end);
  return newline == std::string::npos ? end : end + 1;
}

// A value name in quotes, or @ for the default value; the position after it.
bool ReadName(const std::string& s, size_t* at, std::string* name) {
  if (s[*at] == '@') {
    ++*at;
    name->clear();
    return true;
  }
  if (s[*at] != '"') return false;
  for (size_t i = *at + 1; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size()) {
      *name += s[++i];
    } else if (s[i] == '"') {
      *at = i + 1;
      return true;
    } else {
      *name += s[i];
    }
  }
  return false;
}

bool StartsHexData(const std::string& s, size_t at) {
  return s.compare(at, 3, "hex") == 0 || s.compare(at, 3, "HEX") == 0;
}

Line ReadLine(const std::string& text, size_t at) {
  Line line;
  line.begin = at;
  line.end = PhysicalLine(text, at, &line.content);
  line.blank = line.content.empty();
  const std::string& s = line.content;
  if (!s.empty() && s[0] == '[') {
    const size_t close = s.rfind(']');
    const bool deleted = s.size() > 1 && s[1] == '-';
    std::string path = close == std::string::npos ? "" : Trimmed(s, deleted ? 2 : 1, close);
    if (path.size() > std::strlen(kRootPrefix) && SameText(path.substr(0, std::strlen(kRootPrefix)), kRootPrefix)) {
      line.key = path.substr(std::strlen(kRootPrefix));
    }
    line.kind = deleted ? Line::kKeyDeleted : Line::kKey;
    return line;
  }
  size_t i = 0;
  std::string name;
  if (s.empty() || !ReadName(s, &i, &name)) return line;
  while (i < s.size() && IsBlank(s[i])) ++i;
  if (i >= s.size() || s[i] != '=') return line;
  ++i;
  while (i < s.size() && IsBlank(s[i])) ++i;
  line.kind = Line::kValue;
  line.name = name;
  line.data = i;
  // Hex data goes on over lines that end in a backslash (each line judged
  // on its own: a blank one ends it, whatever the line before ended in).
  if (StartsHexData(s, i)) {
    for (std::string last = s; !last.empty() && last.back() == '\\' && line.end < text.size();) {
      line.content.pop_back();
      line.end = PhysicalLine(text, line.end, &last);
      line.content += last;
    }
  }
  return line;
}

template <typename Visit>
void ForEachLine(const RegDocument& doc, Visit visit) {
  for (size_t at = 0; at < doc.text.size();) {
    const Line line = ReadLine(doc.text, at);
    visit(line);
    at = line.end;
  }
}

// ---- Value data ----

enum class Data { kValue, kDeleted, kUnreadable };

Data ReadString(const std::string& s, size_t i, RegValue* value) {
  std::string out;
  for (++i; i < s.size(); ++i) {
    char c = s[i];
    if (c == '"') break;
    if (c == '\\' && i + 1 < s.size()) {
      c = s[++i];
      c = c == 'n' ? '\n' : c == 'r' ? '\r' : c == '0' ? '\0' : c;
    }
    out += c;
  }
  if (i >= s.size() || !Trimmed(s, i + 1, s.size()).empty()) return Data::kUnreadable;
  value->type = kValueString;
  value->data = out + '\0';
  return Data::kValue;
}

Data ReadDword(const std::string& s, size_t i, RegValue* value) {
  uint32_t v = 0;
  if (ReadHexNumber(s, &i, &v) == 0 || !Trimmed(s, i, s.size()).empty()) return Data::kUnreadable;
  value->type = kValueDword;
  value->data = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
  return Data::kValue;
}

Data ReadHex(const std::string& s, size_t i, bool version5, RegValue* value) {
  uint32_t type = kValueBinary;
  i += 3;
  if (i < s.size() && s[i] == '(') {
    ++i;
    if (ReadHexNumber(s, &i, &type) == 0 || i >= s.size() || s[i] != ')') return Data::kUnreadable;
    ++i;
  }
  if (i >= s.size() || s[i] != ':') return Data::kUnreadable;
  std::string bytes;
  for (++i;;) {
    while (i < s.size() && IsBlank(s[i])) ++i;
    if (i >= s.size()) break;
    if (!IsHexDigit(s[i])) return Data::kUnreadable;
    int byte = HexValue(s[i++]);
    if (i < s.size() && IsHexDigit(s[i])) byte = byte << 4 | HexValue(s[i++]);
    bytes += char(byte);
    while (i < s.size() && IsBlank(s[i])) ++i;
    if (i < s.size() && s[i] != ',') return Data::kUnreadable;
    ++i;
  }
  value->type = type;
  value->data = version5 && IsTextType(type) ? Utf16ToUtf8(bytes) : bytes;
  return Data::kValue;
}

Data ReadData(const Line& line, bool version5, RegValue* value) {
  const std::string& s = line.content;
  const size_t i = line.data;
  if (i >= s.size()) return Data::kUnreadable;
  if (s[i] == '-' && Trimmed(s, i + 1, s.size()).empty()) return Data::kDeleted;
  if (s[i] == '"') return ReadString(s, i, value);
  if (SameText(s.substr(i, 6), "dword:")) return ReadDword(s, i + 6, value);
  if (StartsHexData(s, i)) return ReadHex(s, i, version5, value);
  return Data::kUnreadable;
}

// ---- Writing ----

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + '"';
}

// A string that the quoted form holds as it is: one NUL, at its end, no line
// breaks, and in a version 5 file nothing that isn't UTF-8.
bool FitsQuotes(const RegValue& v, const RegDocument& doc) {
  if (v.type != kValueString || v.data.empty() || v.data.back() != '\0') return false;
  const std::string text = v.data.substr(0, v.data.size() - 1);
  if (text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) return false;
  return !doc.utf16 || IsUtf8(text);
}

std::string ValueLines(const RegValue& v, const RegDocument& doc) {
  std::string line = (v.name.empty() ? std::string("@") : Quoted(v.name)) + "=";
  if (v.type == kValueDword && v.data.size() == 4) {
    const auto b = [&](int k) { return uint32_t(uint8_t(v.data[k])); };
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08x", b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24);
    return line + "dword:" + digits + doc.newline;
  }
  if (FitsQuotes(v, doc)) return line + Quoted(v.data.substr(0, v.data.size() - 1)) + doc.newline;
  const std::string bytes = doc.version5 && IsTextType(v.type) ? Utf8ToUtf16(v.data) : v.data;
  char prefix[16];
  std::snprintf(prefix, sizeof prefix, v.type == kValueBinary ? "hex:" : "hex(%x):", v.type);
  line += prefix;
  std::string out;
  for (size_t k = 0; k < bytes.size(); ++k) {
    char byte[4];
    std::snprintf(byte, sizeof byte, "%02x%s", uint8_t(bytes[k]), k + 1 < bytes.size() ? "," : "");
    if (line.size() + 3 > 77 && k + 1 < bytes.size()) {  // regedit's own width
      out += line + "\\" + doc.newline;
      line = "  ";
    }
    line += byte;
  }
  return out + line + doc.newline;
}

bool IsOurs(const Line& line, const char* key) { return SameText(line.key, key); }

bool NamedIn(const std::string& name, const std::vector<RegValue>& values) {
  for (const RegValue& v : values) {
    if (SameText(name, v.name.c_str())) return true;
  }
  return false;
}

std::string Encoded(const RegDocument& doc, const std::string& text) {
  return doc.bom + (doc.utf16 ? Utf8ToUtf16(text) : text);
}

}  // namespace

std::string Utf16ToUtf8(const std::string& utf16) {
  std::string out;
  const auto unit = [&](size_t k) { return uint32_t(uint8_t(utf16[k])) | uint32_t(uint8_t(utf16[k + 1])) << 8; };
  for (size_t k = 0; k + 1 < utf16.size(); k += 2) {
    const uint32_t u = unit(k);
    if (IsHighSurrogate(u) && k + 3 < utf16.size() && IsLowSurrogate(unit(k + 2))) {
      PutUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (unit(k + 2) - 0xDC00));
      k += 2;
    } else if (u >= 0xDC80 && u <= 0xDCFF) {
      out += char(u - 0xDC00);  // a byte that was not UTF-8
    } else {
      PutUtf8(out, u);
    }
  }
  return out;
}

std::string Utf8ToUtf16(const std::string& utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    uint32_t c = 0;
    const int n = Utf8Sequence(utf8, i, &c);
    if (n == 0) {
      PutUtf16(out, 0xDC00 + uint8_t(utf8[i++]));  // a byte that isn't UTF-8
    } else if (IsHighSurrogate(c)) {
      // A run of encoded high surrogates comes back unit by unit, unless a
      // low surrogate follows the run: it would pair with the last one, so
      // the run's bytes are kept as bytes (each of them a low surrogate too).
      size_t end = i;
      for (int k; end < utf8.size() && (k = Utf8Sequence(utf8, end, &c)) != 0 && IsHighSurrogate(c);) {
        end += k;
      }
      if (LowSurrogateAt(utf8, end)) {
        for (; i < end; ++i) PutUtf16(out, 0xDC00 + uint8_t(utf8[i]));
      }
      for (int k; i < end; i += k) {
        k = Utf8Sequence(utf8, i, &c);
        PutUtf16(out, c);
      }
    } else if (c >= 0x10000) {
      PutUtf16(out, 0xD800 + ((c - 0x10000) >> 10));
      PutUtf16(out, 0xDC00 + ((c - 0x10000) & 0x3FF));
      i += n;
    } else {
      PutUtf16(out, c);
      i += n;
    }
  }
  return out;
}

RegDocument ReadRegDocument(const std::string& bytes) {
  RegDocument doc;
  if (bytes.compare(0, 2, "\xFF\xFE") == 0) {
    doc.bom = bytes.substr(0, 2);
    doc.utf16 = true;
    doc.text = Utf16ToUtf8(bytes.substr(2));
  } else {
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) doc.bom = bytes.substr(0, 3);
    doc.text = bytes.substr(doc.bom.size());
  }
  std::string header;
  const size_t end = PhysicalLine(doc.text, 0, &header);
  doc.version5 = header == kHeader5;
  doc.valid = header == kHeader4 || doc.version5;
  doc.newline = end >= 2 && doc.text.compare(end - 2, 2, "\r\n") == 0 ? "\r\n"
                : end >= 1 && doc.text[end - 1] == '\n'              ? "\n"
                                                                     : "\r\n";
  return doc;
}

bool HasRegKey(const RegDocument& doc, const char* key) {
  bool present = false;
  if (!doc.valid) return false;
  ForEachLine(doc, [&](const Line& line) {
    if (line.kind == Line::kKey || line.kind == Line::kKeyDeleted) {
      if (IsOurs(line, key)) present = line.kind == Line::kKey;
    }
  });
  return present;
}

bool FindRegValue(const RegDocument& doc, const char* key, const char* name, RegValue* value) {
  if (!doc.valid) return false;
  bool inside = false, found = false;
  ForEachLine(doc, [&](const Line& line) {
    if (line.kind == Line::kKey || line.kind == Line::kKeyDeleted) {
      inside = line.kind == Line::kKey && IsOurs(line, key);
      if (line.kind == Line::kKeyDeleted && IsOurs(line, key)) found = false;
    } else if (inside && line.kind == Line::kValue && SameText(line.name, name)) {
      RegValue read;
      switch (ReadData(line, doc.version5, &read)) {
        case Data::kValue:
          read.name = line.name;
          *value = read;
          found = true;
          break;
        case Data::kDeleted:
          found = false;
          break;
        case Data::kUnreadable:
          break;
      }
    }
  });
  return found;
}

std::string ComposeRegDocument(const RegDocument& doc, const char* key,
                               const std::vector<RegValue>& values) {
  std::string section;
  for (const RegValue& v : values) section += ValueLines(v, doc);
  const std::string key_line = "[" + std::string(kRootPrefix) + key + "]" + doc.newline;
  if (!doc.valid) {
    RegDocument fresh;
    return std::string(kHeader4) + fresh.newline + fresh.newline + key_line + section + fresh.newline;
  }
  std::string out;
  bool inside = false, placed = false;
  // Values after a deletion of our key belong to no key; with the deletion
  // gone they would fall to the section before it, so they go with it.
  bool orphans = false;
  size_t place_at = 0;  // after the last line of the first section, before its blank lines
  const auto place = [&] {
    if (place_at > 0 && out[place_at - 1] != '\n') {
      out.insert(place_at, doc.newline);
      place_at += doc.newline.size();
    }
    // A line that ends in a backslash goes on in the next: a blank line ends it.
    const size_t last = out.find_last_not_of(" \t\r\n", place_at ? place_at - 1 : 0);
    if (place_at > 0 && last != std::string::npos && out[last] == '\\') {
      out.insert(place_at, doc.newline);
      place_at += doc.newline.size();
    }
    out.insert(place_at, section);
    placed = true;
  };
  ForEachLine(doc, [&](const Line& line) {
    const bool key_line_here = line.kind == Line::kKey || line.kind == Line::kKeyDeleted;
    if (key_line_here) {
      if (inside && !placed) place();
      inside = line.kind == Line::kKey && IsOurs(line, key);
      orphans = line.kind == Line::kKeyDeleted && IsOurs(line, key);
      if (orphans) return;  // we say what the key holds
    } else if (line.kind == Line::kValue && (orphans || (inside && NamedIn(line.name, values)))) {
      return;
    }
    out.append(doc.text, line.begin, line.end - line.begin);
    if (inside && (key_line_here || !line.blank)) place_at = out.size();
  });
  if (inside && !placed) place();
  if (!placed) {
    if (!out.empty() && out.back() != '\n') out += doc.newline;
    out += doc.newline + key_line + section;
  }
  return Encoded(doc, out);
}
