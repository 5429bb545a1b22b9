// The skin library's visual test bench: one window per built-in style, and one in the look of a
// theme file, each framed by a skinned form and holding every skinned control the library has,
// in the states worth seeing.
// Each window is shown on top, captured from the screen and saved:
//   skin-showcase <folder> [<theme file>]     writes <folder>/<Name>.bmp
// (`make showcase` writes the theme file with vantor-theme and turns the sheets into PNGs).
//
// Adding a control: write one section function that places it on the sheet (through
// TSheet::Add, which gives a skinned control the sheet's style) and returns the height it used,
// and add a row to kSections. Sections stack in two columns; a section's X is within its column.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/Streams.h"
#include "framework/ui/ExtCtrls.h"
#include "framework/ui/Forms.h"
#include "framework/ui/StdCtrls.h"
#include "skin/KYRStyled.h"
#include "skin/controls/KYRButton.h"
#include "skin/controls/KYRImagePanel.h"
#include "skin/controls/KYRMemo.h"
#include "skin/controls/KYRPopupMenu.h"
#include "skin/controls/KYRScrollBar.h"
#include "skin/controls/KYRTrackBar.h"
#include "skin/controls/KYRURLLabel.h"
#include "skin/frame/KYRForm.h"
#include "skin/frame/KYRTitleBar.h"
#include "tools/skin-showcase/WindowCapture.h"

