// The registry's export form: what a file says a value holds, and a file
// rewritten with new values that keeps everything else.
#include "settings/reg_file.h"

#include <gtest/gtest.h>

#include "settings/store.h"

namespace {

const char kKey[] = "Software\\Orvendel\\QuarloScreenSaver";
const std::string kHead = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Orvendel\\QuarloScreenSaver]\r\n";

std::string Utf16(const std::string& ascii) {
  std::string out;
  for (char c : ascii) out += {c, '\0'};
  return out;
}

TEST(RegFileTest, ValueAsAnImportWouldLeaveIt) {
  const struct { const char* what; std::string file; bool found; uint32_t type; std::string data; }
      cases[] = {
      {"dword of few digits, any case", kHead + "\"texture\"=DWORD:1F\r\n", true, kValueDword, std::string("\x1f\0\0\0", 4)},
      {"string escapes", kHead + "\"Texture\"=\"C:\\\\a \\\"b\\\".bmp\"\r\n", true, kValueString, std::string("C:\\a \"b\".bmp\0", 13)},
      {"LF line endings", "REGEDIT4\n\n[HKEY_CURRENT_USER\\" + std::string(kKey) + "]\n\"Texture\"=\"x\"\n", true, kValueString, std::string("x\0", 2)},
      {"non-ASCII bytes as they are", kHead + "\"Texture\"=\"\xe9\xff.bmp\"\r\n", true, kValueString, std::string("\xe9\xff.bmp\0", 7)},
      {"hex over continuation lines", kHead + "\"Texture\"=hex:41,\\\r\n  42, 43\r\n", true, kValueBinary, "ABC"},
      {"a blank line ends hex that goes on", kHead + "\"Texture\"=hex:41\\\\\r\n\r\n\"Texture\"=\"b\"\r\n", true, kValueString, std::string("b\0", 2)},
      {"hex(2) of a REGEDIT4 file: bytes", kHead + "\"Texture\"=hex(2):41,00\r\n", true, 2, std::string("A\0", 2)},
      {"the last line wins", kHead + "\"Texture\"=\"a\"\r\n\"Texture\"=\"b\"\r\n", true, kValueString, std::string("b\0", 2)},
      {"deleted", kHead + "\"Texture\"=\"a\"\r\n\"Texture\"=-\r\n", false, 0, ""},
      {"key deleted after it", kHead + "\"Texture\"=\"a\"\r\n[-HKEY_CURRENT_USER\\" + kKey + "]\r\n", false, 0, ""},
      {"another key's value", kHead + "[HKEY_CURRENT_USER\\Software\\Other]\r\n\"Texture\"=\"a\"\r\n", false, 0, ""},
      {"a subkey's value", "REGEDIT4\r\n[HKEY_CURRENT_USER\\" + std::string(kKey) + "\\Sub]\r\n\"Texture\"=\"a\"\r\n", false, 0, ""},
      {"version 5, UTF-16", "\xff\xfe" + Utf16("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\" + std::string(kKey) + "]\r\n\"Texture\"=\"") + std::string("\xe9\0", 2) + Utf16("\"\r\n"), true, kValueString, "\xc3\xa9" + std::string(1, '\0')},
      {"version 5 hex(1) is UTF-16", "Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\" + std::string(kKey) + "]\r\n\"Texture\"=hex(1):41,00,e9,00,00,00\r\n", true, kValueString, "A\xc3\xa9" + std::string(1, '\0')},
  };
  for (const auto& c : cases) {
    RegValue value;
    const bool found = FindRegValue(ReadRegDocument(c.file), kKey, "Texture", &value);
    EXPECT_TRUE(found == c.found && (!found || (value.type == c.type && value.data == c.data)))
        << c.what << ": " << testing::PrintToString(value.data);
  }
}

std::vector<RegValue> Values(const std::string& texture) {
  return {{"Surface", kValueDword, std::string("\1\0\0\0", 4)},
          {"Texture", kValueString, texture + '\0'}};
}

