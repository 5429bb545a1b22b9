#include "tools/skin-artgen/SkinArt.h"

#include <array>
#include <cmath>
#include <map>

#include "tools/skin-artgen/ArtGlyphs.h"
#include "tools/skin-artgen/SkinLook.h"

namespace {

// ---- the resource table ----

struct Size {
  int width, height, bpp;
};

struct ElementRow {
  ArtElement element;
  const char* suffix;
  int frames;
  std::array<Size, 5> sizes;  // MacOS, WinXP, DeepBlue, Protein, BlueGlass; width 0 = none
};

const ElementRow kElementRows[] = {
    {ArtElement::Button, "BUTTON", 3,
     {{{252, 23, 8}, {54, 21, 8}, {222, 21, 4}, {222, 21, 8}, {231, 27, 8}}}},
    {ArtElement::CheckBox, "CHECKBOX", 4,
     {{{60, 17, 8}, {52, 13, 8}, {52, 13, 4}, {52, 13, 4}, {52, 13, 4}}}},
    {ArtElement::RadioButton, "RADIOBUTTON", 4,
     {{{64, 17, 8}, {52, 13, 8}, {52, 13, 4}, {52, 13, 4}, {52, 13, 4}}}},
    {ArtElement::TitleButtons, "TITLEBTN", 18,
     {{{306, 17, 24}, {378, 21, 24}, {342, 19, 4}, {342, 19, 4}, {342, 19, 4}}}},
    {ArtElement::TitleLeft, "TITLE_LEFT", 1,
     {{{48, 23, 8}, {35, 29, 8}, {97, 32, 8}, {441, 23, 8}, {162, 33, 8}}}},
    {ArtElement::TitleClient, "TITLE_CLIENT", 1,
     {{{49, 23, 8}, {37, 29, 8}, {98, 32, 4}, {1, 23, 4}, {179, 33, 8}}}},
    {ArtElement::TitleRight, "TITLE_RIGHT", 1,
     {{{48, 23, 8}, {35, 29, 8}, {97, 32, 8}, {1, 23, 8}, {101, 33, 8}}}},
    {ArtElement::ProgressBar, "PROGRESSBAR", 1,
     {{{13, 10, 8}, {6, 10, 8}, {1, 10, 8}, {1, 10, 8}, {1, 10, 8}}}},
    {ArtElement::TrackBarBar, "TRACKBAR_BAR", 3,
     {{{45, 5, 24}, {45, 8, 24}, {45, 4, 24}, {45, 4, 24}, {45, 4, 24}}}},
    {ArtElement::TrackBarSlider, "TRACKBAR_SLIDER", 1,
     {{{11, 20, 24}, {11, 21, 24}, {11, 20, 24}, {11, 20, 24}, {11, 20, 24}}}},
    {ArtElement::TrackBarSliderV, "TRACKBAR_SLIDER_V", 1,
     {{{19, 11, 8}, {22, 11, 8}, {18, 11, 8}, {18, 11, 8}, {18, 11, 8}}}},
    {ArtElement::ScrollBarButtons, "SCROLLBAR_BUTTON", 6,
     {{{96, 22, 8}, {96, 17, 8}, {96, 16, 4}, {96, 16, 8}, {102, 16, 4}}}},
    {ArtElement::ScrollBarThumb, "SCROLLBAR_TRACK", 3,
     {{{33, 16, 8}, {21, 16, 8}, {21, 16, 4}, {21, 16, 4}, {21, 16, 8}}}},
    {ArtElement::CheckList, "CHECKLIST", 4,
     {{{40, 11, 8}, {44, 11, 4}, {44, 11, 4}, {44, 11, 4}, {44, 11, 4}}}},
    // The last three styles share MORE_SCROLLBUTTON (below).
    {ArtElement::ScrollButtons, "SCROLLBUTTON", 4,
     {{{72, 18, 8}, {72, 18, 8}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}}}},
    {ArtElement::Tab, "TAB", 1,
     {{{36, 27, 8}, {18, 18, 8}, {12, 17, 4}, {18, 17, 4}, {18, 17, 4}}}},
    {ArtElement::TabLine, "TAB_LINE", 1,
     {{{17, 7, 8}, {8, 1, 4}, {5, 5, 4}, {10, 5, 4}, {10, 5, 4}}}},
    {ArtElement::SideChannelHandle, "SIDECHENNEL_HANDLE", 1,
     {{{7, 84, 8}, {8, 86, 8}, {8, 83, 4}, {8, 83, 4}, {8, 86, 8}}}},
    {ArtElement::SideChannelBar, "SIDECHENNEL_BAR", 1,
     {{{1, 21, 8}, {1, 21, 8}, {1, 20, 4}, {1, 21, 4}, {1, 21, 4}}}},
};

