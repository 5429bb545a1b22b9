// Colours, fonts, pens, brushes, the canvas and the graphics (bitmap, icon, picture) over GDI.
//
// Colours: TColor is $00BBGGRR; 0x80000000 + index is the system colour of that COLOR_* index,
// converted with the system's current colours by ColorToRGB. clNone and clDefault are markers.
// ColorToIdent/IdentToColor translate the names used by stored descriptions ("clTeal" <-> $808000);
// ColorToString/StringToColor also accept numbers ("$00FF8000", "12345").
//
// TCanvas draws on a device context it does not own. It selects its pen, brush and font (and sets
// text colour and background mode) only for the duration of each call, through scope guards, so the
// DC is left exactly as it was found and pens, brushes and fonts may be changed or freed at any
// time. Raw GDI on Handle() therefore sees the DC's own state, not the canvas's.
//     TCanvas canvas(dc);
//     canvas.Brush().SetColor(clBtnFace);  canvas.FillRect(r);
//     canvas.Font().SetStyle(TFontStyles{fsBold});  canvas.DrawText("OK", r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
// windows.h maps TextOut and DrawText to TextOutA and DrawTextA; with it included, as here, the
// canvas methods are called by either name.
// Lines follow GDI: LineTo and Polyline leave out their end point.
// With Brush().Style() == bsClear, FillRect/Rectangle/Polygon do not fill and text has no background.
//
// TBitmap keeps its pixels in a 32-bit top-down DIB section (ScanLine gives direct access as
// 0x00RRGGBB words); PixelFormat records the depth it was loaded with and is the depth it is saved
// with. A transparent bitmap is drawn with TransparentBlt, leaving the background where its pixels
// have the TransparentColor (clDefault: the colour of the bottom-left pixel).
//
// Stored forms (the published Data of a stored description, `Picture.Data = {...}`):
//   TBitmap.Data  uint32 little-endian byte count, then a BMP file (0: an empty bitmap)
//   TIcon.Data    an .ico file; the largest, deepest image is the one shown
//   TPicture.Data the graphic's class name as a short string (length byte, then "TBitmap" or
//                 "TIcon"), then that graphic's Data; no bytes at all for an empty picture
// Data that does not fit raises EInvalidGraphic (or the codec's EInvalidBitmap) and leaves the
// graphic as it was.
#pragma once

#include "framework/core/Classes.h"
#include "framework/core/SysUtils.h"
#include "framework/graphics/GdiHandles.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

class TStream;

// ---- colours ----
using TColor = int32_t;

constexpr TColor clSystemColor = static_cast<TColor>(0x80000000u);
constexpr TColor SystemColor(int index) { return static_cast<TColor>(0x80000000u | static_cast<unsigned>(index)); }

