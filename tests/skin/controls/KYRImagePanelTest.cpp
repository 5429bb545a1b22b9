// The skinned image panel: the three draw styles, transparency over the parent, the caption,
// auto-size, a stored description, and handle counts.
#include "skin/controls/KYRImagePanel.h"

#include <gtest/gtest.h>

#include "framework/core/FormReader.h"
#include "framework/ui/Forms.h"
#include "skin/KYRClasses.h"
#include "tests/framework/ui/UiTestHelpers.h"
#include "tests/skin/KYRStandIns.h"
#include "tests/skin/frame/KYRFrameTestSupport.h"

using namespace frametest;

namespace {

// A form with a split parent at (0, 0, 200, 100) and an image panel on it.
struct TPanelOnForm {
  TForm form{nullptr};
  TSplitPanel* parent;
  TkyrImagePanel* panel;
  TPanelOnForm(int left, int top, int width, int height) {
    form.SetBounds(0, 0, 240, 140);
    parent = uitest::Place<TSplitPanel>(&form, 0, 0, 200, 100);
    panel = uitest::Place<TkyrImagePanel>(parent, left, top, width, height);
    panel->SetColor(clYellow);
    form.HandleNeeded();
  }
  // The panel painted through its own off-screen bitmap (WM_PRINTCLIENT).
  std::unique_ptr<TBitmap> Paint() {
    auto shot = FilledBitmap(panel->Width(), panel->Height(), clWhite);
    panel->Perform(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(shot->Canvas().Handle()), PRF_CLIENT);
    return shot;
  }
};

// A 10 x 10 magenta picture with a green 4 x 4 square at (3, 3): the bottom-left pixel, the
// transparent colour, is magenta.
void KeyedPicture(TPicture& picture) {
  TBitmap& b = picture.Bitmap();
  b.SetSize(10, 10);
  b.Canvas().Brush().SetColor(clFuchsia);
  b.Canvas().FillRect(RECT{0, 0, 10, 10});
  b.Canvas().Brush().SetColor(clLime);
  b.Canvas().FillRect(RECT{3, 3, 7, 7});
}

// Pixels darker than mid-grey in R of BITMAP.
int DarkPixels(const TBitmap& bitmap, const RECT& r) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += GetGValue(PixelOf(bitmap, x, y)) < 0x80;
  return n;
}

}  // namespace

TEST(ImagePanel, NormalStretchedAndTiled) {
  struct TRow {
    TkyrDrawStyle style;
    int pictureSize;
    std::initializer_list<TPixelProbe> probes;
  };
  const TRow rows[] = {
      {kyrNormal, 10, {{3, 4, Coded(3, 4, 5)}, {9, 9, Coded(9, 9, 5)}, {12, 3, clYellow}, {24, 24, clYellow}}},
      {kyrStretch, 5, {{0, 0, Coded(0, 0, 5)}, {12, 7, Coded(2, 1, 5)}, {24, 24, Coded(4, 4, 5)}}},
      {kyrTile, 10,  // 3 x 3 tiles, the last row and column cut at the edge
       {{9, 9, Coded(9, 9, 5)}, {12, 3, Coded(2, 3, 5)}, {20, 0, Coded(0, 0, 5)}, {24, 24, Coded(4, 4, 5)}}},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.style);
    TPanelOnForm f(10, 10, 25, 25);
    f.panel->Picture()->Bitmap().Assign(*CodedBitmap(row.pictureSize, row.pictureSize, 5));
    f.panel->SetDrawStyle(row.style);
    ExpectPixels(*f.Paint(), row.probes);
  }
}

TEST(ImagePanel, AnEmptyPictureShowsColourOrTheParent) {
  const struct {
    bool emptyBitmap, transparent;
    TColor at0, at9;
  } rows[] = {
      {false, false, clYellow, clYellow}, {true, false, clYellow, clYellow},  // a 0 x 0 tile draws nothing
      {false, true, clRed, clBlue},       {true, true, clRed, clBlue},
  };
  for (const auto& r : rows) {
    TPanelOnForm f(45, 10, 10, 10);
    if (r.emptyBitmap) f.panel->Picture()->Bitmap();
    f.panel->SetDrawStyle(kyrTile);
    f.panel->SetTransparent(r.transparent);
    ExpectPixels(*f.Paint(), {{0, 0, r.at0}, {9, 0, r.at9}});
  }
}

TEST(ImagePanel, TransparencyShowsTheParentThroughTheKeyAndFollowsThePicture) {
  TPanelOnForm f(45, 10, 10, 10);  // over the parent's red/blue edge at x = 50
  KeyedPicture(*f.panel->Picture());
  f.panel->SetTransparent(true);
  EXPECT_TRUE(f.panel->Picture()->Graphic()->Transparent());
  ExpectPixels(*f.Paint(), {{0, 0, clRed}, {9, 9, clBlue}, {4, 4, clLime}});
  f.panel->SetTransparent(false);
  EXPECT_FALSE(f.panel->Picture()->Graphic()->Transparent());
  ExpectPixels(*f.Paint(), {{0, 0, clFuchsia}, {4, 4, clLime}});
  f.panel->SetTransparent(true);
  KeyedPicture(*f.panel->Picture());  // a new graphic takes the panel's transparency too
  f.panel->Picture()->SetGraphic(std::make_unique<TBitmap>(4, 4));
  EXPECT_TRUE(f.panel->Picture()->Graphic()->Transparent());
}