const ArtResource kNamedResources[] = {
    {"MORE_SCROLLBUTTON", ArtStyle::Shared, ArtElement::ScrollButtons, 72, 17, 4, 4},
    {"MACOS_FORM_BACKGROUND", ArtStyle::MacOS, ArtElement::FormBackground, 8, 8, 8, 1},
    {"PROTEIN_FORM_BACKGROUND", ArtStyle::Protein, ArtElement::FormBackground, 8, 8, 8, 1},
    {"MACOS_MENU_BAR", ArtStyle::MacOS, ArtElement::MenuBar, 1, 22, 8, 1},
    {"MACOS_MENU_SELECT", ArtStyle::MacOS, ArtElement::MenuSelect, 1, 21, 8, 1},
    {"MENU_CHECKED", ArtStyle::Shared, ArtElement::MenuChecked, 16, 16, 8, 1},
    {"MDI_CONTROL_BUTTON", ArtStyle::Shared, ArtElement::MdiButtons, 48, 16, 8, 3},
    {"DBNAV_BUTTON", ArtStyle::Shared, ArtElement::NavButtons, 160, 16, 8, 10},
};

const ArtStyle kStyles[] = {ArtStyle::MacOS, ArtStyle::WinXP, ArtStyle::DeepBlue,
                            ArtStyle::Protein, ArtStyle::BlueGlass};

std::vector<ArtResource> BuildTable() {
  std::vector<ArtResource> table;
  for (int s = 0; s < 5; ++s)
    for (const ElementRow& row : kElementRows) {
      const Size& size = row.sizes[static_cast<size_t>(s)];
      if (size.width == 0) continue;
      table.push_back({std::string(LookOf(kStyles[s]).prefix) + "_" + row.suffix, kStyles[s],
                       row.element, size.width, size.height, size.bpp, row.frames});
    }
  for (const ArtResource& r : kNamedResources) table.push_back(r);
  return table;
}

// ---- frame helpers ----

// Paints each frame of a strip on its own canvas (so shapes never bleed into the
// neighbour frame) and places it.
template <typename Fn>
void EachFrame(ArtCanvas& strip, int frames, Fn paint) {
  int fw = strip.Width() / frames;
  for (int i = 0; i < frames; ++i) {
    ArtCanvas frame(fw, strip.Height());
    paint(frame, i);
    strip.Blit(frame, i * fw, 0);
  }
}

// A face with an outline: the outer shape in the edge colour, the inner one (inset by one
// pixel) in the face paint.
void Bevel(ArtCanvas& c, double x0, double y0, double x1, double y1, double radius, Rgb edge,
           const PaintFn& face) {
  c.Fill(RoundRect(x0, y0, x1, y1, radius), Flat(edge));
  c.Fill(RoundRect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, std::max(radius - 1, 0.0)), face);
}

// A glossy highlight over the upper half of a shape.
void Gloss(ArtCanvas& c, double x0, double y0, double x1, double y1, double radius,
           double strength) {
  double mid = y0 + (y1 - y0) * 0.48;
  c.Fill(RoundRect(x0, y0, x1, mid, std::min(radius, (mid - y0) / 2)), Flat(Rgb{1, 1, 1}), strength);
}

PaintFn FacePaint(const SkinLook& look, int state, double y0, double y1) {
  const Rgb* stops = state == 0 ? look.face : state == 1 ? look.hot : look.down;
  return VGradient(y0, y1, {stops[0], stops[1]});
}

// ---- painters, one per element kind; each returns the matte its edges blend into ----

Rgb PaintButton(ArtCanvas& c, const SkinLook& look, const ArtResource& r) {
  EachFrame(c, r.frames, [&](ArtCanvas& f, int state) {
    double w = f.Width(), h = f.Height();
    if (!look.transparentButtons) f.FillRect(0, 0, f.Width(), f.Height(), Flat(look.form));
    double radius = std::min(look.radius, h / 2);
    Bevel(f, 0.5, 0.5, w - 0.5, h - 0.5, radius, state == 1 ? look.hotEdge : look.edge,
          FacePaint(look, state, 1, h - 1));
    if (look.gloss > 0) Gloss(f, 2, 1.5, w - 2, h - 2, radius - 1, look.gloss * (state == 2 ? 0.5 : 1));
  });
  return look.form;
}