constexpr TColor clScrollBar = SystemColor(COLOR_SCROLLBAR);
constexpr TColor clBackground = SystemColor(COLOR_BACKGROUND);
constexpr TColor clActiveCaption = SystemColor(COLOR_ACTIVECAPTION);
constexpr TColor clInactiveCaption = SystemColor(COLOR_INACTIVECAPTION);
constexpr TColor clMenu = SystemColor(COLOR_MENU);
constexpr TColor clWindow = SystemColor(COLOR_WINDOW);
constexpr TColor clWindowFrame = SystemColor(COLOR_WINDOWFRAME);
constexpr TColor clMenuText = SystemColor(COLOR_MENUTEXT);
constexpr TColor clWindowText = SystemColor(COLOR_WINDOWTEXT);
constexpr TColor clCaptionText = SystemColor(COLOR_CAPTIONTEXT);
constexpr TColor clActiveBorder = SystemColor(COLOR_ACTIVEBORDER);
constexpr TColor clInactiveBorder = SystemColor(COLOR_INACTIVEBORDER);
constexpr TColor clAppWorkSpace = SystemColor(COLOR_APPWORKSPACE);
constexpr TColor clHighlight = SystemColor(COLOR_HIGHLIGHT);
constexpr TColor clHighlightText = SystemColor(COLOR_HIGHLIGHTTEXT);
constexpr TColor clBtnFace = SystemColor(COLOR_BTNFACE);
constexpr TColor clBtnShadow = SystemColor(COLOR_BTNSHADOW);
constexpr TColor clGrayText = SystemColor(COLOR_GRAYTEXT);
constexpr TColor clBtnText = SystemColor(COLOR_BTNTEXT);
constexpr TColor clInactiveCaptionText = SystemColor(COLOR_INACTIVECAPTIONTEXT);
constexpr TColor clBtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT);
constexpr TColor cl3DDkShadow = SystemColor(COLOR_3DDKSHADOW);
constexpr TColor cl3DLight = SystemColor(COLOR_3DLIGHT);
constexpr TColor clInfoText = SystemColor(COLOR_INFOTEXT);
constexpr TColor clInfoBk = SystemColor(COLOR_INFOBK);
constexpr TColor clHotLight = SystemColor(COLOR_HOTLIGHT);
constexpr TColor clGradientActiveCaption = SystemColor(COLOR_GRADIENTACTIVECAPTION);
constexpr TColor clGradientInactiveCaption = SystemColor(COLOR_GRADIENTINACTIVECAPTION);
constexpr TColor clMenuHighlight = SystemColor(COLOR_MENUHILIGHT);
constexpr TColor clMenuBar = SystemColor(COLOR_MENUBAR);

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clLtGray = clSilver;
constexpr TColor clDkGray = clGray;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// The RGB value of COLOR: system colours through GetSysColor (their current value), others with
// the high byte dropped (clNone and clDefault therefore give white and black).
COLORREF ColorToRGB(TColor color);
// The name of COLOR ("clTeal"); false when it has none.
bool ColorToIdent(TColor color, std::string& ident);
// The colour named IDENT, case-insensitive ("clteal"); false when unknown.
bool IdentToColor(const std::string& ident, TColor& color);
// The name, or else "$00BBGGRR".
std::string ColorToString(TColor color);
// A name, "$hex", "0xhex" or a decimal number; raises EConvertError on anything else.
TColor StringToColor(const std::string& text);

// Any failure of a graphics operation (bad resource, bad image data, GDI refusing a handle).
class EInvalidGraphic : public Exception {
public:
  using Exception::Exception;
};

// Registers the identifier maps of "TColor" (clTeal ...) and "TFontCharset" (DEFAULT_CHARSET ...)
// with the property mechanism; done at start-up, repeating it is harmless.
void RegisterGraphicsIdents();

// Pixels per logical inch of the screen (LOGPIXELSY), used by TFont::Size.
int ScreenPixelsPerInch();

// ---- pens, brushes, fonts ----

// Base of the objects that announce their changes (OnChange receives the object itself).
class TGraphicsObject : public TPersistent {
  VANTOR_CLASS(TGraphicsObject, TPersistent)
public:
  TNotifyEvent OnChange;

protected:
  void Changed();
  // Sets FIELD and reports the change; HANDLE (made from the old values) is released only
  // after OnChange ran, so a listener still holding it can switch to the new one first.
  template <typename T, typename H>
  void Change(T& field, const T& value, H& handle) {
    if (field == value) return;
    field = value;
    H old = std::move(handle);
    Changed();
  }
};

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
inline const TEnumInfo FontStyleInfo("TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"});

enum TFontPitch { fpDefault, fpVariable, fpFixed };
inline const TEnumInfo FontPitchInfo("TFontPitch", {"fpDefault", "fpVariable", "fpFixed"});
using TFontCharset = uint8_t;

class TFont : public TGraphicsObject {
  VANTOR_CLASS(TFont, TGraphicsObject)
public:
  TFont();
  void Assign(const TPersistent& source) override;

