// The skin library's visual test bench: one window per built-in style, and one in the look of a
// theme file, each holding every skinned control the library has, in the states worth seeing.
// Each window is shown on top, captured from the screen and saved:
//   skin-showcase <folder> [<theme file>]     writes <folder>/<Name>.bmp
// (`make showcase` writes the theme file with vantor-theme and turns the sheets into PNGs).
//
// Adding a control: write one section function that places it on the sheet (through
// TSheet::Add, which gives a skinned control the sheet's style) and returns the height it used,
// and add a row to kSections.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "framework/core/Streams.h"
#include "framework/ui/ExtCtrls.h"
#include "framework/ui/Forms.h"
#include "framework/ui/StdCtrls.h"
#include "skin/KYRMgr.h"
#include "skin/controls/KYRMemo.h"
#include "skin/controls/KYRPopupMenu.h"
#include "skin/controls/KYRScrollBar.h"
#include "skin/controls/KYRTrackBar.h"

namespace {

constexpr int kSheetWidth = 560;
constexpr int kMargin = 12;

// ---- the sheet: one window in one style ----

class TSheet {
public:
  // STYLE FromThemeFile reads THEME_FILE.
  TSheet(const std::string& name, TkyrUIStyle style, const std::string& themeFile)
      : name_(name), style_(style), form_(new TForm(nullptr)) {
    if (style == FromThemeFile) {
      theme_ = new TkyrFileTheme(form_);
      theme_->SetThemeFile(themeFile);
      if (!theme_->IsThemeLoaded()) throw Exception("No theme file at " + themeFile);
    }
    form_->SetCaption("Skin showcase: " + name);
    form_->SetColor(Source().Color(KYR_THEME_FORM_BACKGROUND_COLOR));
  }
  ~TSheet() { delete form_; }
  TSheet(const TSheet&) = delete;
  TSheet& operator=(const TSheet&) = delete;

  const std::string& Name() const { return name_; }
  TForm& Form() { return *form_; }
  TkyrStyleSource Source() const { return TkyrStyleSource(theme_, style_); }

  // A skinned component takes the sheet's FileTheme and UIStyle, as from a skinned form.
  void Style(TComponent* component) const {
    if (IkyrSkinned* skinned = AsSkinned(component)) {
      skinned->SetFileTheme(theme_);
      skinned->SetUIStyle(style_);
    }
  }
  // A new control of class T on PARENT (the form by default) at X, Y, W x H, styled.
  template <class T>
  T* Add(int x, int y, int width, int height, TWinControl* parent = nullptr) {
    auto* control = new T(form_);
    Style(control);
    control->SetBounds(x, y, width, height);
    control->SetParent(parent ? parent : form_);
    return control;
  }
  // One line of text at X, Y; HEADING in bold.
  void Caption(int x, int y, const std::string& text, bool heading = false, TWinControl* parent = nullptr) {
    auto* label = Add<TLabel>(x, y, 0, 0, parent);
    label->SetTransparent(true);
    if (heading) label->Font()->SetStyle(TFontStyles{fsBold});
    label->SetCaption(text);
  }

  // The control that has the focus when the window is captured.
  TWinControl* focusTarget = nullptr;

private:
  std::string name_;
  TkyrUIStyle style_;
  TForm* form_;
  TkyrFileTheme* theme_ = nullptr;
};

// ---- helpers the sections share ----

TColor Darker(TColor color, int percent) {
  const COLORREF rgb = ColorToRGB(color);
  const auto channel = [&](int shift) { return ((rgb >> shift & 0xFF) * (100 - percent) / 100) << shift; };
  return static_cast<TColor>(channel(0) | channel(8) | channel(16));
}

// Diagonal stripes: what a see-through control stands on shows through it.
class TStripes : public TCustomControl {
public:
  explicit TStripes(TComponent* owner) : TCustomControl(owner) {}

protected:
  void Paint() override {
    TCanvas& canvas = Canvas();
    canvas.Brush().SetColor(Darker(Color(), 12));
    canvas.Pen().SetStyle(psClear);
    const int h = Height();
    for (int x = 0; x < Width() + h; x += 16)
      canvas.Polygon({{x, 0}, {x + 8, 0}, {x + 8 - h, h}, {x - h, h}});
  }
};

// The items of a popup menu drawn one under the other by the menu's own routines, as the open
// menu shows them (SELECTED under the pointer). A real menu cannot be captured on its own
// window reliably; the drawing is the same.
class TMenuStrip : public TCustomControl {
public:
  explicit TMenuStrip(TComponent* owner) : TCustomControl(owner) {}