void PaintCheckFrame(ArtCanvas& f, const SkinLook& look, int state, bool round) {
  double side = std::min(f.Width(), f.Height()) - 1.0;
  double x0 = (f.Width() - side) / 2, y0 = (f.Height() - side) / 2;
  double radius = round ? side / 2 : std::min(look.radius / 3, 3.0);
  bool pressed = state % 2 == 1, checked = state >= 2;
  Bevel(f, x0, y0, x0 + side, y0 + side, radius, look.edge,
        FacePaint(look, pressed ? 2 : 0, y0, y0 + side));
  double cx = x0 + side / 2, cy = y0 + side / 2;
  if (checked && round) f.Fill(Circle(cx, cy, side * 0.2 + 0.5), Flat(look.mark));
  if (checked && !round) DrawGlyph(f, Glyph::Check, cx, cy, side * 0.3, look.mark, 0.9);
}

Rgb PaintCheckBoxes(ArtCanvas& c, const SkinLook& look, const ArtResource& r) {
  bool round = r.element == ArtElement::RadioButton;
  EachFrame(c, r.frames, [&](ArtCanvas& f, int i) { PaintCheckFrame(f, look, i, round); });
  return look.form;
}

Rgb PaintTitleButtons(ArtCanvas& c, const SkinLook& look, const ArtResource& r) {
  static const TitleButton kSets[] = {TitleButton::ControlBox, TitleButton::Help,
                                      TitleButton::Maximise, TitleButton::Restore,
                                      TitleButton::Minimise, TitleButton::Close};
  EachFrame(c, r.frames, [&](ArtCanvas& f, int i) {
    // Opaque buttons carry the title strip behind them, lined up with the row they sit on.
    if (!look.transparentTitleButtons) {
      PaintFn strip = TitlePaint(look, look.titleHeight);
      f.FillRect(0, 0, f.Width(), f.Height(), [&](double x, double y) {
        return strip(x, y + look.titleButtonTop);
      });
    }
    DrawTitleButton(f, look, kSets[i / 3], i % 3);
  });
  return TitlePaint(look, look.titleHeight)(0, look.titleButtonTop + c.Height() / 2.0);
}

Rgb PaintTitle(ArtCanvas& c, const SkinLook& look, const ArtResource& r) {
  c.FillRect(0, 0, c.Width(), c.Height(), TitlePaint(look, c.Height()));
  if (r.element == ArtElement::TitleLeft) DecorateTitleLeft(c, look);
  return look.form;
}

Rgb PaintProgressBar(ArtCanvas& c, const SkinLook& look, const ArtResource&) {
  double h = c.Height();
  PaintFn bar = VGradient(0, h, {Lighter(look.accent, 0.45), look.accent, Darker(look.accent, 0.2)});
  if (look.progress == ProgressLook::Stripes) {
    // Diagonal bands that line up when the tile repeats every width pixels.
    double period = c.Width();
    c.FillRect(0, 0, c.Width(), c.Height(), [&](double x, double y) {
      double phase = std::fmod(x + y + period, period) / period;
      Rgb base = bar(x, y);
      return phase < 0.5 ? base : Lighter(base, 0.35);
    });
  } else if (look.progress == ProgressLook::Blocks) {
    c.FillRect(0, 0, c.Width(), c.Height(), Flat(Rgb{1, 1, 1}));
    c.FillRect(0, 1, c.Width() - 2, c.Height() - 1, bar);
  } else {
    c.FillRect(0, 0, c.Width(), c.Height(), bar);
  }
  return look.form;
}

Rgb PaintTrackBarBar(ArtCanvas& c, const SkinLook& look, const ArtResource&) {
  double w = c.Width(), h = c.Height();
  Bevel(c, 0, 0, w, h, h / 2, look.edge,
        VGradient(1, h - 1, {Darker(look.groove, 0.15), look.groove}));
  return look.form;
}

// A rounded body with a pointed end, inset by INSET pixels.
ShapeFn SliderShape(double w, double h, bool vertical, double inset) {
  double tip = vertical ? w * 0.3 : h * 0.3;
  double r = std::max(2.5 - inset, 0.5);
  if (vertical)
    return Union(RoundRect(inset, inset, w - tip, h - inset, r),
                 Polygon({{w - tip - 1, inset}, {w - inset * 1.4, h / 2}, {w - tip - 1, h - inset}}));
  return Union(RoundRect(inset, inset, w - inset, h - tip, r),
               Polygon({{inset, h - tip - 1}, {w - inset, h - tip - 1}, {w / 2, h - inset * 1.4}}));
}

