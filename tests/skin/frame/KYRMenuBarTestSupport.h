// Helpers of the menu-bar tests, shared by both frames that own a bar (the skinned form panel and
// the MDI frame): menus built item by item, the bar captured as it paints itself, and the two
// looks of a button under the pointer (the Mac selection picture, the other styles' framed box)
// probed at a handful of pixels.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/ui/ComCtrls.h"
#include "framework/ui/Menus.h"
#include "skin/KYRMenu.h"
#include "skin/KYRThemes.h"
#include "tests/framework/ui/UiTestHelpers.h"

namespace bartest {

inline TMenuItem* AddItem(TMenuItem* parent, const std::string& caption, TComponent* owner) {
  auto* item = new TMenuItem(owner);
  item->SetCaption(caption);
  parent->Add(item);
  return item;
}

inline std::vector<std::string> Captions(const TToolBar& bar) {
  std::vector<std::string> captions;
  for (int i = 0; i < bar.ButtonCount(); ++i) captions.push_back(bar.Buttons(i)->Text());
  return captions;
}

// The captions of MENU's top-level items, in order.
inline std::vector<std::string> TopLevelCaptions(const TMenu& menu) {
  std::vector<std::string> captions;
  for (int i = 0; i < menu.Items()->Count(); ++i) captions.push_back(menu.Items()->Items(i)->Caption());
  return captions;
}

// The bar as it paints itself now.
inline std::unique_ptr<uitest::TCapture> CaptureBar(TToolBar& bar) {
  auto capture = std::make_unique<uitest::TCapture>(bar.Width(), bar.Height());
  SendMessageA(bar.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(capture->DC()), PRF_CLIENT);
  return capture;
}

inline POINT ButtonCentre(TToolBar& bar, int index) {
  const RECT r = bar.Buttons(index)->BoundsRect();
  POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ClientToScreen(bar.Handle(), &p);
  return p;
}

// Real pointer moves onto button INDEX until the bar reports it hot.
inline bool HoverButton(TToolBar& bar, int index) {
  uitest::MovePointerTo(ButtonCentre(bar, index));
  return uitest::PumpUntil([&] { return (bar.ButtonState(bar.Buttons(index)) & cdsHot) != 0; });
}

// The pointer parked where no test window is.
inline void ParkPointer() { uitest::MovePointerTo({5, 5}); }

// The built-in picture NAME as it looks stretched over W x H.
inline std::unique_ptr<TBitmap> Stretched(const char* name, int w, int h) {
  auto picture = std::make_unique<TBitmap>(w, h);
  StretchBuiltinBitmap(picture->Canvas(), {0, 0, w, h}, name);
  return picture;
}

inline TColor Solid(TColor c) { return static_cast<TColor>(ColorToRGB(c)); }

inline int CountColour(const uitest::TCapture& capture, const RECT& r, TColor colour) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += capture.Pixel(x, y) == colour;
  return n;
}

// A MacOS bar: "MACOS_MENU_BAR" under every button at rest; with the pointer on button HOT,
// "MACOS_MENU_SELECT" stretched over that button alone.
inline void ExpectMacOSBarPictures(TToolBar& bar, int hot, int other) {
  const int h = bar.Height();
  auto picture = Stretched("MACOS_MENU_BAR", bar.Width(), h);
  const RECT button = bar.Buttons(hot)->BoundsRect();
  auto rest = CaptureBar(bar);
  EXPECT_EQ(rest->Pixel(button.left + 1, 1), picture->Canvas().Pixel(button.left + 1, 1));
  EXPECT_EQ(rest->Pixel(bar.Width() - 2, h - 2), picture->Canvas().Pixel(bar.Width() - 2, h - 2));

  ASSERT_TRUE(HoverButton(bar, hot));
  auto shot = CaptureBar(bar);
  const int bw = button.right - button.left, bh = button.bottom - button.top;
  auto select = Stretched("MACOS_MENU_SELECT", bw, bh);
  EXPECT_EQ(shot->Pixel(button.left + 1, button.top + 1), select->Canvas().Pixel(1, 1));
  EXPECT_EQ(shot->Pixel(button.right - 2, button.bottom - 2), select->Canvas().Pixel(bw - 2, bh - 2));
  const RECT rest2 = bar.Buttons(other)->BoundsRect();  // the others stay on the bar picture
  EXPECT_EQ(shot->Pixel(rest2.left + 1, 1), picture->Canvas().Pixel(rest2.left + 1, 1));
  ParkPointer();
}

// Any other style: button HOT framed in MenuSelectedBorderColor and filled with
// MenuSelectedBackgroundColor; the returned capture is the bar at that moment.
inline std::unique_ptr<uitest::TCapture> ExpectFramedBox(TToolBar& bar, TkyrUIStyle style, int hot) {
  if (!HoverButton(bar, hot)) {
    ADD_FAILURE() << "the button never became hot";
    return nullptr;
  }
  auto shot = CaptureBar(bar);
  const RECT r = bar.Buttons(hot)->BoundsRect();
  EXPECT_EQ(shot->Pixel(r.left, r.top + 5), Solid(GetBuiltinColor(style, KYR_THEME_MENU_SELECTED_BORDER_COLOR)));
  EXPECT_EQ(shot->Pixel(r.left + 2, r.bottom - 3), Solid(GetBuiltinColor(style, KYR_THEME_MENU_SELECTED_BACKGROUND_COLOR)));
  ParkPointer();
  return shot;
}

}  // namespace bartest