namespace {
class TTextWatcher : public TkyrImagePanel {
public:
  using TkyrImagePanel::TkyrImagePanel;
  std::vector<RECT> changes;

protected:
  void TextChanged(const RECT& last) override { changes.push_back(last); }
};
}  // namespace

TEST(ImagePanel, CaptionOnOneLineByAlignmentAndNotWhenBlank) {
  const struct {
    const char* caption;
    TAlignment alignment;
    bool left, right;
  } rows[] = {
      {"Caption", taRightJustify, false, true},
      {"Caption", taLeftJustify, true, false},
      {"   ", taLeftJustify, false, false},
  };
  for (const auto& r : rows) {
    TPanelOnForm f(0, 0, 160, 30);
    f.panel->SetColor(clWhite);
    f.panel->Font()->SetColor(clBlack);
    f.panel->SetAlignment(r.alignment);
    f.panel->SetCaption(r.caption);
    auto shot = f.Paint();
    EXPECT_EQ(DarkPixels(*shot, RECT{0, 0, 60, 30}) > 0, r.left) << r.caption << r.alignment;
    EXPECT_EQ(DarkPixels(*shot, RECT{100, 0, 160, 30}) > 0, r.right) << r.caption << r.alignment;
    EXPECT_EQ(DarkPixels(*shot, RECT{0, 0, 160, 6}) + DarkPixels(*shot, RECT{0, 24, 160, 30}), 0);  // centred
  }
  TForm form(nullptr);
  auto* watcher = uitest::Place<TTextWatcher>(&form, 0, 0, 40, 20);
  form.HandleNeeded();
  auto shot = FilledBitmap(40, 20, clWhite);
  watcher->Perform(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(shot->Canvas().Handle()), PRF_CLIENT);
  watcher->SetCaption("x");
  ASSERT_EQ(watcher->changes.size(), 1u);
  EXPECT_TRUE(SameRect(watcher->changes[0], RECT{0, 0, 40, 20}));
}

TEST(ImagePanel, AutoSizeFollowsThePictureByAlign) {
  const struct {
    TAlign align;
    int widthBefore, width, height;
  } rows[] = {
      {alNone, 40, 7, 3}, {alTop, 150, 150, 3}, {alLeft, 40, 7, 150}, {alClient, 150, 150, 150},
  };
  for (const auto& r : rows) {
    TForm form(nullptr);
    form.SetClientWidth(150);
    form.SetClientHeight(150);
    auto* panel = uitest::Place<TkyrImagePanel>(&form, 0, 0, 40, 40);
    panel->SetAlign(r.align);
    panel->Picture()->Bitmap().SetSize(7, 3);
    EXPECT_EQ(panel->Width(), r.widthBefore) << "no auto-size yet, align " << r.align;
    panel->SetAutoSize(true);
    EXPECT_EQ(panel->Width(), r.width) << r.align;
    EXPECT_EQ(panel->Height(), r.height) << r.align;
  }
}

TEST(ImagePanel, AStoredDescriptionGoesThroughPictureChanged) {
  RegisterSkinClasses();
  TPicture picture;
  picture.Bitmap().Assign(*CodedBitmap(7, 3, 5));
  std::string hex;
  for (uint8_t b : picture.WriteData()) {
    static const char digits[] = "0123456789ABCDEF";
    hex += digits[b >> 4];
    hex += digits[b & 15];
  }
  TForm form(nullptr);
  ReadComponentText("object Form1: TForm\n"
                    "  object Img: TkyrImagePanel\n"
                    "    AutoSize = True\n"
                    "    Transparent = True\n"
                    "    DrawStyle = kyrTile\n"
                    "    Picture.Data = {" + hex + "}\n"
                    "  end\n"
                    "end\n",
                    form);
  auto* panel = dynamic_cast<TkyrImagePanel*>(form.FindComponent("Img"));
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->Width(), 7);
  EXPECT_EQ(panel->Height(), 3);
  EXPECT_EQ(panel->DrawStyle(), kyrTile);
  EXPECT_TRUE(panel->Picture()->Graphic()->Transparent());
  EXPECT_EQ(panel->BevelOuter(), bvNone);
  std::vector<std::string> names;
  for (const TPropInfo* p : TkyrImagePanel::StaticClassInfo().Properties()) names.push_back(p->Name);
  const std::vector<std::string> own(names.end() - 4, names.end());
  EXPECT_EQ(own, (std::vector<std::string>{"Picture", "Transparent", "AutoSize", "DrawStyle"}));
}

TEST(ImagePanel, RepaintsAndRemovalLeaveNoHandlesBehind) {
  THandleBaseline baseline;
  {
    TPanelOnForm f(45, 10, 25, 25);
    KeyedPicture(*f.panel->Picture());
    for (int i = 0; i < 300; ++i) {
      f.panel->SetDrawStyle(static_cast<TkyrDrawStyle>(i % 3));
      f.panel->SetTransparent(i % 2 == 0);
      f.Paint();
    }
  }
  baseline.ExpectUnchanged();
}
