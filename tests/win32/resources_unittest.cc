// The resources compiled into quarlo.scr, read back from the file.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

class Resources : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExA(QUARLO_SCR_PATH, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module_, nullptr);
  }
  void TearDown() override { FreeLibrary(module_); }
  std::string Raw(const char* name, const char* type) {
    HRSRC found = FindResourceA(module_, name, type);
    if (!found) return "";
    const char* data = static_cast<const char*>(LockResource(LoadResource(module_, found)));
    return std::string(data, SizeofResource(module_, found));
  }
  HMODULE module_ = nullptr;
};

// Reads a classic dialog template field by field.
class TemplateReader {
 public:
  explicit TemplateReader(const std::string& data) : data_(data) {}
  uint16_t Word() {
    uint16_t w = 0;
    if (at_ + 2 <= data_.size()) std::memcpy(&w, data_.data() + at_, 2);
    at_ += 2;
    return w;
  }
  uint32_t Dword() {
    const uint32_t low = Word();
    return low | uint32_t(Word()) << 16;
  }
  int16_t Short() { return static_cast<int16_t>(Word()); }
  std::string Text() {  // a UTF-16 string, kept to its ASCII
    std::string text;
    for (uint16_t c = Word(); c != 0 && at_ <= data_.size(); c = Word()) text += char(c);
    return text;
  }
  // A name or ordinal field: "#n" for an ordinal.
  std::string NameOrOrdinal() {
    if (Peek() == 0xFFFF) {
      Word();
      return "#" + std::to_string(Word());
    }
    return Text();
  }
  void AlignDword() { at_ = (at_ + 3) & ~size_t{3}; }
  uint16_t Peek() const {
    uint16_t w = 0;
    if (at_ + 2 <= data_.size()) std::memcpy(&w, data_.data() + at_, 2);
    return w;
  }

 private:
  const std::string& data_;
  size_t at_ = 0;
};

struct Control {
  int id;
  const char* kind;  // the class, by its atom
  uint32_t style;
  const char* text;
  int x, y, cx, cy;
};

TEST_F(Resources, SettingsDialogTemplateIsExactlyAsDesigned) {
  const std::string raw = Raw(MAKEINTRESOURCEA(2003), MAKEINTRESOURCEA(5));
  ASSERT_FALSE(raw.empty());
  TemplateReader r(raw);
  EXPECT_EQ(r.Dword(), 0x90C800C0u);
  EXPECT_EQ(r.Dword(), 0u);
  const uint16_t count = r.Word();
  EXPECT_EQ(count, 15);
  EXPECT_EQ(r.Short(), 0);
  EXPECT_EQ(r.Short(), 0);
  EXPECT_EQ(r.Short(), 237);
  EXPECT_EQ(r.Short(), 139);
  EXPECT_EQ(r.NameOrOrdinal(), "");  // no menu
  EXPECT_EQ(r.NameOrOrdinal(), "");  // the standard dialog class
  EXPECT_EQ(r.Text(), "Quarlo Screen Saver Setup");
  EXPECT_EQ(r.Word(), 8);
  EXPECT_EQ(r.Text(), "MS Sans Serif");

  const Control expected[] = {
      {1, "#128", 0x50010001, "OK", 179, 7, 50, 14},
      {2, "#128", 0x50010000, "Cancel", 179, 28, 50, 14},
      {0xFFFF, "#130", 0x50020000, nullptr, 9, 28, 143, 8},
      {0xFFFF, "#130", 0x50020000, nullptr, 9, 37, 143, 8},
      {203, "#128", 0x50010003, "Show bitmap on front face", 99, 63, 92, 10},
      {201, "#129", 0x50810080, "", 99, 88, 120, 14},
      {0xFFFF, "#130", 0x50000003, "#100", 9, 5, 16, 16},
      {0xFFFF, "#130", 0x50020000, "Bitmap pathname", 99, 78, 87, 8},
      {202, "#128", 0x50010000, "Choose Bitmap...", 99, 109, 70, 14},
      {0xFFFF, "#128", 0x50000007, "Texture", 92, 53, 137, 80},
      {204, "#128", 0x50010003, "Explode cube", 9, 56, 58, 10},
      {205, "#128", 0x50000009, "Large", 12, 86, 65, 10},
      {206, "#128", 0x50000009, "Medium", 12, 101, 65, 10},
      {207, "#128", 0x50000009, "Small", 12, 116, 65, 10},
      {0xFFFF, "#128", 0x50000007, "Cube Size", 7, 73, 77, 60},
  };
  for (int i = 0; i < count && i < 15; ++i) {
    const Control& c = expected[i];
    r.AlignDword();
    EXPECT_EQ(r.Dword(), c.style) << "control " << i;
    EXPECT_EQ(r.Dword(), 0u) << "control " << i;
    EXPECT_EQ(r.Short(), c.x) << "control " << i;
    EXPECT_EQ(r.Short(), c.y) << "control " << i;
    EXPECT_EQ(r.Short(), c.cx) << "control " << i;
    EXPECT_EQ(r.Short(), c.cy) << "control " << i;
    EXPECT_EQ(r.Word(), c.id) << "control " << i;
    EXPECT_EQ(r.NameOrOrdinal(), c.kind) << "control " << i;
    const std::string text = r.NameOrOrdinal();
    if (c.text) {
      EXPECT_EQ(text, c.text) << "control " << i;
    } else {
      EXPECT_FALSE(text.empty()) << "credit line " << i;
    }
    EXPECT_EQ(r.Word(), 0) << "control " << i;  // no creation data
  }
}

TEST_F(Resources, DescriptionIconVersionAndManifest) {
  char description[64] = "";
  EXPECT_GT(LoadStringA(module_, 1, description, sizeof description), 0);
  EXPECT_STREQ(description, "Quarlo's Cube (OpenGL)");

  const std::string icons = Raw(MAKEINTRESOURCEA(100), MAKEINTRESOURCEA(14));
  ASSERT_GE(icons.size(), 6u);
  EXPECT_GE(static_cast<uint8_t>(icons[4]), 2) << "the icon group has few sizes";

  const std::string version = Raw(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));
  ASSERT_FALSE(version.empty());
  std::string ascii;
  for (size_t i = 0; i + 1 < version.size(); i += 2) ascii += version[i];
  EXPECT_NE(ascii.find("Quarlo's Cube (OpenGL)"), std::string::npos);
  EXPECT_NE(ascii.find("quarlo.scr"), std::string::npos);

  const std::string manifest = Raw(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  EXPECT_NE(manifest.find("<dpiAware"), std::string::npos);
  EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos);
  EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
}

TEST_F(Resources, LogoIsThe320By256SixteenColourRle4Tile) {
  const std::string logo = Raw(MAKEINTRESOURCEA(500), MAKEINTRESOURCEA(2));
  ASSERT_GE(logo.size(), 40u + 64u);
  BITMAPINFOHEADER header;
  std::memcpy(&header, logo.data(), sizeof header);
  EXPECT_EQ(header.biWidth, 320);
  EXPECT_EQ(header.biHeight, 256);
  EXPECT_EQ(header.biBitCount, 4);
  EXPECT_EQ(header.biCompression, DWORD{BI_RLE4});
  EXPECT_TRUE(header.biClrUsed == 0 || header.biClrUsed == 16);
}

}  // namespace
