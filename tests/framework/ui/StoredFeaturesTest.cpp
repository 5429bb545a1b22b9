// What stored descriptions of the skinned windows hold: pictures, image lists, hints, anchors,
// cursors, and the properties that are only stored; each is checked for its effect.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/BmpCodec.h"
#include "framework/core/FormReader.h"
#include "framework/graphics/ImgList.h"
#include "framework/ui/ComponentClasses.h"
#include "framework/ui/ExtCtrls.h"
#include "framework/ui/Hints.h"
#include "framework/ui/Menus.h"
#include "framework/ui/StdCtrls.h"
#include "tests/framework/ui/UiTestHelpers.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::string Hex(const Bytes& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i % 32 == 0) text += "\n      ";
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 15];
  }
  return text;
}

void Put(Bytes& out, uint32_t value, int size) {
  for (int i = 0; i < size; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// An .ico file with one 4 x 4 32-bit image of ARGB (opaque), its AND mask all clear.
Bytes IconFile(uint32_t argb) {
  Bytes file;
  Put(file, 0, 2), Put(file, 1, 2), Put(file, 1, 2);
  const uint32_t imageSize = 40 + 4 * 4 * 4 + 4 * 4;
  file.insert(file.end(), {4, 4, 0, 0});
  Put(file, 1, 2), Put(file, 32, 2), Put(file, imageSize, 4), Put(file, 22, 4);
  Put(file, 40, 4), Put(file, 4, 4), Put(file, 8, 4), Put(file, 1, 2), Put(file, 32, 2);
  for (int i = 0; i < 6; ++i) Put(file, 0, 4);
  for (int i = 0; i < 16; ++i) Put(file, argb, 4);
  for (int i = 0; i < 4; ++i) Put(file, 0, 4);
  return file;
}

// A 16 x 8 strip of two images: a red square and a blue one on magenta.
Bytes StripData() {
  TBmpImage image = MakeBmpImage(16, 8, 0x00FF00FF);
  for (int y = 2; y < 6; ++y)
    for (int x = 2; x < 6; ++x) image.Pixel(x, y) = 0x00FF0000, image.Pixel(x + 8, y) = 0x000000FF;
  const Bytes bmp = EncodeBmp(image, 24);
  Bytes data;
  Put(data, static_cast<uint32_t>(bmp.size()), 4);
  data.insert(data.end(), bmp.begin(), bmp.end());
  return data;
}

std::string Description() {
  return R"(object Form1: TForm
  Left = 60
  Top = 60
  BorderStyle = bsSizeable
  ClientWidth = 200
  ClientHeight = 120
  ShowHint = True
  DragMode = dmAutomatic
  Icon.Data = {)" + Hex(IconFile(0xFF008000)) + R"(}
  object Panel1: TPanel
    Left = 150
    Top = 10
    Width = 40
    Height = 30
    Anchors = [akTop, akRight]
    Hint = 'Convert|Converts the movie'
    Cursor = crHandPoint
    PopupMenu = PopupMenu1
  end
  object Memo1: TMemo
    Left = 10
    Top = 50
    Width = 100
    Height = 60
    Anchors = [akLeft, akTop, akRight, akBottom]
    Ctl3D = False
    ImeMode = imClose
    ImeName = 'none'
    OEMConvert = True
    ParentShowHint = False
    BiDiMode = bdRightToLeft
    DragKind = dkDock
    DragCursor = crMultiDrag
  end
  object ImageList1: TImageList
    Height = 8
    Width = 8
    Bitmap = {)" + Hex(StripData()) + R"(}
  end
  object PopupMenu1: TPopupMenu
    Images = ImageList1
    AutoHotkeys = maAutomatic
    object Open1: TMenuItem
      Caption = 'Open'
      Default = True
      ImageIndex = 1
    end
    object Options1: TMenuItem
      Caption = 'Options'
    end
  end
end
)";
}

class StoredFeatures : public ::testing::Test {
protected:
  void SetUp() override {
    RegisterFrameworkClasses();
    ReadComponentText(Description(), *form);
    panel = dynamic_cast<TPanel*>(form->FindComponent("Panel1"));
    memo = dynamic_cast<TMemo*>(form->FindComponent("Memo1"));
    images = dynamic_cast<TImageList*>(form->FindComponent("ImageList1"));
    menu = dynamic_cast<TPopupMenu*>(form->FindComponent("PopupMenu1"));
    ASSERT_TRUE(panel && memo && images && menu);
  }
  void TearDown() override { delete form; }
  TForm* form = new TForm(nullptr);
  TPanel* panel = nullptr;
  TMemo* memo = nullptr;
  TImageList* images = nullptr;
  TPopupMenu* menu = nullptr;
};

TEST_F(StoredFeatures, StoredIconIsTheFormsIcon) {
  ASSERT_EQ(form->Icon()->Width(), 4);
  TBitmap target(8, 8);
  target.Canvas().Draw(2, 2, *form->Icon());
  EXPECT_EQ(target.Canvas().Pixel(3, 3), clGreen);
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(form->Handle(), WM_GETICON, ICON_BIG, 0)), form->Icon()->Handle());
}

