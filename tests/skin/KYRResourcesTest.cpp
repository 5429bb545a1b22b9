// The built-in skin bitmaps as the module carries them: every name the style tables and
// the controls ask for, with its size and depth, loadable by Windows, and magenta where the
// drawing code expects the transparent key.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "framework/core/BmpCodec.h"
#include "framework/graphics/GdiHandles.h"
#include "framework/graphics/Graphics.h"

namespace {

struct Expected {
  const char* name;
  int width;
  int height;
  int bpp;
};

// Element pictures per style, then the ones the controls load by fixed name.
const Expected kBitmaps[] = {
    {"MACOS_BUTTON", 252, 23, 8}, {"WINXP_BUTTON", 54, 21, 8}, {"DEEPBLUE_BUTTON", 222, 21, 4},
    {"PROTEIN_BUTTON", 222, 21, 8}, {"BLUEGLASS_BUTTON", 231, 27, 8},
    {"MACOS_CHECKBOX", 60, 17, 8}, {"WINXP_CHECKBOX", 52, 13, 8}, {"DEEPBLUE_CHECKBOX", 52, 13, 4},
    {"PROTEIN_CHECKBOX", 52, 13, 4}, {"BLUEGLASS_CHECKBOX", 52, 13, 4},
    {"MACOS_RADIOBUTTON", 64, 17, 8}, {"WINXP_RADIOBUTTON", 52, 13, 8},
    {"DEEPBLUE_RADIOBUTTON", 52, 13, 4}, {"PROTEIN_RADIOBUTTON", 52, 13, 4},
    {"BLUEGLASS_RADIOBUTTON", 52, 13, 4},
    {"MACOS_TITLEBTN", 306, 17, 24}, {"WINXP_TITLEBTN", 378, 21, 24}, {"DEEPBLUE_TITLEBTN", 342, 19, 4},
    {"PROTEIN_TITLEBTN", 342, 19, 4}, {"BLUEGLASS_TITLEBTN", 342, 19, 4},
    {"MACOS_TITLE_LEFT", 48, 23, 8}, {"WINXP_TITLE_LEFT", 35, 29, 8}, {"DEEPBLUE_TITLE_LEFT", 97, 32, 8},
    {"PROTEIN_TITLE_LEFT", 441, 23, 8}, {"BLUEGLASS_TITLE_LEFT", 162, 33, 8},
    {"MACOS_TITLE_CLIENT", 49, 23, 8}, {"WINXP_TITLE_CLIENT", 37, 29, 8},
    {"DEEPBLUE_TITLE_CLIENT", 98, 32, 4}, {"PROTEIN_TITLE_CLIENT", 1, 23, 4},
    {"BLUEGLASS_TITLE_CLIENT", 179, 33, 8},
    {"MACOS_TITLE_RIGHT", 48, 23, 8}, {"WINXP_TITLE_RIGHT", 35, 29, 8}, {"DEEPBLUE_TITLE_RIGHT", 97, 32, 8},
    {"PROTEIN_TITLE_RIGHT", 1, 23, 8}, {"BLUEGLASS_TITLE_RIGHT", 101, 33, 8},
    {"MACOS_PROGRESSBAR", 13, 10, 8}, {"WINXP_PROGRESSBAR", 6, 10, 8}, {"DEEPBLUE_PROGRESSBAR", 1, 10, 8},
    {"PROTEIN_PROGRESSBAR", 1, 10, 8}, {"BLUEGLASS_PROGRESSBAR", 1, 10, 8},
    {"MACOS_TRACKBAR_BAR", 45, 5, 24}, {"WINXP_TRACKBAR_BAR", 45, 8, 24},
    {"DEEPBLUE_TRACKBAR_BAR", 45, 4, 24}, {"PROTEIN_TRACKBAR_BAR", 45, 4, 24},
    {"BLUEGLASS_TRACKBAR_BAR", 45, 4, 24},
    {"MACOS_TRACKBAR_SLIDER", 11, 20, 24}, {"WINXP_TRACKBAR_SLIDER", 11, 21, 24},
    {"DEEPBLUE_TRACKBAR_SLIDER", 11, 20, 24}, {"PROTEIN_TRACKBAR_SLIDER", 11, 20, 24},
    {"BLUEGLASS_TRACKBAR_SLIDER", 11, 20, 24},
    {"MACOS_TRACKBAR_SLIDER_V", 19, 11, 8}, {"WINXP_TRACKBAR_SLIDER_V", 22, 11, 8},
    {"DEEPBLUE_TRACKBAR_SLIDER_V", 18, 11, 8}, {"PROTEIN_TRACKBAR_SLIDER_V", 18, 11, 8},
    {"BLUEGLASS_TRACKBAR_SLIDER_V", 18, 11, 8},
    {"MACOS_SCROLLBAR_BUTTON", 96, 22, 8}, {"WINXP_SCROLLBAR_BUTTON", 96, 17, 8},
    {"DEEPBLUE_SCROLLBAR_BUTTON", 96, 16, 4}, {"PROTEIN_SCROLLBAR_BUTTON", 96, 16, 8},
    {"BLUEGLASS_SCROLLBAR_BUTTON", 102, 16, 4},
    {"MACOS_SCROLLBAR_TRACK", 33, 16, 8}, {"WINXP_SCROLLBAR_TRACK", 21, 16, 8},
    {"DEEPBLUE_SCROLLBAR_TRACK", 21, 16, 4}, {"PROTEIN_SCROLLBAR_TRACK", 21, 16, 4},
    {"BLUEGLASS_SCROLLBAR_TRACK", 21, 16, 8},
    {"MACOS_CHECKLIST", 40, 11, 8}, {"WINXP_CHECKLIST", 44, 11, 4}, {"DEEPBLUE_CHECKLIST", 44, 11, 4},
    {"PROTEIN_CHECKLIST", 44, 11, 4}, {"BLUEGLASS_CHECKLIST", 44, 11, 4},
    {"MACOS_SCROLLBUTTON", 72, 18, 8}, {"WINXP_SCROLLBUTTON", 72, 18, 8}, {"MORE_SCROLLBUTTON", 72, 17, 4},
    {"MACOS_TAB", 36, 27, 8}, {"WINXP_TAB", 18, 18, 8}, {"DEEPBLUE_TAB", 12, 17, 4},
    {"PROTEIN_TAB", 18, 17, 4}, {"BLUEGLASS_TAB", 18, 17, 4},
    {"MACOS_TAB_LINE", 17, 7, 8}, {"WINXP_TAB_LINE", 8, 1, 4}, {"DEEPBLUE_TAB_LINE", 5, 5, 4},
    {"PROTEIN_TAB_LINE", 10, 5, 4}, {"BLUEGLASS_TAB_LINE", 10, 5, 4},
    {"MACOS_SIDECHENNEL_HANDLE", 7, 84, 8}, {"WINXP_SIDECHENNEL_HANDLE", 8, 86, 8},
    {"DEEPBLUE_SIDECHENNEL_HANDLE", 8, 83, 4}, {"PROTEIN_SIDECHENNEL_HANDLE", 8, 83, 4},
    {"BLUEGLASS_SIDECHENNEL_HANDLE", 8, 86, 8},
    {"MACOS_SIDECHENNEL_BAR", 1, 21, 8}, {"WINXP_SIDECHENNEL_BAR", 1, 21, 8},
    {"DEEPBLUE_SIDECHENNEL_BAR", 1, 20, 4}, {"PROTEIN_SIDECHENNEL_BAR", 1, 21, 4},
    {"BLUEGLASS_SIDECHENNEL_BAR", 1, 21, 4},
    // Loaded by fixed name; their depth is the artwork's choice, their size is not.
    {"MACOS_FORM_BACKGROUND", 8, 8, 0}, {"PROTEIN_FORM_BACKGROUND", 8, 8, 0},
    {"MACOS_MENU_BAR", 1, 22, 0}, {"MACOS_MENU_SELECT", 1, 21, 0}, {"MENU_CHECKED", 16, 16, 0},
    {"MDI_CONTROL_BUTTON", 48, 16, 0}, {"DBNAV_BUTTON", 160, 16, 0},
};

// The resource's bytes: a DIB (header, colour table, bits), as the resource compiler
// stores a .bmp file without its file header.
std::vector<uint8_t> ResourceBytes(const char* name) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC info = FindResourceA(module, name, MAKEINTRESOURCEA(2) /* RT_BITMAP */);
  if (info == nullptr) return {};
  HGLOBAL loaded = LoadResource(module, info);
  const auto* data = static_cast<const uint8_t*>(LockResource(loaded));
  if (data == nullptr) return {};
  return std::vector<uint8_t>(data, data + SizeofResource(module, info));
}