// The horizontal bar's slider points down; the vertical bar's points right.
Rgb PaintTrackBarSlider(ArtCanvas& c, const SkinLook& look, const ArtResource& r) {
  bool vertical = r.element == ArtElement::TrackBarSliderV;
  double w = c.Width(), h = c.Height();
  c.Fill(SliderShape(w, h, vertical, 0), Flat(look.edge));
  PaintFn face = vertical ? HGradient(1, w - 1, {look.face[0], look.face[1]})
                          : VGradient(1, h - 1, {look.face[0], look.face[1]});
  c.Fill(SliderShape(w, h, vertical, 1), face);
  if (look.gloss > 0)
    c.Fill(RoundRect(2, 2, vertical ? w * 0.6 : w - 2, vertical ? h * 0.45 : h * 0.4, 1.5),
           Flat(Rgb{1, 1, 1}), look.gloss * 0.8);
  return look.form;
}

Rgb PaintScrollBarButtons(ArtCanvas& c, const SkinLook& look, const ArtResource& r) {
  bool horizontalArrows = r.element == ArtElement::ScrollButtons;
  EachFrame(c, r.frames, [&](ArtCanvas& f, int i) {
    int perArrow = r.frames / 2;
    int state = horizontalArrows ? (i % 2 == 1 ? 2 : 0) : i % perArrow;
    bool second = i >= perArrow;
    Glyph arrow = horizontalArrows ? (second ? Glyph::ArrowRight : Glyph::ArrowLeft)
                                   : (second ? Glyph::ArrowDown : Glyph::ArrowUp);
    double w = f.Width(), h = f.Height();
    f.FillRect(0, 0, f.Width(), f.Height(), Flat(look.scrollBackground));
    Bevel(f, 0.5, 0.5, w - 0.5, h - 0.5, std::min(look.radius / 3, 3.0),
          state == 1 ? look.hotEdge : look.edge, FacePaint(look, state, 1, h - 1));
    DrawGlyph(f, arrow, w / 2, h / 2 + (state == 2 ? 0.5 : 0), std::min(w, h) * 0.22,
              look.glyph, 1.0);
  });
  return look.scrollBackground;
}

Rgb PaintScrollBarThumb(ArtCanvas& c, const SkinLook& look, const ArtResource& r) {
  double w = c.Width(), h = c.Height();
  double radius = std::min(w / r.frames - 1, h / 2 - 1);
  Bevel(c, 0.5, 1, w - 0.5, h - 1, radius, look.edge, VGradient(2, h - 2, {look.face[0], look.face[1]}));
  if (look.gloss > 0) Gloss(c, 2, 2, w - 2, h - 2, radius - 1, look.gloss);
  return look.scrollBackground;
}

Rgb PaintTab(ArtCanvas& c, const SkinLook& look, const ArtResource&) {
  double w = c.Width(), h = c.Height();
  double radius = std::min({look.radius / 2, w / 2 - 1, 5.0});
  // Rounded at the top only: the shape runs past the bottom edge.
  Bevel(c, 0, 0, w, h + radius + 1, radius, look.edge, VGradient(1, h, {look.face[0], look.form}));
  return look.form;
}

Rgb PaintTabLine(ArtCanvas& c, const SkinLook& look, const ArtResource&) {
  c.FillRect(0, 0, c.Width(), c.Height(), VGradient(0, c.Height(), {look.form, Darker(look.form, 0.06)}));
  c.FillRect(0, 0, c.Width(), 1, Flat(look.edge));
  return look.form;
}

Rgb PaintSideChannelHandle(ArtCanvas& c, const SkinLook& look, const ArtResource&) {
  double w = c.Width(), h = c.Height();
  Bevel(c, 0, 0, w, h, w / 2, look.edge, HGradient(1, w - 1, {look.face[0], look.face[1]}));
  for (double y = h / 2 - 9; y <= h / 2 + 9; y += 4.5)
    c.Fill(Circle(w / 2, y, 1.1), Flat(Darker(look.edge, 0.1)));
  return look.form;
}

Rgb PaintColumn(ArtCanvas& c, const SkinLook& look, const ArtResource& r) {
  const Rgb* stops = r.element == ArtElement::MenuSelect ? look.menuSelect
                     : r.element == ArtElement::MenuBar  ? look.menuBar
                                                         : look.face;
  c.FillRect(0, 0, c.Width(), c.Height(), VGradient(0, c.Height(), {stops[0], stops[1]}));
  if (r.element == ArtElement::MenuSelect) c.FillRect(0, 0, c.Width(), 1, Flat(Lighter(stops[0], 0.4)));
  return look.form;
}