  void Show(TkyrPopupMenu* menu, int selected) {
    menu_ = menu;
    selected_ = selected;
    TBitmap scratch(1, 1);
    int width = 0, height = 0;
    heights_.clear();
    for (int i = 0; i < menu->Items()->Count(); ++i) {
      int w = 0, h = 0;
      menu->MeasureMenuItem(menu->Items()->Items(i), scratch.Canvas(), w, h);
      width = std::max(width, w);
      height += h;
      heights_.push_back(h);
    }
    SetBounds(Left(), Top(), std::max(width, Width()), height);
  }

protected:
  void Paint() override {
    if (!menu_) return;
    int y = 0;
    for (int i = 0; i < menu_->Items()->Count(); ++i) {
      const RECT r{0, y, Width(), y + heights_[i]};
      menu_->DrawMenuItem(menu_->Items()->Items(i), Canvas(), r, i == selected_);
      y = r.bottom;
    }
  }

private:
  TkyrPopupMenu* menu_ = nullptr;
  int selected_ = -1;
  std::vector<int> heights_;
};

// ---- the sections: each places its controls below TOP and returns the height it used ----

int TrackBars(TSheet& sheet, int top) {
  const struct {
    const char* Label;
    int32_t Max, Position, Frequency;
    bool Ticks, Enabled, Focused;
  } rows[] = {
      {"0..10 at 3, focused", 10, 3, 1, true, true, true},
      {"0..100 at 60, a tick every 10", 100, 60, 10, true, true, false},
      {"at the maximum, no ticks", 10, 10, 1, false, true, false},
      {"disabled (no look of its own)", 10, 0, 1, true, false, false},
  };
  int y = top;
  for (const auto& row : rows) {
    sheet.Caption(kMargin, y + 3, row.Label);
    auto* bar = sheet.Add<TkyrTrackBar>(kMargin + 180, y, 200, 0);
    bar->SetMax(row.Max);
    bar->SetFrequency(row.Frequency);
    bar->SetPosition(row.Position);
    bar->SetShowTick(row.Ticks);
    bar->SetEnabled(row.Enabled);
    if (row.Focused) sheet.focusTarget = bar;
    y += bar->Height() + 8;
  }
  // On stripes: a see-through track shows them, an opaque one its own colour.
  auto* stripes = sheet.Add<TStripes>(kMargin, y, 392, 62);
  stripes->SetColor(sheet.Form().Color());
  for (const bool transparent : {true, false}) {
    const int rowTop = transparent ? 6 : 34;
    sheet.Caption(8, rowTop + 3, transparent ? "transparent" : "opaque", false, stripes);
    auto* bar = sheet.Add<TkyrTrackBar>(180, rowTop, 200, 0, stripes);
    bar->SetPosition(transparent ? 7 : 4);
    bar->SetTransparent(transparent);
    bar->SetTabStop(false);
  }
  y += stripes->Height();
  // Vertical: the ends, the middle, sparse ticks.
  const struct {
    int32_t Max, Position, Frequency;
    bool Ticks;
  } columns[] = {{10, 0, 1, true}, {10, 5, 1, true}, {10, 10, 1, false}, {40, 25, 10, true}};
  int x = kMargin + 412;
  for (const auto& column : columns) {
    auto* bar = sheet.Add<TkyrTrackBar>(x, top, 0, 0);
    bar->SetOrientation(kyrVertical);
    bar->SetBounds(x, top, bar->Width(), y - top);
    bar->SetMax(column.Max);
    bar->SetFrequency(column.Frequency);
    bar->SetPosition(column.Position);
    bar->SetShowTick(column.Ticks);
    x += bar->Width() + 10;
  }
  return y - top;
}

int PopupMenu(TSheet& sheet, int top) {
  auto* menu = new TkyrPopupMenu(&sheet.Form());
  sheet.Style(menu);
  const struct {
    const char* Caption;
    TShortCut ShortCut;
    bool Checked, Enabled, Default;
  } items[] = {
      {"Open...", static_cast<TShortCut>('O' | scCtrl), false, true, false},
      {"Save (under the pointer)", static_cast<TShortCut>('S' | scCtrl), false, true, false},
      {"Word wrap", 0, true, true, false},
      {"-", 0, false, true, false},
      {"Unavailable", 0, false, false, false},
      {"About Vantor (default)", 0, false, true, true},
  };
  for (const auto& i : items) {
    auto* item = new TMenuItem(&sheet.Form());
    item->SetCaption(i.Caption);
    item->SetShortCut(i.ShortCut);
    item->SetChecked(i.Checked);
    item->SetEnabled(i.Enabled);
    item->SetDefault(i.Default);
    menu->Items()->Add(item);
  }
  auto* strip = sheet.Add<TMenuStrip>(kMargin, top, 240, 0);
  strip->Show(menu, 1);
  return strip->Height();
}

int ScrollBars(TSheet& sheet, int top) {
  const struct {
    const char* Label;
    int32_t Position, PageSize;
    int LineButton;
    bool Enabled;
  } rows[] = {
      {"at 0, thumb 10% (PageSize 2)", 0, 2, 0, true},
      {"at 60, thumb 40% (PageSize 40)", 60, 40, 0, true},
      {"at the maximum, LineButton 24", 100, 2, 24, true},
      {"disabled, thumb hidden", 30, 2, 0, false},
  };
  int y = top;
  for (const auto& row : rows) {
    sheet.Caption(kMargin, y + 2, row.Label);
    auto* bar = sheet.Add<TkyrScrollBar>(kMargin + 200, y, 200, 20);
    bar->SetPageSize(row.PageSize);
    bar->SetLineButton(row.LineButton);
    bar->SetPosition(row.Position);
    bar->SetEnabled(row.Enabled);
    bar->SetThumbVisible(row.Enabled);
    y += bar->Height() + 8;
  }
  int x = kMargin + 420;
  for (const int32_t position : {0, 50, 100}) {
    auto* bar = sheet.Add<TkyrScrollBar>(x, top, 20, y - top - 8);
    bar->SetOrientation(kyrVertical);
    bar->SetBounds(x, top, bar->Width(), y - top - 8);
    bar->SetPageSize(20);
    bar->SetPosition(position);
    x += bar->Width() + 12;
  }
  return y - top;
}

int Memos(TSheet& sheet, int top) {
  std::string text;
  for (int i = 1; i <= 60; ++i)
    text += "Line " + std::to_string(i) + (i % 7 == 0 ? ": a long line that runs past the right edge of the memo" : "") +
            "\r\n";
  auto* memo = sheet.Add<TkyrMemo>(kMargin, top, 300, 130);
  memo->SetWordWrap(false);
  memo->SetText(text);
  auto* vertical = sheet.Add<TkyrScrollBar>(0, 0, 20, 20);
  auto* horizontal = sheet.Add<TkyrScrollBar>(0, 0, 20, 20);
  memo->SetVScrollBar(vertical);
  memo->SetHScrollBar(horizontal);
  sheet.Caption(kMargin + 320, top, "Without bars, short text:");
  auto* plain = sheet.Add<TkyrMemo>(kMargin + 320, top + 20, 200, 60);
  plain->SetText("Two lines\r\nof text.");
  return memo->Height();
}

using TSection = int (*)(TSheet& sheet, int top);
const struct {
  const char* Title;
  TSection Build;
} kSections[] = {
    {"Track bars (TkyrTrackBar)", TrackBars},
    {"Popup menu (TkyrPopupMenu), drawn item by item", PopupMenu},
    {"Scroll bars (TkyrScrollBar)", ScrollBars},
    {"Memo (TkyrMemo) with its skinned scroll bars", Memos},
};

// ---- building, showing and capturing a sheet ----

void Build(TSheet& sheet) {
  int y = kMargin;
  for (const auto& section : kSections) {
    sheet.Caption(kMargin, y, section.Title, true);
    y += 20;
    y += section.Build(sheet, y) + 16;
  }
  sheet.Form().SetClientWidth(kSheetWidth);
  sheet.Form().SetClientHeight(y);
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// The window's pixels as on the screen.
void CaptureWindow(HWND window, TBitmap& into) {
  RECT r;
  GetWindowRect(window, &r);
  into.SetSize(r.right - r.left, r.bottom - r.top);
  TWindowDC screen(nullptr);
  BitBlt(into.Canvas().Handle(), 0, 0, into.Width(), into.Height(), screen.Get(), r.left, r.top, SRCCOPY);
  GdiFlush();
}

bool SamePixels(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    if (!std::equal(a.ScanLine(y), a.ScanLine(y) + a.Width(), b.ScanLine(y))) return false;
  return true;
}

// Shows the sheet on top, lets it paint, and captures it once two captures in a row agree.
void ShowAndSave(TSheet& sheet, const std::string& folder) {
  TForm& form = sheet.Form();
  form.SetBounds(24, 24, form.Width(), form.Height());
  form.Show();
  const HWND window = form.Handle();
  SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetForegroundWindow(window);
  if (sheet.focusTarget) sheet.focusTarget->SetFocus();
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  // Wine hands what a window painted to the X server from its message loop, a little later:
  // keep the loop running between captures.
  TBitmap last, now;
  for (int attempt = 0; attempt < 100; ++attempt) {
    for (int i = 0; i < 5; ++i) {
      Pump();
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    last.Assign(now);
    CaptureWindow(window, now);
    if (attempt >= 2 && SamePixels(last, now)) break;
  }
  now.SetPixelFormat(pf24bit);  // the screen's fourth byte is no alpha channel
  TFileStream out(folder + "\\" + sheet.Name() + ".bmp", fmCreate);
  now.SaveToStream(out);
  form.Hide();
  Pump();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: skin-showcase <output folder> [<theme file>]\n");
    return 2;
  }
  const struct {
    const char* Name;
    TkyrUIStyle Style;
  } sheets[] = {{"MacOS", MacOS}, {"WinXP", WinXP}, {"DeepBlue", DeepBlue}, {"Protein", Protein},
                {"BlueGlass", BlueGlass}, {"ThemeFile", FromThemeFile}};
  try {
    RegisterGraphicsIdents();
    for (const auto& s : sheets) {
      if (s.Style == FromThemeFile && argc < 3) continue;
      TSheet sheet(s.Name, s.Style, argc == 3 ? argv[2] : "");
      Build(sheet);
      ShowAndSave(sheet, argv[1]);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "skin-showcase: %s\n", e.what());
    return 1;
  }
  return 0;
}
