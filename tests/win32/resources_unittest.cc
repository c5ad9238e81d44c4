// What quarlo.scr carries that no run of it shows: the description the
// display settings list, the icon's sizes, the manifest, and the logo tile
// stored in its 16-colour RLE4 form. (The dialog template is shown and
// driven by the dialog's own tests.)
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

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
  const std::string icons = raw(100, 14);  // RT_GROUP_ICON: the count, then 14 bytes an image
  ASSERT_GE(icons.size(), 6u + 3 * 14);
  EXPECT_EQ(std::vector<int>({icons[4], icons[6], icons[20], icons[34]}),
            std::vector<int>({3, 48, 32, 16}));  // three images: 48, 32 and 16 pixels
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
