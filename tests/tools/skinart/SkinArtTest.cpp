#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>

#include "tests/support/TestSupport.h"
#include "tools/skin-artgen/ArtCanvas.h"
#include "tools/skin-artgen/SkinArt.h"
#include "tools/skin-artgen/SkinLook.h"

namespace {

std::string ResFolder() { return EnvOr("VANTOR_SOURCE_DIR", ".") + "/skin/res"; }

int Channel(uint32_t c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

// Largest per-channel difference of two 0xRRGGBB colours.
int Distance(uint32_t a, uint32_t b) {
  int d = 0;
  for (int shift : {0, 8, 16}) d = std::max(d, std::abs(Channel(a, shift) - Channel(b, shift)));
  return d;
}

const TBmpImage& Art(const std::string& name) {
  static std::map<std::string, TBmpImage> cache;
  auto found = cache.find(name);
  if (found != cache.end()) return found->second;
  const ArtResource* r = FindArtResource(name);
  EXPECT_NE(r, nullptr) << name;
  return cache[name] = r ? PaintArt(*r) : TBmpImage{};
}

TEST(SkinArtTable, NamesAreUniqueAndEveryStyleHasItsElements) {
  std::set<std::string> names;
  std::map<ArtStyle, int> perStyle;
  for (const ArtResource& r : ArtResources()) {
    EXPECT_TRUE(names.insert(r.name).second) << r.name;
    EXPECT_EQ(r.width % r.frames, 0) << r.name;
    ++perStyle[r.style];
  }
  EXPECT_EQ(names.size(), 100u);
  // 19 element pictures per style; the last three share MORE_SCROLLBUTTON.
  EXPECT_EQ(perStyle[ArtStyle::MacOS], 19 + 3);  // + form background, menu strips
  EXPECT_EQ(perStyle[ArtStyle::WinXP], 19);
  EXPECT_EQ(perStyle[ArtStyle::DeepBlue], 18);
  EXPECT_EQ(perStyle[ArtStyle::Protein], 18 + 1);
  EXPECT_EQ(perStyle[ArtStyle::BlueGlass], 18);
  EXPECT_EQ(FindArtResource("DEEPBLUE_SCROLLBUTTON"), nullptr);
  EXPECT_NE(FindArtResource("MORE_SCROLLBUTTON"), nullptr);
}

TEST(SkinArtTable, CommittedFilesAndScriptAreWhatTheGeneratorWrites) {
  for (const ArtResource& r : ArtResources()) {
    SCOPED_TRACE(r.name);
    TBmpImage file = LoadBmpFile(ResFolder() + "/" + r.name + ".bmp");
    EXPECT_EQ(file.Width, r.width);
    EXPECT_EQ(file.Height, r.height);
    EXPECT_EQ(file.BitsPerPixel, r.bitsPerPixel);
    EXPECT_EQ(file.Pixels, Art(r.name).Pixels) << "run `make art` after changing the generator";
  }
  Bytes rc = ReadFileBytes(ResFolder() + "/Skin.rc");
  EXPECT_EQ(std::string(rc.begin(), rc.end()), ResourceScript());
}

TEST(SkinArtTable, EveryBitmapFitsItsDepth) {
  for (const ArtResource& r : ArtResources()) {
    const TBmpImage& image = Art(r.name);
    std::set<uint32_t> colors(image.Pixels.begin(), image.Pixels.end());
    if (r.bitsPerPixel <= 8) {
      EXPECT_LE(colors.size(), size_t{1} << r.bitsPerPixel) << r.name;
    }
    EXPECT_NO_THROW(EncodeBmp(image)) << r.name;
  }
}

// ---- transparency where the drawing code keys on it ----

struct CornerCase {
  const char* name;
  bool magenta;  // corners of every frame magenta (else opaque)
};

TEST(SkinArtLook, FrameCornersAreTransparentExactlyWhereTheStyleWantsIt) {
  const CornerCase cases[] = {
      {"MACOS_BUTTON", true},          {"BLUEGLASS_BUTTON", true},
      {"WINXP_BUTTON", false},         {"DEEPBLUE_BUTTON", false},
      {"PROTEIN_BUTTON", false},       {"PROTEIN_TITLEBTN", true},
      {"BLUEGLASS_TITLEBTN", true},    {"MACOS_TITLEBTN", false},
      {"WINXP_TITLEBTN", false},       {"DEEPBLUE_TITLEBTN", false},
      {"MACOS_TRACKBAR_BAR", true},    {"MACOS_TRACKBAR_SLIDER", true},
      {"WINXP_TRACKBAR_SLIDER_V", true}, {"MACOS_SCROLLBAR_TRACK", true},
      {"WINXP_SCROLLBAR_BUTTON", false}, {"MDI_CONTROL_BUTTON", true},
      {"DBNAV_BUTTON", true},          {"MACOS_TITLE_LEFT", false},
  };
  for (const CornerCase& c : cases) {
    SCOPED_TRACE(c.name);
    const ArtResource* r = FindArtResource(c.name);
    ASSERT_NE(r, nullptr);
    const TBmpImage& image = Art(c.name);
    int fw = r->width / r->frames;
    // The three-slice bar has caps only at the strip's ends.
    int frames = r->element == ArtElement::TrackBarBar || r->element == ArtElement::ScrollBarThumb ? 1 : r->frames;
    if (frames == 1) fw = r->width;
    for (int f = 0; f < frames; ++f) {
      for (auto [x, y] : {std::pair{f * fw, 0}, std::pair{f * fw + fw - 1, r->height - 1}}) {
        EXPECT_EQ(image.Pixel(x, y) == KeyMagenta, c.magenta) << "frame " << f + 1 << " at " << x << "," << y;
      }
    }
  }
}

TEST(SkinArtLook, MenuCheckMarkKeysOnWhiteAndTheMarkIsDark) {
  const TBmpImage& check = Art("MENU_CHECKED");
  EXPECT_EQ(check.Pixel(0, 0), 0xFFFFFFu);
  EXPECT_EQ(check.Pixel(15, 15), 0xFFFFFFu);
  int dark = 0;
  for (uint32_t p : check.Pixels) dark += Distance(p, 0) < 0x40;
  EXPECT_GT(dark, 12);
  for (uint32_t p : check.Pixels) EXPECT_NE(p, KeyMagenta);
}

TEST(SkinArtLook, MacTitleButtonsAreRedYellowAndGreenLights) {
  const TBmpImage& strip = Art("MACOS_TITLEBTN");
  auto centre = [&](int frame) { return strip.Pixel((frame - 1) * 17 + 8, 13); };  // below the glyph
  uint32_t close = centre(16), minimise = centre(13), maximise = centre(7);
  EXPECT_GT(Channel(close, 16), Channel(close, 8) + 80);            // red
  EXPECT_GT(Channel(minimise, 8), Channel(minimise, 0) + 80);       // yellow: red and green
  EXPECT_GT(Channel(minimise, 16), Channel(minimise, 0) + 80);
  EXPECT_GT(Channel(maximise, 8), Channel(maximise, 16) + 60);      // green
}

TEST(SkinArtLook, OpaqueTitleButtonsCarryTheStripBehindThem) {
  for (const char* style : {"MACOS", "WINXP"}) {
    SCOPED_TRACE(style);
    const ArtResource* buttons = FindArtResource(std::string(style) + "_TITLEBTN");
    const SkinLook& look = LookOf(buttons->style);
    const TBmpImage& strip = Art(std::string(style) + "_TITLE_CLIENT");
    const TBmpImage& frames = Art(buttons->name);
    // Frame corners lie on strip row titleButtonTop (top) and below.
    EXPECT_LE(Distance(frames.Pixel(0, 0), strip.Pixel(0, look.titleButtonTop)), 12);
    int bottom = buttons->height - 1;
    EXPECT_LE(Distance(frames.Pixel(0, bottom), strip.Pixel(0, look.titleButtonTop + bottom)), 12);
  }
}

TEST(SkinArtLook, TitlePiecesJoinWithoutASeam) {
  for (const char* style : {"MACOS", "WINXP", "DEEPBLUE", "PROTEIN", "BLUEGLASS"}) {
    SCOPED_TRACE(style);
    const TBmpImage& left = Art(std::string(style) + "_TITLE_LEFT");
    const TBmpImage& client = Art(std::string(style) + "_TITLE_CLIENT");
    const TBmpImage& right = Art(std::string(style) + "_TITLE_RIGHT");
    ASSERT_EQ(left.Height, client.Height);
    ASSERT_EQ(right.Height, client.Height);
    for (int y = 0; y < client.Height; ++y) {
      EXPECT_LE(Distance(left.Pixel(left.Width - 1, y), client.Pixel(0, y)), 24) << "row " << y;
      EXPECT_LE(Distance(client.Pixel(client.Width - 1, y), right.Pixel(0, y)), 24) << "row " << y;
    }
  }
}

TEST(SkinArtLook, StretchedPartsHaveUniformMiddles) {
  // The nine-grid stretches a button frame's middle column, the three-slice bar its middle
  // third: those must be alike column by column.
  for (const char* name : {"MACOS_BUTTON", "DEEPBLUE_BUTTON", "MACOS_TRACKBAR_BAR", "WINXP_SCROLLBAR_TRACK"}) {
    SCOPED_TRACE(name);
    const ArtResource* r = FindArtResource(name);
    const TBmpImage& image = Art(name);
    int fw = r->width / r->frames;
    int from = r->frames == 3 && r->element != ArtElement::Button ? fw : fw / 2 - 1;
    int to = r->frames == 3 && r->element != ArtElement::Button ? 2 * fw - 1 : fw / 2 + 1;
    for (int y = 0; y < r->height; ++y)
      for (int x = from; x <= to; ++x) EXPECT_EQ(image.Pixel(x, y), image.Pixel(from, y)) << x << "," << y;
  }
}

// ---- drawing primitives ----

TEST(ArtCanvas, FlattenKeysUncoveredPixelsAndBlendsEdges) {
  ArtCanvas canvas(10, 10);
  canvas.Fill(Circle(5, 5, 4), Flat(Hex(0x0000FF)));
  TBmpImage image = canvas.Flatten(Hex(0xFFFFFF));
  EXPECT_EQ(image.Pixel(0, 0), KeyMagenta);
  EXPECT_EQ(image.Pixel(5, 5), 0x0000FFu);
  // An edge pixel, partly covered, lies between the matte and the paint.
  uint32_t edge = image.Pixel(2, 2);
  EXPECT_NE(edge, KeyMagenta);
  EXPECT_EQ(Channel(edge, 0), 0xFF);
  EXPECT_GT(Channel(edge, 16), 0);
  // A colour equal to the key is nudged off it.
  ArtCanvas keyed(1, 1);
  keyed.FillRect(0, 0, 1, 1, Flat(Hex(KeyMagenta)));
  EXPECT_NE(keyed.Flatten(Rgb{}).Pixel(0, 0), KeyMagenta);
}

TEST(ArtCanvas, ReduceColorsKeepsTheKeyAndTheLimit) {
  TBmpImage image = MakeBmpImage(64, 4);
  for (int x = 0; x < 64; ++x) {
    image.Pixel(x, 0) = KeyMagenta;
    for (int y = 1; y < 4; ++y) image.Pixel(x, y) = static_cast<uint32_t>(x * 4) << 8 | (y * 60);
  }
  image.Pixel(3, 3) = 0xFE01FE;  // next to the key: must not become it
  ReduceColors(image, 16);
  std::set<uint32_t> colors(image.Pixels.begin(), image.Pixels.end());
  EXPECT_LE(colors.size(), 16u);
  for (int x = 0; x < 64; ++x) EXPECT_EQ(image.Pixel(x, 0), KeyMagenta);
  EXPECT_NE(image.Pixel(3, 3), KeyMagenta);
  // The dark and bright ends stay apart.
  EXPECT_GT(Distance(image.Pixel(0, 1), image.Pixel(63, 1)), 150);
}

}  // namespace
