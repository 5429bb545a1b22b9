#include "skin/KYRMenu.h"

#include <cstddef>

namespace {

// Painting must not fail for a missing resource: that simply draws nothing.
bool LoadBuiltinBitmap(TBitmap& bitmap, const char* name) {
  try {
    bitmap.LoadFromResourceName(GetModuleHandleA(nullptr), name);
  } catch (const EInvalidGraphic&) {
    return false;
  }
  return true;
}

// A MacOS menu strip: the top HEIGHT rows of resource NAME of the program, stretched over RECT.
void DrawMacStrip(TCanvas& canvas, const RECT& rect, const char* name, int height) {
  TBitmap strip;
  if (!LoadBuiltinBitmap(strip, name)) return;
  strip.SetHeight(height);
  canvas.StretchDraw(rect, strip);
}

}  // namespace

void PaintMenuWindowBorder(TCanvas& canvas, const RECT& windowRect, TColor borderColor, TColor edgeColor) {
  const RECT& wr = windowRect;
  RECT frame{wr.left, wr.top + 1, wr.right - 1, wr.bottom - 1};
  FrameRectColor(canvas, frame, borderColor);
  InflateRect(&frame, -1, -1);
  FrameRectColor(canvas, frame, clWhite);
  canvas.Pen().SetColor(edgeColor);
  canvas.Polyline({{wr.left, wr.bottom - 1}, {wr.right - 1, wr.bottom - 1}, {wr.right - 1, wr.top}, {wr.right, wr.top},
                   {wr.left, wr.top}});
}

void DrawMenuWindowBorder(HWND window, TColor borderColor, TColor edgeColor) {
  RECT wr{};
  if (!GetWindowRect(window, &wr)) return;
  // The desktop's window DC covers the whole screen in screen coordinates.
  TWindowDC screen(GetDesktopWindow(), true);
  TCanvas canvas(screen.Get());
  PaintMenuWindowBorder(canvas, wr, borderColor, edgeColor);
}

void DrawMenuSeparator(TCanvas& canvas, const RECT& rect, TColor color, int barWidth, bool barOnLeft) {
  canvas.Pen().SetColor(color);
  const int y = rect.top + 2;
  canvas.MoveTo(barOnLeft ? rect.left + barWidth + 4 : rect.left + 2, y);
  canvas.LineTo(barOnLeft ? rect.right - 2 : rect.right - barWidth - 4, y);
}

void StretchBuiltinBitmap(TCanvas& canvas, const RECT& rect, const char* name) {
  TBitmap picture;
  if (LoadBuiltinBitmap(picture, name)) canvas.StretchDraw(rect, picture);
}

void DrawMacMenuBar(TCanvas& canvas, const RECT& rect) { DrawMacStrip(canvas, rect, "MACOS_MENU_BAR", 20); }
void DrawMacMenuSelection(TCanvas& canvas, const RECT& rect) { DrawMacStrip(canvas, rect, "MACOS_MENU_SELECT", 20); }
void DrawMacMenuBarSmall(TCanvas& canvas, const RECT& rect) { DrawMacStrip(canvas, rect, "MACOS_MENU_BAR", 12); }

void FrameRectColor(TCanvas& canvas, const RECT& rect, TColor color) {
  canvas.Brush().SetStyle(bsSolid);  // an item's text leaves the brush clear
  canvas.Brush().SetColor(color);
  canvas.FrameRect(rect);
}

void FillRectColor(TCanvas& canvas, const RECT& rect, TColor color) {
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(color);
  canvas.FillRect(rect);
}

// The record size without iPaddedBorderWidth (340 bytes), which every system version accepts.
void GetMenuFont(TFont& font) {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return;
  font.AssignLogFont(metrics.lfMenuFont);
  font.SetColor(clMenuText);
}

void SetMenuItemOwnerDrawHandlers(TMenuItem& item, const TMenuMeasureItemEvent& measureHandler,
                                  const TMenuDrawItemEvent& drawHandler) {
  item.SetOnMeasureItem(measureHandler);
  item.SetOnDrawItem(drawHandler);
  for (int i = 0; i < item.Count(); ++i) SetMenuItemOwnerDrawHandlers(*item.Items(i), measureHandler, drawHandler);
}