TEST(RegFileTest, RewriteKeepsEverythingThatIsNotOurs) {
  const std::string others = "[HKEY_CURRENT_USER\\Software\\Other]\r\n\"Texture\"=\"theirs\"\r\n; a comment\r\n\r\n";
  const struct { const char* what; std::string before, after; } cases[] = {
      {"no file", "", kHead + "\"Surface\"=dword:00000001\r\n\"Texture\"=\"a\\\\b\"\r\n\r\n"},
      {"not a registry file", "\x89PNG\r\n", kHead + "\"Surface\"=dword:00000001\r\n\"Texture\"=\"a\\\\b\"\r\n\r\n"},
      {"our values replaced in place, others kept",
       kHead + "\"Surface\"=dword:00000000\r\n\"Extra\"=hex:01,\\\r\n  02\r\n\"TEXTURE\"=hex:41,\\\r\n  42\r\n\r\n" + others,
       kHead + "\"Extra\"=hex:01,\\\r\n  02\r\n\"Surface\"=dword:00000001\r\n\"Texture\"=\"a\\\\b\"\r\n\r\n" + others},
      {"a later section and a deletion of ours go",
       kHead + "\r\n" + others + "[-HKEY_CURRENT_USER\\" + kKey + "]\r\n[HKEY_CURRENT_USER\\" + kKey + "]\r\n\"Surface\"=-\r\n\"Mine\"=\"x\"",
       kHead + "\"Surface\"=dword:00000001\r\n\"Texture\"=\"a\\\\b\"\r\n\r\n" + others + "[HKEY_CURRENT_USER\\" + kKey + "]\r\n\"Mine\"=\"x\""},
      {"values left under a deletion of ours go with it",
       kHead + "\r\n[-HKEY_CURRENT_USER\\" + kKey + "]\r\n\"Surface\"=dword:0\r\n; kept\r\n" + others,
       kHead + "\"Surface\"=dword:00000001\r\n\"Texture\"=\"a\\\\b\"\r\n\r\n; kept\r\n" + others},
      {"... and never fall to another key", "REGEDIT4\r\n\r\n" + others + "[-HKEY_CURRENT_USER\\" + kKey + "]\r\n\"Texture\"=\"x\"\r\n",
       "REGEDIT4\r\n\r\n" + others + "\r\n[HKEY_CURRENT_USER\\" + std::string(kKey) + "]\r\n\"Surface\"=dword:00000001\r\n\"Texture\"=\"a\\\\b\"\r\n"},
      {"after a line that goes on in the next", kHead + "\"Other\"=hex:01,\\\r\n",
       kHead + "\"Other\"=hex:01,\\\r\n\r\n\"Surface\"=dword:00000001\r\n\"Texture\"=\"a\\\\b\"\r\n"},
      {"a new section at the end, LF kept", "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Other]\n\"V\"=\"w\"",
       "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Other]\n\"V\"=\"w\"\n\n[HKEY_CURRENT_USER\\" + std::string(kKey) + "]\n\"Surface\"=dword:00000001\n\"Texture\"=\"a\\\\b\"\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ComposeRegDocument(ReadRegDocument(c.before), kKey, Values("a\\b")), c.after) << c.what;
  }
}

// Paths of any bytes come back as they were from a file of either version:
// text that isn't UTF-8, and unpaired surrogates: an encoded high surrogate,
// then a stray byte (also after a run of high surrogates, whose last is then
// kept as bytes), is no pair on the way back. Other keys' values stay as
// they were, lone surrogates too. (The settings fuzzer tries any bytes.)
TEST(RegFileTest, PathsComeBackAsTheyWereInEitherVersion) {
  const std::string paths[] = {
      "C:\\a \"quoted\" \\\\name.bmp", "/home/j\xc3\xb6rg/\xe2\x82\xac.bmp", "latin1 \xe9\xff",
      "line\r\nbreaks", "", "\xed\xb2\x80 and \xf4\x90\x80\x80", "\xed\xab\xab\xab", "\xed\xab\xab",
      "\xed\xab", "\xf0\x9f\x98", "\xed\xa0\x80\xed\xb0\x80", "\xed\xa9\xb4\xed\xab\x9a\xed\xab",
      "\xed\xa0\x80\xed\xa0\x80\xed\xb0\x80", "\xed\xa0\x80\xed\xa0\x80\xed\xa0\x80\x41",
      "\xf0\x9f\x98\x80"};
  const std::string lone("\x00\xd8\x41\x00\x00\xdc", 6);  // high, 'A', low
  const std::string v5 = "\xff\xfe" + Utf16("Windows Registry Editor Version 5.00\r\n\r\n") +
                         Utf16("[HKEY_CURRENT_USER\\Software\\Other]\r\n\"Keep\"=\"") + lone +
                         Utf16("\"\r\n");
  EXPECT_EQ(Utf8ToUtf16("\xf0\x9f\x98\x80"), std::string("\x3d\xd8\x00\xde", 4));  // a pair
  for (const std::string& before : {std::string(), v5}) {
    for (const std::string& path : paths) {
      const std::string file = ComposeRegDocument(ReadRegDocument(before), kKey, Values(path));
      const RegDocument doc = ReadRegDocument(file);
      EXPECT_EQ(doc.utf16, !before.empty()) << path;
      RegValue value;
      EXPECT_TRUE(FindRegValue(doc, kKey, "Texture", &value) && value.data == path + '\0') << path;
      EXPECT_EQ(file.find(lone) != std::string::npos, !before.empty()) << path;
    }
  }
}

}  // namespace