  const std::string& Name() const { return name_; }
  void SetName(const std::string& name);
  // Negative: character height in pixels; positive: cell height (as LOGFONT.lfHeight).
  int Height() const { return height_; }
  void SetHeight(int height);
  // Point size at ScreenPixelsPerInch: Size = -Height * 72 / ppi.
  int Size() const;
  void SetSize(int points);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TFontCharset Charset() const { return charset_; }
  void SetCharset(TFontCharset charset);
  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch pitch);

  // The font made with CreateFontIndirectA, created on first use, owned by this object and
  // recreated after a change.
  HFONT Handle();
  LOGFONTA LogFont() const;
  // Takes name, height, style, charset and pitch from LF (a system font description).
  void AssignLogFont(const LOGFONTA& lf);

  static void DeclarePublished(TPublished<TFont>& p);

private:
  std::string name_ = "MS Sans Serif";
  int height_ = -11;
  TFontStyles style_;
  TColor color_ = clWindowText;
  TFontCharset charset_ = DEFAULT_CHARSET;
  TFontPitch pitch_ = fpDefault;
  TFontHandle handle_;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

class TPen : public TGraphicsObject {
  VANTOR_CLASS(TPen, TGraphicsObject)
public:
  void Assign(const TPersistent& source) override;

  TColor Color() const { return color_; }
  void SetColor(TColor color);
  int Width() const { return width_; }
  void SetWidth(int width);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle style);
  HPEN Handle();

private:
  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = psSolid;
  TPenHandle handle_;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBitmap;

class TBrush : public TGraphicsObject {
  VANTOR_CLASS(TBrush, TGraphicsObject)
public:
  void Assign(const TPersistent& source) override;

  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle style);
  // A pattern bitmap (not owned; nullptr for none) takes precedence over colour and style.
  TBitmap* Bitmap() const { return bitmap_; }
  void SetBitmap(TBitmap* bitmap);
  // The brush; the stock NULL_BRUSH (not owned) for bsClear.
  HBRUSH Handle();

private:
  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
  TBitmap* bitmap_ = nullptr;
  TBrushHandle handle_;
};

// ---- graphics ----
class TCanvas;

// Something that can be drawn into a rectangle of a canvas.
class TGraphic : public TPersistent {
  VANTOR_CLASS(TGraphic, TPersistent)
public:
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  bool Empty() const { return Width() <= 0 || Height() <= 0; }
  bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool transparent);
  // Draws the whole graphic stretched over RECT of CANVAS.
  virtual void Draw(TCanvas& canvas, const RECT& rect) = 0;
  // The graphic's stored form (see the top of this header).
  virtual std::vector<uint8_t> WriteData() const = 0;
  virtual void ReadData(const std::vector<uint8_t>& data) = 0;

  TNotifyEvent OnChange;
  static void DeclarePublished(TPublished<TGraphic>& p);

protected:
  void Changed();

private:
  bool transparent_ = false;
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit };

class TBitmap : public TGraphic {
  VANTOR_CLASS(TBitmap, TGraphic)
public:
  TBitmap();
  TBitmap(int width, int height);
  ~TBitmap() override;
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;
  void Assign(const TPersistent& source) override;

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void SetWidth(int width) { SetSize(width, height_); }
  void SetHeight(int height) { SetSize(width_, height); }
  // Resizes, keeping the pixels that still fit; new pixels are black.
  void SetSize(int width, int height);
  TPixelFormat PixelFormat() const { return pixelFormat_; }
  void SetPixelFormat(TPixelFormat format);

  // clDefault (the default) means the colour of the bottom-left pixel.
  TColor TransparentColor() const;
  void SetTransparentColor(TColor color);

  // A canvas on the bitmap's own memory DC (created on first use, lives as long as the bitmap).
  TCanvas& Canvas();
  // The DIB section (nullptr while empty); owned by the bitmap.
  HBITMAP Handle() const { return dib_.Get(); }
  // Row Y of the pixels, top-down, Width() words of 0x00RRGGBB. GDI writes must be flushed with
  // GdiFlush before reading; the canvas does this.
  uint32_t* ScanLine(int y);
  const uint32_t* ScanLine(int y) const;