TEST_F(StoredFeatures, StoredImageListDrawsItsImagesInTheMenu) {
  ASSERT_EQ(images->Count(), 2);
  EXPECT_EQ(menu->Images(), images);
  TMenuItem* open = menu->Items()->Items(0);
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_STATE;
  GetMenuItemInfoA(menu->Handle(), 0, TRUE, &info);
  EXPECT_TRUE(info.fType & MFT_OWNERDRAW);  // images make the menu owner-drawn
  EXPECT_TRUE(info.fState & MFS_DEFAULT);
  EXPECT_EQ(open->ShownCaption(), "&Open");
  EXPECT_EQ(menu->Items()->Items(1)->ShownCaption(), "O&ptions");

  TBitmap target(120, 20);
  open->DrawItem(target.Canvas(), RECT{0, 0, 120, 20}, false);
  EXPECT_EQ(target.Canvas().Pixel(2 + 3, 6 + 3), clBlue);  // image 1 at the left, centred
  EXPECT_EQ(target.Canvas().Pixel(2, 6), ColorToRGB(clMenu) == 0xFF00FF ? clWhite : ColorToRGB(clMenu));

  delete images;  // the menu forgets the list and draws its items itself again
  EXPECT_EQ(menu->Images(), nullptr);
  GetMenuItemInfoA(menu->Handle(), 0, TRUE, &info);
  EXPECT_FALSE(info.fType & MFT_OWNERDRAW);
}

TEST_F(StoredFeatures, AnchoredPanelAndMemoFollowTheFormsSize) {
  form->SetClientWidth(260);
  form->SetClientHeight(160);
  EXPECT_EQ(panel->BoundsRect().left, 210);
  EXPECT_EQ(panel->Width(), 40);
  EXPECT_EQ(memo->Width(), 160);
  EXPECT_EQ(memo->Height(), 100);
  EXPECT_EQ(memo->Left(), 10);
}