Rgb PaintFormBackground(ArtCanvas& c, const SkinLook& look, const ArtResource&) {
  c.FillRect(0, 0, c.Width(), c.Height(), [&](double x, double y) {
    int row = static_cast<int>(y), col = static_cast<int>(x);
    if (look.stripes) return row % 2 ? Darker(look.form, 0.035) : Lighter(look.form, 0.3);
    return (row + col) % 4 == 0 ? Darker(look.form, 0.03) : look.form;
  });
  return look.form;
}

Rgb PaintMenuChecked(ArtCanvas& c, const SkinLook&, const ArtResource&) {
  // White is the key of this one (the menus add it with white as the transparent colour).
  c.FillRect(0, 0, c.Width(), c.Height(), Flat(Rgb{1, 1, 1}));
  DrawGlyph(c, Glyph::Check, 8, 8, 4.2, Hex(0x101010), 1.1);
  return Rgb{1, 1, 1};
}

Rgb PaintGlyphStrip(ArtCanvas& c, const SkinLook&, const ArtResource& r) {
  static const Glyph kMdi[] = {Glyph::Minimise, Glyph::Restore, Glyph::Close};
  static const Glyph kNav[] = {Glyph::First,  Glyph::Prior, Glyph::Next,   Glyph::Last,
                               Glyph::Plus,   Glyph::Minus, Glyph::Edit,   Glyph::Check,
                               Glyph::Close,  Glyph::Refresh};
  bool nav = r.element == ArtElement::NavButtons;
  EachFrame(c, r.frames, [&](ArtCanvas& f, int i) {
    Glyph g = nav ? kNav[i] : kMdi[i];
    DrawGlyph(f, g, 8, 8, nav ? 5.0 : 4.5, nav ? NavGlyphColor(g) : Hex(0x000000), 1.0);
  });
  return Hex(0xD6D3CE);
}

using Painter = Rgb (*)(ArtCanvas&, const SkinLook&, const ArtResource&);

Painter PainterOf(ArtElement e) {
  static const std::map<ArtElement, Painter> kPainters = {
      {ArtElement::Button, PaintButton},
      {ArtElement::CheckBox, PaintCheckBoxes},
      {ArtElement::RadioButton, PaintCheckBoxes},
      {ArtElement::CheckList, PaintCheckBoxes},
      {ArtElement::TitleButtons, PaintTitleButtons},
      {ArtElement::TitleLeft, PaintTitle},
      {ArtElement::TitleClient, PaintTitle},
      {ArtElement::TitleRight, PaintTitle},
      {ArtElement::ProgressBar, PaintProgressBar},
      {ArtElement::TrackBarBar, PaintTrackBarBar},
      {ArtElement::TrackBarSlider, PaintTrackBarSlider},
      {ArtElement::TrackBarSliderV, PaintTrackBarSlider},
      {ArtElement::ScrollBarButtons, PaintScrollBarButtons},
      {ArtElement::ScrollButtons, PaintScrollBarButtons},
      {ArtElement::ScrollBarThumb, PaintScrollBarThumb},
      {ArtElement::Tab, PaintTab},
      {ArtElement::TabLine, PaintTabLine},
      {ArtElement::SideChannelHandle, PaintSideChannelHandle},
      {ArtElement::SideChannelBar, PaintColumn},
      {ArtElement::MenuBar, PaintColumn},
      {ArtElement::MenuSelect, PaintColumn},
      {ArtElement::FormBackground, PaintFormBackground},
      {ArtElement::MenuChecked, PaintMenuChecked},
      {ArtElement::MdiButtons, PaintGlyphStrip},
      {ArtElement::NavButtons, PaintGlyphStrip},
  };
  return kPainters.at(e);
}

}  // namespace

const std::vector<ArtResource>& ArtResources() {
  static const std::vector<ArtResource> table = BuildTable();
  return table;
}

const ArtResource* FindArtResource(const std::string& name) {
  for (const ArtResource& r : ArtResources())
    if (r.name == name) return &r;
  return nullptr;
}

TBmpImage PaintArt(const ArtResource& resource) {
  ArtCanvas canvas(resource.width, resource.height);
  const SkinLook& look = LookOf(resource.style);
  Rgb matte = PainterOf(resource.element)(canvas, look, resource);
  TBmpImage image = canvas.Flatten(matte);
  if (resource.bitsPerPixel <= 8) ReduceColors(image, size_t{1} << resource.bitsPerPixel);
  image.BitsPerPixel = resource.bitsPerPixel;
  return image;
}

std::string ResourceScript() {
  std::string rc = "// The skin's resources: the built-in bitmaps, written by tools/skin-artgen, and the texts.\n";
  for (const ArtResource& r : ArtResources()) rc += r.name + " BITMAP \"" + r.name + ".bmp\"\n";
  return rc + "#include \"SkinStrings.rc\"\n";
}