// The resource as the portable codec reads it.
TBmpImage DecodedResource(const char* name) {
  const std::vector<uint8_t> dib = ResourceBytes(name);
  return DecodeDib(dib.data(), dib.size());
}

// The resource as Windows loads it, as a DIB section.
TBitmapHandle LoadedResource(const char* name) {
  return TBitmapHandle(
      static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR param) {
  if (!IS_INTRESOURCE(name)) reinterpret_cast<std::set<std::string>*>(param)->insert(name);
  return TRUE;
}

TEST(KYRResources, EveryBitmapHasTheSizeAndDepthTheStylesNeed) {
  for (const Expected& e : kBitmaps) {
    SCOPED_TRACE(e.name);
    std::vector<uint8_t> dib = ResourceBytes(e.name);
    ASSERT_GE(dib.size(), sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header;
    memcpy(&header, dib.data(), sizeof header);
    EXPECT_EQ(header.biSize, sizeof(BITMAPINFOHEADER));
    EXPECT_EQ(header.biWidth, e.width);
    EXPECT_EQ(header.biHeight < 0 ? -header.biHeight : header.biHeight, e.height);
    if (e.bpp != 0) {
      EXPECT_EQ(header.biBitCount, e.bpp);
    }
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
  }
}

TEST(KYRResources, TheModuleCarriesNoOtherBitmaps) {
  std::set<std::string> names;
  EnumResourceNamesA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(2), CollectName,
                     reinterpret_cast<LONG_PTR>(&names));
  std::set<std::string> expected;
  for (const Expected& e : kBitmaps) expected.insert(e.name);
  EXPECT_EQ(names, expected);
}

TEST(KYRResources, WindowsLoadsEveryBitmapAtItsSize) {
  for (const Expected& e : kBitmaps) {
    SCOPED_TRACE(e.name);
    TBitmapHandle bitmap = LoadedResource(e.name);
    ASSERT_TRUE(bitmap);
    BITMAP info{};
    ASSERT_NE(GetObjectA(bitmap.Get(), sizeof info, &info), 0);
    EXPECT_EQ(info.bmWidth, e.width);
    EXPECT_EQ(info.bmHeight, e.height);
  }
}

// GDI's own decoding of each resource, as 32-bit top-down 0x00RRGGBB pixels.
std::vector<uint32_t> PixelsByWindows(const char* name, int width, int height) {
  TBitmapHandle bitmap = LoadedResource(name);
  BITMAPINFO info = TopDownDibInfo(width, height);
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  TMemoryDC dc(nullptr);
  if (GetDIBits(dc.Get(), bitmap.Get(), 0, height, pixels.data(), &info, DIB_RGB_COLORS) != height)
    pixels.clear();
  for (uint32_t& p : pixels) p &= 0xFFFFFF;
  return pixels;
}

// Every depth and palette the artwork uses, read by the system and by the portable codec
// (which the bitmap class loads streams with): the two must agree pixel for pixel.
TEST(KYRResources, WindowsAndTheCodecDecodeEveryBitmapAlike) {
  for (const Expected& e : kBitmaps) {
    TBmpImage image = DecodedResource(e.name);
    for (uint32_t& p : image.Pixels) p &= 0xFFFFFF;
    EXPECT_EQ(PixelsByWindows(e.name, e.width, e.height), image.Pixels) << e.name;
  }
}

TEST(KYRResources, TitleButtonStripsHoldEighteenSquareFrames) {
  for (const char* name : {"MACOS_TITLEBTN", "WINXP_TITLEBTN", "DEEPBLUE_TITLEBTN",
                           "PROTEIN_TITLEBTN", "BLUEGLASS_TITLEBTN"}) {
    const TBmpImage image = DecodedResource(name);
    EXPECT_EQ(image.Width, 18 * image.Height) << name;
  }
}

struct KeyProbe {
  const char* name;
  int x, y;
  uint32_t color;  // 0xRRGGBB expected there
};

// Corners outside the drawn shapes, where the drawing code's key must show through; the
// menu check mark is keyed on white, the others on magenta.
TEST(KYRResources, TransparentCornersCarryTheKey) {
  const KeyProbe probes[] = {
      {"MACOS_BUTTON", 0, 0, 0xFF00FF},         {"MACOS_BUTTON", 251, 22, 0xFF00FF},
      {"BLUEGLASS_BUTTON", 77, 26, 0xFF00FF},   {"PROTEIN_TITLEBTN", 0, 0, 0xFF00FF},
      {"BLUEGLASS_TITLEBTN", 341, 18, 0xFF00FF}, {"MACOS_TRACKBAR_BAR", 0, 0, 0xFF00FF},
      {"WINXP_TRACKBAR_BAR", 44, 7, 0xFF00FF},  {"MACOS_TRACKBAR_SLIDER", 0, 19, 0xFF00FF},
      {"DEEPBLUE_TRACKBAR_SLIDER_V", 17, 0, 0xFF00FF}, {"MACOS_SCROLLBAR_TRACK", 0, 0, 0xFF00FF},
      {"MDI_CONTROL_BUTTON", 0, 15, 0xFF00FF},  {"DBNAV_BUTTON", 0, 0, 0xFF00FF},
      {"DBNAV_BUTTON", 144, 0, 0xFF00FF},       {"MENU_CHECKED", 0, 0, 0xFFFFFF},
      {"MACOS_TAB", 0, 0, 0xFF00FF},
  };
  for (const KeyProbe& p : probes) {
    const TBmpImage image = DecodedResource(p.name);
    EXPECT_EQ(image.Pixel(p.x, p.y) & 0xFFFFFF, p.color) << p.name << " at " << p.x << "," << p.y;
  }
}

TEST(KYRResources, OpaquePicturesHaveNoKeyInTheirCorners) {
  for (const char* name : {"MACOS_TITLE_LEFT", "WINXP_TITLEBTN", "DEEPBLUE_BUTTON", "WINXP_SCROLLBAR_BUTTON",
                           "MACOS_MENU_BAR", "MACOS_FORM_BACKGROUND"}) {
    const TBmpImage image = DecodedResource(name);
    for (auto [x, y] : {std::pair{0, 0}, std::pair{image.Width - 1, image.Height - 1}})
      EXPECT_NE(image.Pixel(x, y) & 0xFFFFFF, 0xFF00FFu) << name;
  }
}

}  // namespace
