// Helpers of the owner-drawn skinned menus: the flat frame round a popup menu window, separator
// lines, the MacOS item backgrounds, coloured frames and fills, the system menu font and the
// installation of owner-draw handlers on a menu item tree.
#pragma once

#include "framework/graphics/Graphics.h"
#include "framework/ui/Menus.h"

// The flat border round a popup menu's window WINDOW, drawn on the screen's DC in screen
// coordinates (see PaintMenuWindowBorder).
void DrawMenuWindowBorder(HWND window, TColor borderColor, TColor edgeColor);
// The same border for window rectangle WINDOW_RECT on CANVAS: a BORDER_COLOR frame over
// (L, T + 1, R - 1, B - 1), a white frame inside it, and an EDGE_COLOR polyline
// (L, B - 1) -> (R - 1, B - 1) -> (R - 1, T) -> (R, T) -> (L, T).
void PaintMenuWindowBorder(TCanvas& canvas, const RECT& windowRect, TColor borderColor, TColor edgeColor);

// A COLOR line at RECT.top + 2, clear of the side bar of BAR_WIDTH on the left (BAR_ON_LEFT)
// or on the right.
void DrawMenuSeparator(TCanvas& canvas, const RECT& rect, TColor color, int barWidth, bool barOnLeft);

// MacOS item backgrounds from the built-in strips "MACOS_MENU_BAR" and "MACOS_MENU_SELECT"
// (their top 20 rows, 12 for separators) stretched over RECT; nothing when the resource is missing.
void DrawMacMenuBar(TCanvas& canvas, const RECT& rect);
void DrawMacMenuSelection(TCanvas& canvas, const RECT& rect);
void DrawMacMenuBarSmall(TCanvas& canvas, const RECT& rect);
// The whole built-in bitmap NAME stretched over RECT; nothing when the resource is missing.
void StretchBuiltinBitmap(TCanvas& canvas, const RECT& rect, const char* name);

// A solid brush of COLOR, then a 1-pixel frame / a fill of RECT.
void FrameRectColor(TCanvas& canvas, const RECT& rect, TColor color);
void FillRectColor(TCanvas& canvas, const RECT& rect, TColor color);

// The system's menu font (non-client metrics) with colour clMenuText; FONT is unchanged when the
// system query fails.
void GetMenuFont(TFont& font);

// Installs the two handlers on ITEM and, recursively, on all of its sub-items.
void SetMenuItemOwnerDrawHandlers(TMenuItem& item, const TMenuMeasureItemEvent& measureHandler,
                                  const TMenuDrawItemEvent& drawHandler);
