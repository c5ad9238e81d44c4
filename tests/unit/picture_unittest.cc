// PNG and JPEG pictures through the platform's decoders (libpng and libjpeg
// on Linux, WIC under Windows): every stored form against ImageMagick's
// decode of it, EXIF orientations, and what is refused, with the reason.
#include "render/picture.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "bmp_builder.h"
#include "render/dib_decode.h"
#include "test_files.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes FileBytes(const std::string& path) {
  const std::string s = ReadFileBytes(path);
  return Bytes(s.begin(), s.end());
}

// A picture's pixels (blue, green, red, 255; rows bottom-up) and its size.
struct Pixels {
  int32_t width = 0, height = 0;
  Bytes bgra;
};
Pixels Decode(PackedBitmap* bitmap) {
  Pixels p;
  if (!bitmap) return p;
  const BitmapInfoHeader h = PackedBitmapHeader(bitmap);
  p.width = h.biWidth;
  p.height = h.biHeight;
  p.bgra.assign(DecodedBytes(bitmap), 0);
  DecodePackedBitmap(bitmap, p.bgra.data());
  FreePackedBitmap(bitmap);
  return p;
}

// The largest difference of a colour channel between two pictures, and the mean one.
std::pair<int, double> Differences(const Pixels& a, const Pixels& b) {
  int largest = 0;
  double sum = 0;
  for (size_t i = 0; i < a.bgra.size(); ++i) {
    largest = std::max(largest, std::abs(a.bgra[i] - b.bgra[i]));
    sum += std::abs(a.bgra[i] - b.bgra[i]);
  }
  return {largest, a.bgra.empty() ? 0 : sum / double(a.bgra.size())};
}

TEST(PictureTest, EveryFormShowsWhatImageMagickShows) {
  // The tolerances, the largest difference of a channel and the mean one:
  // PNG is exact but where 16 bits are rounded to 8 or alpha is composed (to
  // within 1); JPEG's decoders may round their transforms differently, and
  // enlarge halved colour (4:2:0) by other rules, most at sharp edges.
  const struct {
    const char* name;
    int largest;
    double mean;
  } forms[] = {
      {"rgb-8.png", 0, 0},         {"rgb-16.png", 1, 0.2},       {"rgb-8-interlaced.png", 0, 0},
      {"rgba-8.png", 1, 0.2},      {"rgba-16.png", 1, 0.2},      {"palette-8.png", 0, 0},
      {"palette-4.png", 0, 0},     {"palette-alpha.png", 1, 0.2}, {"grey-1.png", 0, 0},
      {"grey-2.png", 0, 0},        {"grey-4.png", 0, 0},         {"grey-8.png", 0, 0},
      {"grey-16.png", 1, 0.2},     {"grey-alpha-8.png", 1, 0.2}, {"grey-16-interlaced.png", 1, 0.2},
      {"baseline-420.jpg", 64, 4}, {"baseline-444.jpg", 4, 1},   {"progressive.jpg", 4, 1},
      {"grey.jpg", 4, 1},          {"cmyk.jpg", 4, 1},
  };
  for (const auto& form : forms) {
    const std::string path = std::string(QUARLO_PICTURE_CORPUS) + "/" + form.name;
    PictureProblem problem = PICTURE_NO_MEMORY;
    const Pixels ours = Decode(LoadPictureFile(path.c_str(), 0, &problem));
    const std::string reference = path.substr(0, path.size() - 3) + "bmp";
    const Pixels magick = Decode(LoadBitmapFile(reference.c_str()));
    ASSERT_EQ(problem, PICTURE_FINE) << form.name << ": " << PictureProblemText(problem);
    ASSERT_TRUE(ours.width == 37 && ours.height == 23 && magick.width == 37) << form.name;
    const auto [largest, mean] = Differences(ours, magick);
    EXPECT_TRUE(largest <= form.largest && mean <= form.mean) << form.name << ": " << largest << ", " << mean;
  }
}

// A JPEG with an APP1 segment of EXIF data holding one Orientation entry.
Bytes WithOrientation(const Bytes& jpeg, int orientation, bool big_endian) {
  const auto u16 = [&](int v) { return big_endian ? Bytes{uint8_t(v >> 8), uint8_t(v)} : Bytes{uint8_t(v), uint8_t(v >> 8)}; };
  Bytes tiff = big_endian ? Bytes{'M', 'M', 0, 42, 0, 0, 0, 8} : Bytes{'I', 'I', 42, 0, 8, 0, 0, 0};
  for (const Bytes& part : {u16(1), u16(0x0112), u16(3), big_endian ? Bytes{0, 0, 0, 1} : Bytes{1, 0, 0, 0},
                            u16(orientation), Bytes{0, 0, 0, 0, 0, 0}})
    tiff.insert(tiff.end(), part.begin(), part.end());
  Bytes app1 = {0xFF, 0xE1, 0, uint8_t(8 + tiff.size()), 'E', 'x', 'i', 'f', 0, 0};
  app1.insert(app1.end(), tiff.begin(), tiff.end());
  Bytes out(jpeg.begin(), jpeg.begin() + 2);
  out.insert(out.end(), app1.begin(), app1.end());
  out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
  return out;
}

