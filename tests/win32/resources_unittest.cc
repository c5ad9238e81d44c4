// What quarlo.scr carries that no run of it shows: the description the
// display settings list, the icon's sizes, the manifest, and the logo tile
// stored in its 16-colour RLE4 form. (The dialog template is shown and
// driven by the dialog's own tests.)
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

namespace {

TEST(ResourcesTest, DescriptionIconManifestAndLogo) {
  HMODULE module = LoadLibraryExA(QUARLO_SCR_PATH, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  const auto raw = [&](int name, int type) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(name), MAKEINTRESOURCEA(type));
    return found ? std::string(static_cast<const char*>(LockResource(LoadResource(module, found))),
                               SizeofResource(module, found))
                 : std::string();
  };
  char description[64] = "";
  LoadStringA(module, 1, description, sizeof description);
  EXPECT_STREQ(description, "Quarlo's Cube (OpenGL)");
  const std::string icons = raw(100, 14);  // RT_GROUP_ICON: 48, 32 and 16 pixels
  ASSERT_GE(icons.size(), 6u + 3 * 14);
  std::string widths;
  for (size_t k = 0; k < uint8_t(icons[4]) && 6 + 14 * k < icons.size(); ++k) widths += std::to_string(uint8_t(icons[6 + 14 * k])) + " ";
  EXPECT_EQ(widths, "48 32 16 ");
  const std::string manifest = raw(1, 24);
  for (const char* part : {">true</dpiAware>", "Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\""}) {
    EXPECT_NE(manifest.find(part), std::string::npos) << part;
  }
  const std::string logo = raw(500, 2);
  ASSERT_GE(logo.size(), 40u + 64u);
  BITMAPINFOHEADER header;
  std::memcpy(&header, logo.data(), sizeof header);
  EXPECT_TRUE(header.biWidth == 320 && header.biHeight == 256 && header.biBitCount == 4 &&
              header.biCompression == BI_RLE4 && (header.biClrUsed == 0 || header.biClrUsed == 16));
  FreeLibrary(module);
}

}  // namespace