  // Loads the BITMAP resource NAME of INSTANCE; raises EInvalidGraphic when missing.
  void LoadFromResourceName(HINSTANCE instance, const std::string& name);
  // Windows BMP format, through the portable codec; malformed data raises its error and leaves
  // the bitmap unchanged.
  void LoadFromStream(TStream& stream);
  void SaveToStream(TStream& stream) const;
  // Copies pixels from a GDI bitmap (any format) into this one, resizing it.
  void AssignFromHandle(HBITMAP source);

  void Draw(TCanvas& canvas, const RECT& rect) override;
  std::vector<uint8_t> WriteData() const override;
  void ReadData(const std::vector<uint8_t>& data) override;

private:
  void CreateDib(int width, int height);
  void SelectIntoDC();
  void ReleaseDC();

  int width_ = 0;
  int height_ = 0;
  TPixelFormat pixelFormat_ = pf32bit;
  TColor transparentColor_ = clDefault;
  TBitmapHandle dib_;
  uint32_t* bits_ = nullptr;
  TMemoryDC dc_;
  HGDIOBJ dcOriginalBitmap_ = nullptr;
  std::unique_ptr<TCanvas> canvas_;
};

class TIcon : public TGraphic {
  VANTOR_CLASS(TIcon, TGraphic)
public:
  void Assign(const TPersistent& source) override;
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  HICON Handle() const { return handle_.Get(); }
  // Takes ownership of ICON.
  void SetHandle(HICON icon);
  // Loads ICON resource NAME of INSTANCE at SIZE (0: the default size); raises when missing.
  void LoadFromResourceName(HINSTANCE instance, const std::string& name, int size = 0);
  void Draw(TCanvas& canvas, const RECT& rect) override;
  // The .ico file the icon was read from; empty for an icon made from a handle or a resource,
  // which has no file form.
  std::vector<uint8_t> WriteData() const override { return data_; }
  void ReadData(const std::vector<uint8_t>& data) override;

private:
  void Take(HICON icon, std::vector<uint8_t> data);

  TIconHandle handle_;
  std::vector<uint8_t> data_;
  int width_ = 0;
  int height_ = 0;
};

// Holds one graphic (a bitmap or an icon) and reports changes of it.
class TPicture : public TPersistent {
  VANTOR_CLASS(TPicture, TPersistent)
public:
  TPicture();
  ~TPicture() override;
  void Assign(const TPersistent& source) override;

  TGraphic* Graphic() const { return graphic_.get(); }
  // Takes ownership of GRAPHIC (nullptr empties the picture).
  void SetGraphic(std::unique_ptr<TGraphic> graphic);
  // The bitmap, replacing any other graphic by an empty bitmap first.
  TBitmap& Bitmap();
  TIcon& Icon();
  int Width() const { return graphic_ ? graphic_->Width() : 0; }
  int Height() const { return graphic_ ? graphic_->Height() : 0; }
  bool Empty() const { return !graphic_ || graphic_->Empty(); }
  // The stored form: class name, then the graphic's Data (see the top of this header).
  std::vector<uint8_t> WriteData() const;
  void ReadData(const std::vector<uint8_t>& data);

  TNotifyEvent OnChange;
  static void DeclarePublished(TPublished<TPicture>& p);

private:
  void Changed();
  template <typename G>
  G& Hold();

  std::unique_ptr<TGraphic> graphic_;
};