// The corner of the stored picture (red top left, green top right, yellow
// bottom left, white bottom right) nearest a pixel's colour.
char Corner(const Pixels& p, int x, int y_from_top) {
  const uint8_t* c = &p.bgra[(size_t(p.height - 1 - y_from_top) * p.width + x) * 4];
  return c[0] > 128 ? 'W' : c[1] < 128 ? 'R' : c[2] < 128 ? 'G' : 'Y';
}

TEST(PictureTest, EachExifOrientationShowsThePictureUpright) {
  const Bytes jpeg = FileBytes(std::string(QUARLO_PICTURE_CORPUS) + "/baseline-444.jpg");
  const struct {
    int orientation;
    bool turned;  // width and height swapped
    const char* corners;  // top left, top right, bottom left of what is shown
  } cases[] = {{1, false, "RGY"}, {2, false, "GRW"}, {3, false, "WYG"}, {4, false, "YWR"},
               {5, true, "RYG"},  {6, true, "YRW"},  {7, true, "WGY"},  {8, true, "GWR"},
               {0, false, "RGY"}, {9, false, "RGY"}};  // not an orientation: as stored
  for (const auto& c : cases) {
    for (const bool big_endian : {false, true}) {
      const Bytes file = WithOrientation(jpeg, c.orientation, big_endian);
      PictureProblem problem;
      const Pixels p = Decode(LoadPictureMemory(file.data(), file.size(), 0, &problem));
      ASSERT_EQ(p.width, c.turned ? 23 : 37) << c.orientation;
      const std::string corners = {Corner(p, 1, 1), Corner(p, p.width - 2, 1), Corner(p, 1, p.height - 2)};
      EXPECT_EQ(corners, c.corners) << "orientation " << c.orientation << (big_endian ? " MM" : " II");
    }
  }
}

TEST(PictureTest, AJpegIsDecodedNoLargerThanItsPiecesNeed) {
#ifdef _WIN32
  GTEST_SKIP() << "WIC decodes whole";
#endif
  const Bytes jpeg = FileBytes(std::string(QUARLO_PICTURE_CORPUS) + "/progressive.jpg");
  // The texture limit, and the size decoded: an eighth, a quarter, a half, whole.
  const int32_t cases[][3] = {{1, 5, 3}, {2, 10, 6}, {4, 19, 12}, {8, 37, 23}, {0, 37, 23}};
  for (const auto& c : cases) {
    PictureProblem problem;
    const Pixels p = Decode(LoadPictureMemory(jpeg.data(), jpeg.size(), c[0], &problem));
    EXPECT_TRUE(p.width == c[1] && p.height == c[2]) << c[0] << ": " << p.width << "x" << p.height;
  }
}

// Where a PNG's chunks or a JPEG's marker segments begin.
std::vector<size_t> PieceStarts(const Bytes& file) {
  std::vector<size_t> starts;
  if (file[0] == 0x89) {
    for (size_t at = 8; at + 8 <= file.size();
         at += 12 + (size_t{file[at]} << 24 | file[at + 1] << 16 | file[at + 2] << 8 | file[at + 3]))
      starts.push_back(at);
  } else {
    for (size_t at = 3; at + 1 < file.size(); ++at) {  // from the second segment
      if (file[at] == 0xFF && file[at + 1] != 0 && (file[at + 1] < 0xD0 || file[at + 1] > 0xD7)) starts.push_back(at);
    }
  }
  return starts;
}

