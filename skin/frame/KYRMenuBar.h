// The skinned menu bar: a flat toolbar under the title bar with one button per top-level item of
// its frame's main menu (the skinned form panel's or the MDI frame's). The frame paints the bar
// through the two custom-draw events; what they draw is here, for both frames:
// - the background: on MacOS the "MACOS_MENU_BAR" picture stretched over the bar (the buttons
//   are drawn on it), otherwise the bar's colour;
// - a button under the pointer or with its drop-down open: on MacOS the "MACOS_MENU_SELECT"
//   picture with the caption centred in the selected font colour, otherwise a box in the
//   selected colours (2 pixels narrower on each side while open);
// - any other button: its caption in the menu font colour (a disabled one grey on a skinned form).
#pragma once

#include <string>

#include "framework/graphics/Graphics.h"
#include "framework/ui/ComCtrls.h"
#include "skin/KYRStyled.h"

class TkyrMainMenu;
class TkyrForm;
class TkyrMDIForm;
class TMainMenu;

// Posted to a frame's own window: rebuild the menu bar's buttons now. A change of the menu's
// top-level items may come from inside a bar button's own handler, so the rebuild waits.
inline constexpr UINT KYR_MSG_REBUILD_MENU_BAR = 9924;
static_assert(KYR_MSG_REBUILD_MENU_BAR > WM_USER);

// The bar itself: a framework toolbar owned by its frame.
class TkyrMenuBar : public TToolBar {
  VANTOR_CLASS(TkyrMenuBar, TToolBar)
public:
  explicit TkyrMenuBar(TComponent* owner);
  // The frame that owns the bar: a skinned form panel or an MDI frame (the other is nullptr).
  TkyrForm* Form() const;
  TkyrMDIForm* MDIForm() const;
};

// What the frame's bar is drawn with.
struct TkyrMenuBarLook {
  // U and T: the main menu's style and theme when the frame shows a TkyrMainMenu (a skinned
  // form), else the frame's own.
  TkyrUIStyle Style = DeepBlue;
  TkyrFileTheme* FileTheme = nullptr;
  // The font's source: a skinned main menu's system font or its own; none: the bar's font.
  const TkyrMainMenu* Menu = nullptr;
  // A skinned form writes disabled captions grey; the MDI frame writes them like the others.
  bool GreyDisabled = true;
};

// The bar's background on CANVAS over RECT (only MacOS draws: the bar's colour is already there).
void PaintMenuBarBackground(TCanvas& canvas, const RECT& rect, const TkyrMenuBarLook& look);
// One button with CAPTION over BOUNDS; HOT under the pointer (or chosen from the keyboard),
// SELECTED while its drop-down is open.
void PaintMenuBarButton(TCanvas& canvas, const RECT& bounds, const std::string& caption, bool enabled, bool hot,
                        bool selected, const TkyrMenuBarLook& look);
// BAR's buttons made again for MENU's top-level items, in menu order: grouped, auto-sized, each
// bound to its item (caption, enabled state) and shown as the item is; owned by OWNER.
void RebuildMenuBarButtons(TToolBar& bar, TMainMenu& menu, TComponent* owner);
// Every bound button of BAR takes its item's caption, enabled state and visibility again.
void UpdateMenuBarButtons(TToolBar& bar);
// The menu bar's colour from a theme file: its MenuMenuBarColor, or when that is open (-1) one by
// the kind of theme its control font colour marks (0x20000, 0x30000), else FALLBACK.
TColor ThemeMenuBarColor(const TkyrStyleSource& source, TColor fallback);
// BUTTON of BAR painted on the bar's canvas in custom-draw STATE (hot, selected).
void PaintMenuBarToolButton(TToolBar& bar, const TToolButton& button, TCustomDrawState state,
                            const TkyrMenuBarLook& look);
// The menu font colour of a button at rest.
TColor MenuBarFontColor(const TkyrStyleSource& source);