// ---- the canvas ----
class TCanvas : public TPersistent {
  VANTOR_CLASS(TCanvas, TPersistent)
public:
  TCanvas();
  explicit TCanvas(HDC dc);
  ~TCanvas() override;
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  HDC Handle() const { return dc_; }
  void SetHandle(HDC dc) { dc_ = dc; }
  TFont& Font() { return font_; }
  TPen& Pen() { return pen_; }
  TBrush& Brush() { return brush_; }
  // The raster operation of CopyRect (SRCCOPY by default).
  DWORD CopyMode() const { return copyMode_; }
  void SetCopyMode(DWORD mode) { copyMode_ = mode; }

  void FillRect(const RECT& rect);
  // A one-pixel frame in the brush's colour, as GDI FrameRect.
  void FrameRect(const RECT& rect);
  void Rectangle(int left, int top, int right, int bottom);
  void Rectangle(const RECT& rect) { Rectangle(rect.left, rect.top, rect.right, rect.bottom); }
  void Ellipse(int left, int top, int right, int bottom);
  void RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  POINT PenPos() const;
  void Polyline(const std::vector<POINT>& points);
  void Polygon(const std::vector<POINT>& points);
  void Arc(int left, int top, int right, int bottom, int startX, int startY, int endX, int endY);

  void TextOut(int x, int y, const std::string& text);
  SIZE TextExtent(const std::string& text);
  int TextWidth(const std::string& text) { return TextExtent(text).cx; }
  int TextHeight(const std::string& text) { return TextExtent(text).cy; }
  // DrawTextA with the canvas's font and colour; RECT is updated when FLAGS has DT_CALCRECT.
  // Returns the height of the text.
  int DrawText(const std::string& text, RECT& rect, UINT flags);

  void Draw(int x, int y, TGraphic& graphic);
  void StretchDraw(const RECT& rect, TGraphic& graphic);
  // Copies SOURCE_RECT of SOURCE onto DEST_RECT (stretching when the sizes differ) with CopyMode.
  void CopyRect(const RECT& destRect, TCanvas& source, const RECT& sourceRect);

  TColor Pixel(int x, int y) const;
  void SetPixel(int x, int y, TColor color);

  // The dotted XOR rectangle of keyboard focus; drawing it twice erases it.
  void DrawFocusRect(const RECT& rect);

  // Clip box in logical coordinates (an empty rectangle when nothing can be drawn).
  RECT ClipRect() const;
  // Narrows the clip to RECT; undo with a TClipRegionGuard taken before.
  void IntersectClipRect(const RECT& rect);
  POINT ViewportOrigin() const;
  // Returns the previous origin.
  POINT SetViewportOrigin(int x, int y);

private:
  HDC dc_ = nullptr;
  TFont font_;
  TPen pen_;
  TBrush brush_;
  DWORD copyMode_ = SRCCOPY;
};

// Points CANVAS at DC for the length of a scope and back at the DC it had before, also when the
// drawing in between throws.
class TCanvasDCGuard {
public:
  TCanvasDCGuard(TCanvas& canvas, HDC dc) : canvas_(canvas), saved_(canvas.Handle()) { canvas.SetHandle(dc); }
  ~TCanvasDCGuard() { canvas_.SetHandle(saved_); }
  TCanvasDCGuard(const TCanvasDCGuard&) = delete;
  TCanvasDCGuard& operator=(const TCanvasDCGuard&) = delete;

private:
  TCanvas& canvas_;
  HDC saved_;
};

// The header of a 32-bit top-down DIB of WIDTH x HEIGHT (the layout TBitmap keeps), for
// CreateDIBSection and GetDIBits.
BITMAPINFO TopDownDibInfo(int width, int height);

// ---- regions ----
TRegionHandle CreateRectRegion(const RECT& rect);
// CreateRoundRectRgn over RECT with corner ellipses of CORNER_WIDTH x CORNER_HEIGHT.
TRegionHandle CreateRoundRectRegion(const RECT& rect, int cornerWidth, int cornerHeight);
// A new region: A combined with B by MODE (RGN_AND, RGN_OR, RGN_DIFF, RGN_XOR, RGN_COPY).
TRegionHandle CombineRegions(HRGN a, HRGN b, int mode);