TEST(PictureTest, WhatCantBeShownIsRefusedWithItsReason) {
  const std::string corpus = QUARLO_PICTURE_CORPUS, damaged = QUARLO_DAMAGED_PICTURES;
  std::string folder = WriteTempFile("folder.png", {});
  std::remove(folder.c_str());
#ifdef _WIN32
  mkdir(folder.c_str());
#else
  mkdir(folder.c_str(), 0700);
  mkfifo((folder + "-pipe").c_str(), 0600);  // opened, it would block for ever
#endif
  Bytes v5 = BmpFileBytes(BmpFields());
  v5[14] = 124;
  // 8193 x 8192 is past 256 MiB, 8192 x 8192 not; 6000 x 6000 neither, but
  // with a progressive JPEG's coefficients it is.
  const auto sized = [&](const char* name, uint32_t width, uint32_t height) {
    Bytes file = FileBytes(corpus + "/" + name);
    size_t at = 16;  // in a PNG's IHDR, four bytes each, else in a JPEG's frame header, two
    for (size_t i = 2; file[0] == 0xFF && i + 1 < file.size(); ++i) {
      if (file[i] == 0xFF && (file[i + 1] == 0xC0 || file[i + 1] == 0xC2)) at = i + 5;
    }
    const int bytes = file[0] == 0xFF ? 2 : 4;
    for (int k = 0; k < bytes; ++k) {
      file[at + k] = uint8_t(height >> (8 * (bytes - 1 - k)));
      file[at + bytes + k] = uint8_t(width >> (8 * (bytes - 1 - k)));
    }
    if (bytes == 4) std::swap_ranges(file.begin() + 16, file.begin() + 20, file.begin() + 20);  // IHDR: width first
    return file;
  };
  const struct {
    const char* what;
    std::string path;  // "" with bytes: they are written to a file
    Bytes bytes;
    PictureProblem problem;
  } cases[] = {
      {"no path", "", {}, PICTURE_NO_PATH},
      {"an empty file", "(empty)", {}, PICTURE_UNKNOWN_FORMAT},
      {"no such file", corpus + "/no-such.png", {}, PICTURE_NO_SUCH_FILE},
      {"a folder", folder, {}, PICTURE_NOT_A_FILE},
#ifndef _WIN32
      {"a pipe", folder + "-pipe", {}, PICTURE_NOT_A_FILE},
#endif
      {"text", "", {'G', 'I', 'F', '8', '9', 'a', 0, 0}, PICTURE_UNKNOWN_FORMAT},
      {"a bitmap of a later header", "", v5, PICTURE_BITMAP_FORM},
      {"a bitmap past 256 MiB", "", BmpFileBytes([] { BmpFields s; s.width = 1 << 20; s.height = 1 << 12; return s; }()),
       PICTURE_TOO_LARGE},
      {"a bitmap cut in its header", "", {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 40, 0, 0}, PICTURE_DAMAGED_BITMAP},
      {"a PNG of 8192 x 8192 with no pixels", "", sized("rgb-8.png", 8192, 8192), PICTURE_DAMAGED_PNG},
      {"a PNG of 8193 x 8192", "", sized("rgb-8.png", 8193, 8192), PICTURE_TOO_LARGE},
#ifndef _WIN32  // Wine's WIC fills in a scan that ends early, and keeps its memory to itself
      {"a JPEG of 6000 x 6000 with no pixels", "", sized("baseline-444.jpg", 6000, 6000), PICTURE_DAMAGED_JPEG},
      {"a progressive JPEG of 6000 x 6000", "", sized("progressive.jpg", 6000, 6000), PICTURE_TOO_LARGE},
#endif
      {"a JPEG claiming 65000 x 65000", damaged + "/huge.jpg", {}, PICTURE_TOO_LARGE},
#ifndef _WIN32  // Wine's WIC passes over a bad CRC as a warning, and shows the picture
      {"a PNG with a bad CRC", damaged + "/bad-crc.png", {}, PICTURE_DAMAGED_PNG},
#endif
  };
  for (const auto& c : cases) {
    const bool write = !c.bytes.empty() || c.path == "(empty)";
    const std::string path = write ? WriteTempFile("refused", c.bytes) : c.path;
    PictureProblem problem = PICTURE_FINE;
    EXPECT_EQ(LoadPictureFile(path.c_str(), 0, &problem), nullptr) << c.what;
    EXPECT_EQ(problem, c.problem) << c.what << ": " << PictureProblemText(problem);
    EXPECT_EQ(LoadBitmapFile(path.c_str()), nullptr) << c.what;  // refused by the bitmap reader too
  }
  EXPECT_EQ(LoadBitmapFile(nullptr), nullptr);
  rmdir(folder.c_str());
  std::remove((folder + "-pipe").c_str());
  // Cut before each chunk or marker (the end's own excepted: all is there).
  for (const char* name : {"rgba-8.png", "rgb-8-interlaced.png", "baseline-420.jpg", "progressive.jpg"}) {
    const Bytes file = FileBytes(corpus + "/" + name);
    const std::vector<size_t> starts = PieceStarts(file);
    ASSERT_GE(starts.size(), 3u) << name;
    for (size_t i = 0; i + 1 < starts.size(); ++i) {
      PictureProblem problem = PICTURE_FINE;
      EXPECT_EQ(LoadPictureMemory(file.data(), starts[i], 0, &problem), nullptr) << name << " cut at " << starts[i];
      EXPECT_EQ(problem, name[0] == 'r' ? PICTURE_DAMAGED_PNG : PICTURE_DAMAGED_JPEG) << name << " cut at " << starts[i];
    }
  }
}

}  // namespace
