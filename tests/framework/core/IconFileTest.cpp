#include "framework/core/IconFile.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Bytes = std::vector<uint8_t>;

void PutWord(Bytes& out, size_t at, uint32_t v) {
  out[at] = static_cast<uint8_t>(v);
  out[at + 1] = static_cast<uint8_t>(v >> 8);
}
void PutDWord(Bytes& out, size_t at, uint32_t v) {
  PutWord(out, at, v & 0xFFFF);
  PutWord(out, at + 2, v >> 16);
}

struct TEntry {
  int width, height, bitCount, headerBitCount;
};

// An icon file whose images are bare 40-byte DIB headers followed by a few bytes.
Bytes IconFile(std::initializer_list<TEntry> entries) {
  const size_t imageSize = 48;
  Bytes out(6 + 16 * entries.size() + imageSize * entries.size(), 0);
  PutWord(out, 2, 1);
  PutWord(out, 4, static_cast<uint32_t>(entries.size()));
  size_t i = 0;
  for (const TEntry& e : entries) {
    const size_t entry = 6 + 16 * i, image = 6 + 16 * entries.size() + imageSize * i;
    out[entry] = static_cast<uint8_t>(e.width & 0xFF);
    out[entry + 1] = static_cast<uint8_t>(e.height & 0xFF);
    PutWord(out, entry + 6, static_cast<uint32_t>(e.bitCount));
    PutDWord(out, entry + 8, imageSize);
    PutDWord(out, entry + 12, static_cast<uint32_t>(image));
    PutDWord(out, image, 40);
    PutWord(out, image + 14, static_cast<uint32_t>(e.headerBitCount));
    ++i;
  }
  return out;
}

TEST(IconFile, DirectoryListsEveryImage) {
  const Bytes file = IconFile({{16, 16, 8, 8}, {48, 48, 0, 32}, {256, 256, 32, 32}});
  const std::vector<TIconImageInfo> images = ReadIconDirectory(file.data(), file.size());
  ASSERT_EQ(images.size(), 3u);
  EXPECT_EQ(images[0].Width, 16);
  EXPECT_EQ(images[0].Offset, 6u + 48u);
  EXPECT_EQ(images[1].BitCount, 32);  // the entry said 0: taken from the bitmap header
  EXPECT_EQ(images[2].Width, 256);    // stored as 0
  EXPECT_EQ(images[2].Height, 256);
  EXPECT_EQ(images[2].Size, 48u);
}

TEST(IconFile, MalformedDataIsRefused) {
  const Bytes good = IconFile({{32, 32, 32, 32}});
  struct Case {
    const char* what;
    size_t at;  // byte to change, or the new length when SHORTEN
    uint8_t value;
    bool shorten;
  } cases[] = {
      {"reserved word", 0, 1, false},          {"cursor type", 2, 2, false},
      {"no images", 4, 0, false},              {"directory longer than the file", 4, 9, false},
      {"offset beyond the end", 19, 0x10, false}, {"size beyond the end", 14, 0xFF, false},
      {"not a bitmap header", 22, 12, false},  {"cut inside the image", 60, 0, true},
      {"cut inside the header", 4, 0, true},
  };
  for (const Case& c : cases) {
    Bytes bad = good;
    if (c.shorten)
      bad.resize(c.at);
    else
      bad[c.at] = c.value;
    EXPECT_THROW(ReadIconDirectory(bad.data(), bad.size()), EInvalidIcon) << c.what;
  }
  EXPECT_THROW(ReadIconDirectory(nullptr, 0), EInvalidIcon);
  EXPECT_NO_THROW(ReadIconDirectory(good.data(), good.size()));
}

TEST(IconFile, PngImagesAreAccepted) {
  Bytes file = IconFile({{48, 48, 32, 32}});
  const uint8_t png[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::copy(std::begin(png), std::end(png), file.begin() + 22);
  EXPECT_EQ(ReadIconDirectory(file.data(), file.size()).size(), 1u);
}

TEST(IconFile, BestImageIsTheNearestSizeThenTheDeepest) {
  const std::vector<TIconImageInfo> images = {
      {16, 16, 8, 0, 0}, {48, 48, 8, 0, 0}, {48, 48, 32, 0, 0}, {32, 32, 32, 0, 0}, {24, 24, 4, 0, 0}};
  struct Case {
    int size;
    size_t best;
  } cases[] = {{0, 2}, {48, 2}, {16, 0}, {32, 3}, {20, 0}, {30, 3}, {100, 2}, {24, 4}};
  for (const Case& c : cases) EXPECT_EQ(BestIconImage(images, c.size), c.best) << "size " << c.size;
}

}  // namespace