TEST_F(StoredFeatures, HintsCursorsAndStoredOnlyProperties) {
  EXPECT_TRUE(panel->ShowHint());  // from the form
  EXPECT_FALSE(memo->ShowHint());
  EXPECT_EQ(GetShortHint(panel->Hint()), "Convert");
  EXPECT_EQ(panel->Cursor(), crHandPoint);
  EXPECT_EQ(GetEnumProp(*form, "DragMode"), "dmAutomatic");
  EXPECT_EQ(GetEnumProp(*memo, "ImeMode"), "imClose");
  EXPECT_EQ(GetStrProp(*memo, "ImeName"), "none");
  EXPECT_EQ(GetEnumProp(*memo, "BiDiMode"), "bdRightToLeft");
  EXPECT_EQ(GetEnumProp(*memo, "DragKind"), "dkDock");
  EXPECT_EQ(GetOrdProp(*memo, "DragCursor"), crMultiDrag);
  EXPECT_EQ(GetEnumProp(*memo, "ParentBiDiMode"), "False");
  EXPECT_TRUE(GetWindowLongA(memo->Handle(), GWL_STYLE) & ES_OEMCONVERT);
  // EDIT takes WS_BORDER off its style and draws a flat line inside its client area.
  auto leftEdge = [&] {
    uitest::TCapture capture(memo->ClientWidth(), memo->ClientHeight());
    SendMessageA(memo->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(capture.DC()), PRF_CLIENT | PRF_ERASEBKGND);
    return capture.Pixel(0, memo->ClientHeight() / 2);
  };
  EXPECT_FALSE(GetWindowLongA(memo->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_NE(leftEdge(), static_cast<TColor>(ColorToRGB(clWindow)));  // Ctl3D off: the line
  memo->SetCtl3D(true);
  EXPECT_TRUE(GetWindowLongA(memo->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);  // a sunken edge outside
  EXPECT_EQ(leftEdge(), static_cast<TColor>(ColorToRGB(clWindow)));
}

TEST(CursorNames, EveryCursorHasANameBothWays) {
  RegisterFrameworkClasses();
  struct Case {
    const char* name;
    TCursor cursor;
    LPCSTR system;
  } cases[] = {
      {"crDefault", crDefault, IDC_ARROW}, {"crHandPoint", crHandPoint, IDC_HAND}, {"crIBeam", crIBeam, IDC_IBEAM},
      {"crSizeWE", crSizeWE, IDC_SIZEWE},  {"crNoDrop", crNoDrop, IDC_NO},         {"crHSplit", crHSplit, IDC_SIZEWE},
      {"crHelp", crHelp, IDC_HELP},        {"crAppStart", crAppStart, IDC_APPSTARTING},
  };
  for (const Case& c : cases) {
    int64_t value = 0;
    ASSERT_TRUE(IdentToInteger("TCursor", c.name, value)) << c.name;
    EXPECT_EQ(value, c.cursor) << c.name;
    std::string name;
    EXPECT_TRUE(IntegerToIdent("TCursor", c.cursor, name));
    EXPECT_EQ(name, c.name);
    EXPECT_EQ(CursorHandle(c.cursor), LoadCursorA(nullptr, c.system)) << c.name;
  }
  EXPECT_EQ(CursorHandle(crNone), nullptr);
  int64_t value = 0;
  EXPECT_FALSE(IdentToInteger("TCursor", "crPointingFinger", value));
}

TEST(ReadingOrder, OnlyAMiddleEastSystemTurnsTextAround) {
  struct Case {
    TBiDiMode mode;
    bool middleEast, reading, alignment;
  } cases[] = {
      {bdLeftToRight, true, false, false},          {bdRightToLeft, true, true, true},
      {bdRightToLeftNoAlign, true, true, false},    {bdRightToLeftReadingOnly, true, true, false},
      {bdRightToLeft, false, false, false},         {bdRightToLeftReadingOnly, false, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RightToLeftReading(c.mode, c.middleEast), c.reading) << c.mode << " " << c.middleEast;
    EXPECT_EQ(RightToLeftAlignment(c.mode, c.middleEast), c.alignment) << c.mode << " " << c.middleEast;
  }
  TForm form(nullptr);
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  form.SetBiDiMode(bdRightToLeftNoAlign);
  EXPECT_EQ(panel->BiDiMode(), bdRightToLeftNoAlign);  // ParentBiDiMode
  panel->SetBiDiMode(bdLeftToRight);
  EXPECT_FALSE(panel->ParentBiDiMode());
  form.SetBiDiMode(bdRightToLeft);
  EXPECT_EQ(panel->BiDiMode(), bdLeftToRight);
}

}  // namespace