namespace {

constexpr int kColumnWidth = 560;
constexpr int kMargin = 12;

// ---- the sheet: one window in one style ----

// A skinned window: the frame and title bar of the style, and the controls on the skinned
// form's panel, below its title bar.
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
    skin_ = new TkyrForm(form_);
    skin_->SetFileTheme(theme_);
    skin_->SetUIStyle(style);
    skin_->SetCaption("Skin showcase: " + name);
    form_->SetColor(Background());
  }
  ~TSheet() { delete form_; }
  TSheet(const TSheet&) = delete;
  TSheet& operator=(const TSheet&) = delete;

  const std::string& Name() const { return name_; }
  TForm& Form() { return *form_; }
  // What the controls stand on: the skinned form's panel, in the style's background colour.
  TkyrForm& Surface() { return *skin_; }
  TColor Background() const { return skin_->Color(); }
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
    Place(control, x, y, width, height, parent);
    return control;
  }
  // CONTROL at X, Y, W x H on PARENT (by default the surface, in the current column, Y counted
  // from below the title bar).
  void Place(TControl* control, int x, int y, int width, int height, TWinControl* parent = nullptr) {
    if (!parent) {
      x += columnLeft;
      y += skin_->TitleBarHeight();
    }
    control->SetBounds(x, y, width, height);
    control->SetParent(parent ? parent : skin_);
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
  // Where the pointer rests while the window is captured (client coordinates of
  // pointerControl); without a control it rests outside the window.
  TControl* pointerControl = nullptr;
  POINT pointerAt{0, 0};
  // The left edge of the column being built.
  int columnLeft = 0;

private:
  std::string name_;
  TkyrUIStyle style_;
  TForm* form_;
  TkyrFileTheme* theme_ = nullptr;
  TkyrForm* skin_ = nullptr;
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

// Pictures made here, each on a magenta ground: the key colour of the keyed drawings.
constexpr TColor kKey = clFuchsia;

// A W x H bitmap filled with the key colour.
void KeyGround(TBitmap& bitmap, int width, int height) {
  bitmap.SetSize(width, height);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Brush().SetColor(kKey);
  canvas.FillRect({0, 0, width, height});
}

// A 16 x 16 arrow glyph in COLOUR; with DISABLED_FRAME a grey second frame beside it.
void ArrowGlyph(TBitmap& glyph, TColor colour, bool disabledFrame = false) {
  KeyGround(glyph, disabledFrame ? 32 : 16, 16);
  TCanvas& canvas = glyph.Canvas();
  canvas.Pen().SetStyle(psClear);
  for (int frame = 0; frame < (disabledFrame ? 2 : 1); ++frame) {
    const int x = frame * 16;
    canvas.Brush().SetColor(frame ? clGray : colour);
    canvas.Polygon({{x + 2, 6}, {x + 8, 6}, {x + 8, 2}, {x + 14, 8}, {x + 8, 14}, {x + 8, 10}, {x + 2, 10}});
  }
}

// A W x H rounded face in FACE with a white triangle, on the key colour.
void PlayFace(TBitmap& bitmap, int width, int height, TColor face) {
  KeyGround(bitmap, width, height);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Pen().SetColor(Darker(face, 40));
  canvas.Brush().SetColor(face);
  canvas.RoundRect(0, 0, width, height, 10, 10);
  canvas.Pen().SetStyle(psClear);
  canvas.Brush().SetColor(clWhite);
  const int cx = width / 2, cy = height / 2;
  canvas.Polygon({{cx - 4, cy - 6}, {cx + 6, cy}, {cx - 4, cy + 6}});
}

// A 40 x 28 picture: an orange disc holding a blue square, on the key colour at the corners.
void DiscPicture(TBitmap& bitmap) {
  KeyGround(bitmap, 40, 28);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Pen().SetColor(clMaroon);
  canvas.Brush().SetColor(TColor(0x0080FF));
  canvas.Ellipse(2, 0, 38, 28);
  canvas.Brush().SetColor(clNavy);
  canvas.Rectangle(14, 8, 26, 20);
}

// The application's icon, a white V on blue, made here: the showcase has no icon resource.
void GiveApplicationIcon() {
  TBitmap colour;
  colour.SetSize(16, 16);
  TCanvas& canvas = colour.Canvas();
  canvas.Brush().SetColor(clNavy);
  canvas.FillRect({0, 0, 16, 16});
  canvas.Pen().SetColor(clWhite);
  canvas.Pen().SetWidth(2);
  canvas.MoveTo(3, 3);
  canvas.LineTo(8, 13);
  canvas.LineTo(13, 3);
  GdiFlush();
  const uint16_t opaque[16] = {};  // an AND mask of zeros: every pixel drawn
  TBitmapHandle mask(CreateBitmap(16, 16, 1, 1, opaque));
  ICONINFO info{TRUE, 0, 0, mask.Get(), colour.Handle()};
  Application->Icon()->SetHandle(CreateIconIndirect(&info));
}

// Pictures side by side, 4 pixels apart, each drawn as its graphic says (keyed when transparent).
class TPictureRow : public TCustomControl {
public:
  explicit TPictureRow(TComponent* owner) : TCustomControl(owner) {}

  void AddPicture(const TPicture& picture, bool transparent) {
    pictures_.push_back(std::make_unique<TPicture>());
    pictures_.back()->Assign(picture);
    if (TGraphic* graphic = pictures_.back()->Graphic()) graphic->SetTransparent(transparent);
    int width = 0, height = 0;
    for (const auto& p : pictures_) {
      width += p->Width() + 4;
      height = std::max(height, p->Height());
    }
    SetBounds(Left(), Top(), width, height);
  }

protected:
  void Paint() override {
    int x = 0;
    for (const auto& p : pictures_) {
      if (p->Graphic()) Canvas().Draw(x, 0, *p->Graphic());
      x += p->Width() + 4;
    }
  }

private:
  std::vector<std::unique_ptr<TPicture>> pictures_;
};

// A button whose look is shown pressed without a mouse: the press the left button starts.
class TPressedButton : public TkyrButton {
public:
  explicit TPressedButton(TComponent* owner) : TkyrButton(owner) {
    SetMouseContinuouslyDownInterval(0);  // a repeat tick would see no capture and end the press
    SetTabStop(false);                    // the press would take the focus
  }
  void Press() { MouseDown(mbLeft, {}, 1, 1); }
};

class TPressedImageButton : public TkyrImageButton {
public:
  explicit TPressedImageButton(TComponent* owner) : TkyrImageButton(owner) {
    SetMouseContinuouslyDownInterval(0);
    SetTabStop(false);
  }
  void Press() { MouseDown(mbLeft, {}, 1, 1); }
};

// The pointer entering CONTROL, as TrackMouseEvent would report it.
void Hover(TControl* control) { control->Perform(CM_MOUSEENTER, 0, 0); }

// ---- the sections: each places its controls below TOP and returns the height it used ----

int TrackBars(TSheet& sheet, int top) {
  const struct {
    const char* Label;
    int32_t Max, Position, Frequency;
    bool Ticks, Enabled, Focused;
  } rows[] = {
      {"0..10 at 3", 10, 3, 1, true, true, false},
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
  stripes->SetColor(sheet.Background());
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

// A bar of the sheet's style W wide at X, Y that stands free (not aligned to the form's top),
// with a help and a custom button besides the four every bar starts with.
TkyrTitleBar* AddTitleBar(TSheet& sheet, int x, int y, int width, const std::string& caption) {
  auto* bar = new TkyrTitleBar(&sheet.Form());
  bar->SetAlign(alNone);
  sheet.Style(bar);
  const TkyrUIStyle buttonStyle = sheet.Source().EffectiveStyle();
  TkyrTitleBarButton* help = bar->Buttons()->Add();
  help->SetUIStyle(buttonStyle);
  help->SetButtonType(kyrHelp);
  TkyrTitleBarButton* custom = bar->Buttons()->Add();  // kyrCustom: pictures of its own
  custom->SetUIStyle(buttonStyle);
  custom->SetTransparent(true);
  const TPicture& model = *bar->Buttons()->Items(1)->PicNormal();  // the close button's size
  const TColor shades[] = {clTeal, clAqua, Darker(clTeal, 45)};
  TPicture pictures[3];
  for (int i = 0; i < 3; ++i) {
    TBitmap& bitmap = pictures[i].Bitmap();
    KeyGround(bitmap, model.Width(), model.Height());
    bitmap.Canvas().Pen().SetColor(clWhite);
    bitmap.Canvas().Brush().SetColor(shades[i]);
    bitmap.Canvas().Ellipse(2, 2, model.Width() - 2, model.Height() - 2);
  }
  custom->SetPicNormal(pictures[0]);
  custom->SetPicMouseOn(pictures[1]);
  custom->SetPicMouseDown(pictures[2]);
  bar->SetCaption(caption);
  sheet.Place(bar, x, y, width, bar->Height());
  return bar;
}

int TitleBars(TSheet& sheet, int top) {
  const int width = kColumnWidth - 2 * kMargin;
  int y = top;
  const auto label = [&](const char* text) {
    sheet.Caption(kMargin, y, text);
    y += 16;
  };
  const auto bar = [&](int barWidth, const char* caption) {
    TkyrTitleBar* made = AddTitleBar(sheet, kMargin, y, barWidth, caption);
    y += made->Height() + 6;
    return made;
  };
  label("control box; from the right close, maximise, minimise, help, custom (a disc)");
  TkyrTitleBar* active = bar(width, "Active window");
  label("inactive (FormActive false)");
  bar(width, "Inactive window")->SetFormActive(false);
  label("the pointer over the close button");
  TkyrTitleBar* hovered = bar(width, "Pointer over close");
  for (const TkyrTitleBarLayout::TPlace& place : hovered->Layout().places) {
    if (place.index != 1) continue;
    sheet.pointerControl = hovered;
    sheet.pointerAt = {(place.rect.left + place.rect.right) / 2, (place.rect.top + place.rect.bottom) / 2};
  }
  label("too narrow: the caption shortened; the application's icon (a V) as control box");
  bar(300, "A caption far longer than the room it has")->SetDrawAppIcon(true);
  label("each button's pictures (normal, pointer over, pressed), in the same order");
  auto* pictures = sheet.Add<TPictureRow>(kMargin, y, 0, 0);
  pictures->SetColor(sheet.Background());
  for (int i = 0; i < active->Buttons()->Count(); ++i) {
    const TkyrTitleBarButton& button = *active->Buttons()->Items(i);
    for (const TPicture* picture : {button.PicNormal(), button.PicMouseOn(), button.PicMouseDown()})
      pictures->AddPicture(*picture, button.Transparent());
  }
  y += pictures->Height() + 6;
  label("its sections: left end, right end, middle (stretched between them)");
  auto* sections = sheet.Add<TPictureRow>(kMargin, y, 0, 0);
  sections->SetColor(sheet.Background());
  for (int i = 0; i < active->Sections()->Count(); ++i) sections->AddPicture(*active->Sections()->Items(i)->Picture(), false);
  y += sections->Height();
  return y - top;
}

int Buttons(TSheet& sheet, int top) {
  int y = top;
  // The states, each named by its caption.
  const char* states[] = {"Normal", "Over", "Pressed", "Disabled", "Default", "Focused"};
  for (int i = 0; i < 6; ++i) {
    const int x = kMargin + i * 88;
    TkyrButton* button = i == 2 ? sheet.Add<TPressedButton>(x, y, 80, 27) : sheet.Add<TkyrButton>(x, y, 80, 27);
    button->SetCaption(states[i]);
    if (i == 1) Hover(button);
    if (i == 2) static_cast<TPressedButton*>(button)->Press();
    if (i == 3) button->SetEnabled(false);
    if (i == 4) button->SetDefault(true);
    if (i == 5) sheet.focusTarget = button;
  }
  y += 27 + 8;
  // The glyph layouts, and a two-frame glyph showing its disabled frame.
  const struct {
    const char* Caption;
    TButtonLayout Layout;
    bool Enabled;
  } glyphs[] = {{"Left", blGlyphLeft, true},
                {"Right", blGlyphRight, true},
                {"Top", blGlyphTop, true},
                {"Bottom", blGlyphBottom, true},
                {"Disabled", blGlyphLeft, false}};
  for (int i = 0; i < 5; ++i) {
    auto* button = sheet.Add<TkyrButton>(kMargin + i * 106, y, 98, 48);
    TBitmap glyph;
    ArrowGlyph(glyph, clGreen, !glyphs[i].Enabled);
    button->SetGlyph(glyph);
    button->SetLayout(glyphs[i].Layout);
    button->SetCaption(glyphs[i].Caption);
    button->SetEnabled(glyphs[i].Enabled);
  }
  y += 48 + 8;
  // Image buttons with pictures of their own, and the flat speed buttons.
  sheet.Caption(kMargin, y + 4, "image: normal, over, pressed, disabled, stretched");
  TPicture faces[4];
  const TColor colours[] = {TColor(0xB06020), TColor(0xE0A050), TColor(0x703010), clGray};
  for (int i = 0; i < 4; ++i) PlayFace(faces[i].Bitmap(), 36, 22, colours[i]);
  int x = kMargin;
  y += 22;
  for (int i = 0; i < 5; ++i) {
    TkyrImageButton* button = i == 2 ? sheet.Add<TPressedImageButton>(x, y, 36, 22) : sheet.Add<TkyrImageButton>(x, y, 36, 22);
    button->SetPicNormal(faces[0]);
    button->SetPicMouseOn(faces[1]);
    button->SetPicMouseDown(faces[2]);
    button->SetPicDisabled(faces[3]);
    button->SetTransparent(true);
    if (i == 1) Hover(button);
    if (i == 2) static_cast<TPressedImageButton*>(button)->Press();
    if (i == 3) button->SetEnabled(false);
    if (i == 4) {
      button->SetStretch(true);
      button->SetBounds(button->Left(), button->Top(), 72, 30);
    }
    x += button->Width() + 8;
  }
  sheet.Caption(x + 24, y - 18, "speed: normal, over");
  for (int i = 0; i < 2; ++i) {
    auto* speed = sheet.Add<TkyrToolBarSpeedButton>(x + 24 + i * 26, y, 18, 18);
    TBitmap glyph;
    ArrowGlyph(glyph, clNavy);
    glyph.SetTransparent(true);
    speed->SetGlyph(glyph);
    speed->SetColor(sheet.Background());
    if (i == 1) Hover(speed);
  }
  y += 30;
  return y - top;
}

int LinkLabels(TSheet& sheet, int top) {
  // Placed at 0 x 0, then fitted to the default caption.
  sheet.Add<TkyrURLLabel>(kMargin, top, 0, 0)->SetAutoSize(true);
  auto* hovered = sheet.Add<TkyrURLLabel>(kMargin + 180, top, 0, 0);
  hovered->SetCaption("Under the pointer");
  Hover(hovered);
  auto* teal = sheet.Add<TkyrURLLabel>(kMargin + 340, top, 0, 0);
  teal->SetCaption("FontLinkColor teal");
  teal->SetFontLinkColor(clTeal);
  return 16;
}

int ImagePanels(TSheet& sheet, int top) {
  sheet.Caption(kMargin, top, "normal, stretched, tiled, transparent and tiled, with a caption; on stripes");
  auto* stripes = sheet.Add<TStripes>(kMargin, top + 18, 5 * 104 + 8, 72);
  stripes->SetColor(sheet.Background());
  TPicture disc;
  DiscPicture(disc.Bitmap());
  const struct {
    TkyrDrawStyle Style;
    bool Transparent;
    const char* Caption;
  } panels[] = {{kyrNormal, false, ""},
                {kyrStretch, false, ""},
                {kyrTile, false, ""},
                {kyrTile, true, ""},
                {kyrStretch, false, "Caption"}};
  for (int i = 0; i < 5; ++i) {
    auto* panel = sheet.Add<TkyrImagePanel>(8 + i * 104, 8, 96, 56, stripes);
    panel->SetColor(Darker(sheet.Background(), 25));
    panel->SetPicture(disc);
    panel->SetDrawStyle(panels[i].Style);
    panel->SetTransparent(panels[i].Transparent);
    panel->SetCaption(panels[i].Caption);
  }
  return 18 + stripes->Height();
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
  // Scrolled before the window is shown: the bars show where, once it is.
  SendMessageA(memo->Handle(), EM_LINESCROLL, 4, 20);
  sheet.Caption(kMargin + 320, top, "Without bars, short text:");
  auto* plain = sheet.Add<TkyrMemo>(kMargin + 320, top + 20, 200, 60);
  plain->SetText("Two lines\r\nof text.");
  return memo->Height();
}

using TSection = int (*)(TSheet& sheet, int top);
const struct {
  const char* Title;
  TSection Build;
  int Column = 0;  // 0 left, 1 right
} kSections[] = {
    {"Track bars (TkyrTrackBar)", TrackBars},
    {"Popup menu (TkyrPopupMenu), drawn item by item", PopupMenu},
    {"Title bars (TkyrTitleBar)", TitleBars, 1},
    {"Buttons (TkyrButton, TkyrImageButton, TkyrToolBarSpeedButton)", Buttons, 1},
    {"Link label (TkyrURLLabel): link, under the pointer, own colour", LinkLabels, 1},
    {"Image panels (TkyrImagePanel)", ImagePanels, 1},
    {"Scroll bars (TkyrScrollBar)", ScrollBars},
    {"Memo (TkyrMemo) with its skinned scroll bars, scrolled to line 21", Memos},
};

// ---- building, showing and capturing a sheet ----

void Build(TSheet& sheet) {
  int bottoms[2] = {kMargin, kMargin};
  for (const auto& section : kSections) {
    sheet.columnLeft = section.Column * kColumnWidth;
    int& y = bottoms[section.Column];
    sheet.Caption(kMargin, y, section.Title, true);
    y += 20;
    y += section.Build(sheet, y) + 16;
  }
  sheet.columnLeft = 0;
  sheet.Form().SetClientWidth(2 * kColumnWidth);
  sheet.Form().SetClientHeight(std::max(bottoms[0], bottoms[1]) + sheet.Surface().TitleBarHeight());
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
  // The pointer is placed, never moved by hand: hover looks that follow it are the same each run.
  const POINT pointer = sheet.pointerControl ? sheet.pointerControl->ClientToScreen(sheet.pointerAt) : POINT{0, 0};
  SetCursorPos(pointer.x, pointer.y);
  SaveSettledWindow(window, folder + "\\" + sheet.Name() + ".bmp");
  form.Hide();
  PumpMessages();
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
    GiveApplicationIcon();
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
