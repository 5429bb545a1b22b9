#include "framework/graphics/Graphics.h"

#include "framework/core/BmpCodec.h"
#include "framework/core/IconFile.h"
#include "framework/core/StrUtils.h"
#include "framework/core/Streams.h"

#include <cstdlib>
#include <cstring>

namespace {

struct TNamedValue {
  int64_t value;
  const char* name;
};

const TNamedValue colorNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
    {clHotLight, "clHotLight"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuBar, "clMenuBar"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
};

const TNamedValue charsetNames[] = {
    {ANSI_CHARSET, "ANSI_CHARSET"},
    {DEFAULT_CHARSET, "DEFAULT_CHARSET"},
    {SYMBOL_CHARSET, "SYMBOL_CHARSET"},
    {MAC_CHARSET, "MAC_CHARSET"},
    {SHIFTJIS_CHARSET, "SHIFTJIS_CHARSET"},
    {HANGEUL_CHARSET, "HANGEUL_CHARSET"},
    {JOHAB_CHARSET, "JOHAB_CHARSET"},
    {GB2312_CHARSET, "GB2312_CHARSET"},
    {CHINESEBIG5_CHARSET, "CHINESEBIG5_CHARSET"},
    {GREEK_CHARSET, "GREEK_CHARSET"},
    {TURKISH_CHARSET, "TURKISH_CHARSET"},
    {VIETNAMESE_CHARSET, "VIETNAMESE_CHARSET"},
    {HEBREW_CHARSET, "HEBREW_CHARSET"},
    {ARABIC_CHARSET, "ARABIC_CHARSET"},
    {BALTIC_CHARSET, "BALTIC_CHARSET"},
    {RUSSIAN_CHARSET, "RUSSIAN_CHARSET"},
    {THAI_CHARSET, "THAI_CHARSET"},
    {EASTEUROPE_CHARSET, "EASTEUROPE_CHARSET"},
    {OEM_CHARSET, "OEM_CHARSET"},
};

template <size_t N>
bool NameOf(const TNamedValue (&table)[N], int64_t value, std::string& name) {
  for (const TNamedValue& entry : table) {
    if (entry.value == value) {
      name = entry.name;
      return true;
    }
  }
  return false;
}

template <size_t N>
bool ValueOf(const TNamedValue (&table)[N], std::string_view name, int64_t& value) {
  for (const TNamedValue& entry : table) {
    if (SameText(entry.name, name)) {
      value = entry.value;
      return true;
    }
  }
  return false;
}

template <size_t N>
void RegisterTable(const std::string& typeName, const TNamedValue (&table)[N]) {
  RegisterIntegerConsts(
      typeName, [&table](std::string_view ident, int64_t& value) { return ValueOf(table, ident, value); },
      [&table](int64_t value, std::string& ident) { return NameOf(table, value, ident); });
}

// Stored descriptions are read after start-up, so registering from a static object is early enough.
const bool graphicsIdentsRegistered = (RegisterGraphicsIdents(), true);

// A DIB word 0x00RRGGBB and a TColor 0x00BBGGRR differ by the order of red and blue.
uint32_t SwapRedBlue(uint32_t v) { return (v & 0x0000FF00u) | ((v & 0xFFu) << 16) | ((v >> 16) & 0xFFu); }

}  // namespace

// ---- colours ----

COLORREF ColorToRGB(TColor color) {
  if (color < 0) return GetSysColor(color & 0xFF);
  return static_cast<COLORREF>(color) & 0x00FFFFFFu;
}

bool ColorToIdent(TColor color, std::string& ident) { return NameOf(colorNames, color, ident); }

bool IdentToColor(const std::string& ident, TColor& color) {
  int64_t value = 0;
  if (!ValueOf(colorNames, ident, value)) return false;
  color = static_cast<TColor>(value);
  return true;
}

std::string ColorToString(TColor color) {
  std::string ident;
  if (ColorToIdent(color, ident)) return ident;
  char text[16];
  std::snprintf(text, sizeof text, "$%08X", static_cast<unsigned>(color));
  return text;
}

TColor StringToColor(const std::string& text) {
  TColor color = 0;
  if (IdentToColor(text, color)) return color;
  int64_t value = 0;
  if (!TryParseNumber(text, value) || value < INT32_MIN || value > UINT32_MAX)
    throw EConvertError("'" + text + "' is not a valid colour");
  return static_cast<TColor>(static_cast<uint32_t>(value));
}

void RegisterGraphicsIdents() {
  RegisterTable("TColor", colorNames);
  RegisterTable("TFontCharset", charsetNames);
}

int ScreenPixelsPerInch() {
  static const int ppi = [] {
    TWindowDC screen(nullptr);
    const int value = GetDeviceCaps(screen.Get(), LOGPIXELSY);
    return value > 0 ? value : 96;
  }();
  return ppi;
}

// ---- pens, brushes, fonts ----

void TGraphicsObject::Changed() {
  if (OnChange) OnChange(this);
}

TFont::TFont() = default;

void TFont::Assign(const TPersistent& source) {
  const auto* font = dynamic_cast<const TFont*>(&source);
  if (!font) return inherited::Assign(source);
  if (font == this) return;
  name_ = font->name_;
  height_ = font->height_;
  style_ = font->style_;
  color_ = font->color_;
  charset_ = font->charset_;
  pitch_ = font->pitch_;
  TFontHandle old = std::move(handle_);
  Changed();
}

void TFont::SetName(const std::string& name) { Change(name_, name, handle_); }
void TFont::SetHeight(int height) { Change(height_, height, handle_); }
int TFont::Size() const { return -MulDiv(height_, 72, ScreenPixelsPerInch()); }
void TFont::SetSize(int points) { SetHeight(-MulDiv(points, ScreenPixelsPerInch(), 72)); }
void TFont::SetStyle(TFontStyles style) { Change(style_, style, handle_); }
void TFont::SetCharset(TFontCharset charset) { Change(charset_, charset, handle_); }
void TFont::SetPitch(TFontPitch pitch) { Change(pitch_, pitch, handle_); }

// The colour is not part of the GDI font: keep the handle.
void TFont::SetColor(TColor color) {
  if (color_ == color) return;
  color_ = color;
  Changed();
}

LOGFONTA TFont::LogFont() const {
  LOGFONTA lf{};
  lf.lfHeight = height_;
  lf.lfWeight = style_.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = style_.Contains(fsItalic);
  lf.lfUnderline = style_.Contains(fsUnderline);
  lf.lfStrikeOut = style_.Contains(fsStrikeOut);
  lf.lfCharSet = charset_;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  static const BYTE pitches[] = {DEFAULT_PITCH, VARIABLE_PITCH, FIXED_PITCH};
  lf.lfPitchAndFamily = pitches[pitch_];
  std::strncpy(lf.lfFaceName, name_.c_str(), LF_FACESIZE - 1);
  return lf;
}

void TFont::AssignLogFont(const LOGFONTA& lf) {
  name_.assign(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
  height_ = lf.lfHeight;
  style_ = TFontStyles{};
  if (lf.lfWeight >= FW_BOLD) style_.Include(fsBold);
  if (lf.lfItalic) style_.Include(fsItalic);
  if (lf.lfUnderline) style_.Include(fsUnderline);
  if (lf.lfStrikeOut) style_.Include(fsStrikeOut);
  charset_ = lf.lfCharSet;
  const int pitch = lf.lfPitchAndFamily & 3;
  pitch_ = pitch == FIXED_PITCH ? fpFixed : pitch == VARIABLE_PITCH ? fpVariable : fpDefault;
  TFontHandle old = std::move(handle_);
  Changed();
}

HFONT TFont::Handle() {
  if (!handle_) {
    const LOGFONTA lf = LogFont();
    handle_.Reset(CreateFontIndirectA(&lf));
    if (!handle_) throw EInvalidGraphic("Cannot create font " + name_);
  }
  return handle_.Get();
}

void TFont::DeclarePublished(TPublished<TFont>& p) {
  p.String("Name", &TFont::Name, &TFont::SetName);
  p.Integer("Height", &TFont::Height, &TFont::SetHeight);
  p.Integer("Size", &TFont::Size, &TFont::SetSize);
  p.Set("Style", FontStyleInfo, &TFont::Style, &TFont::SetStyle);
  p.Color("Color", &TFont::Color, &TFont::SetColor);
  p.Integer("Charset", &TFont::Charset, &TFont::SetCharset, "TFontCharset");
  p.Enumeration("Pitch", FontPitchInfo, &TFont::Pitch, &TFont::SetPitch);
}

void TPen::Assign(const TPersistent& source) {
  const auto* pen = dynamic_cast<const TPen*>(&source);
  if (!pen) return inherited::Assign(source);
  if (pen == this) return;
  color_ = pen->color_;
  width_ = pen->width_;
  style_ = pen->style_;
  TPenHandle old = std::move(handle_);
  Changed();
}

void TPen::SetColor(TColor color) { Change(color_, color, handle_); }
void TPen::SetWidth(int width) { Change(width_, width, handle_); }
void TPen::SetStyle(TPenStyle style) { Change(style_, style, handle_); }

HPEN TPen::Handle() {
  static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
  if (!handle_) handle_.Reset(CreatePen(styles[style_], width_, ColorToRGB(color_)));
  if (!handle_) throw EInvalidGraphic("Cannot create pen");
  return handle_.Get();
}

void TBrush::Assign(const TPersistent& source) {
  const auto* brush = dynamic_cast<const TBrush*>(&source);
  if (!brush) return inherited::Assign(source);
  if (brush == this) return;
  color_ = brush->color_;
  style_ = brush->style_;
  bitmap_ = brush->bitmap_;
  TBrushHandle old = std::move(handle_);
  Changed();
}

void TBrush::SetColor(TColor color) { Change(color_, color, handle_); }
void TBrush::SetStyle(TBrushStyle style) { Change(style_, style, handle_); }
void TBrush::SetBitmap(TBitmap* bitmap) { Change(bitmap_, bitmap, handle_); }

HBRUSH TBrush::Handle() {
  static const int hatches[] = {0, 0, HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS};
  if (handle_) return handle_.Get();
  if (bitmap_ && bitmap_->Handle()) {
    handle_.Reset(CreatePatternBrush(bitmap_->Handle()));
  } else if (style_ == bsClear) {
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  } else if (style_ == bsSolid) {
    handle_.Reset(CreateSolidBrush(ColorToRGB(color_)));
  } else {
    handle_.Reset(CreateHatchBrush(hatches[style_], ColorToRGB(color_)));
  }
  if (!handle_) throw EInvalidGraphic("Cannot create brush");
  return handle_.Get();
}

// ---- graphics ----

void TGraphic::Changed() {
  if (OnChange) OnChange(this);
}

void TGraphic::SetTransparent(bool transparent) {
  if (transparent_ == transparent) return;
  transparent_ = transparent;
  Changed();
}

void TGraphic::DeclarePublished(TPublished<TGraphic>& p) {
  p.Binary("Data", &TGraphic::WriteData, &TGraphic::ReadData);
}

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height) { SetSize(width, height); }

TBitmap::~TBitmap() {
  canvas_.reset();
  ReleaseDC();
}

void TBitmap::ReleaseDC() {
  if (dc_ && dcOriginalBitmap_) SelectObject(dc_.Get(), dcOriginalBitmap_);
  dcOriginalBitmap_ = nullptr;
}

void TBitmap::SelectIntoDC() {
  if (!dc_) dc_ = TMemoryDC(nullptr);
  if (!dib_) return;
  HGDIOBJ previous = SelectObject(dc_.Get(), dib_.Get());
  if (!dcOriginalBitmap_) dcOriginalBitmap_ = previous;
}

// A fresh zeroed 32-bit top-down DIB section; the memory DC (if any) gets the new one.
void TBitmap::CreateDib(int width, int height) {
  if (width < 0 || height < 0 || static_cast<int64_t>(width) * height > BmpMaxPixels)
    throw EInvalidGraphic("Invalid bitmap size");
  TBitmapHandle dib;
  void* bits = nullptr;
  if (width > 0 && height > 0) {
    const BITMAPINFO info = TopDownDibInfo(width, height);
    dib.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib) throw EInvalidGraphic("Cannot create a bitmap of that size");
  }
  const bool selected = dc_ && dcOriginalBitmap_;
  ReleaseDC();
  dib_ = std::move(dib);
  bits_ = static_cast<uint32_t*>(bits);
  width_ = dib_ ? width : 0;
  height_ = dib_ ? height : 0;
  if (selected || canvas_) SelectIntoDC();
}

void TBitmap::SetSize(int width, int height) {
  if (width == width_ && height == height_) return;
  GdiFlush();
  const int oldWidth = width_;
  const int oldHeight = height_;
  std::vector<uint32_t> old(bits_, bits_ + static_cast<size_t>(oldWidth) * oldHeight);
  CreateDib(width, height);
  const int rows = std::min(oldHeight, height_);
  const int columns = std::min(oldWidth, width_);
  for (int y = 0; y < rows; ++y)
    std::memcpy(ScanLine(y), old.data() + static_cast<size_t>(y) * oldWidth, columns * sizeof(uint32_t));
  Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (pixelFormat_ == format) return;
  pixelFormat_ = format;
  Changed();
}

TColor TBitmap::TransparentColor() const {
  if (transparentColor_ != clDefault) return transparentColor_;
  if (Empty()) return clNone;
  GdiFlush();
  return static_cast<TColor>(SwapRedBlue(ScanLine(height_ - 1)[0] & 0xFFFFFFu));
}

void TBitmap::SetTransparentColor(TColor color) {
  if (transparentColor_ == color) return;
  transparentColor_ = color;
  Changed();
}

TCanvas& TBitmap::Canvas() {
  if (!canvas_) {
    SelectIntoDC();
    canvas_ = std::make_unique<TCanvas>(dc_.Get());
  }
  return *canvas_;
}

uint32_t* TBitmap::ScanLine(int y) { return bits_ + static_cast<size_t>(y) * width_; }
const uint32_t* TBitmap::ScanLine(int y) const { return bits_ + static_cast<size_t>(y) * width_; }

namespace {

TPixelFormat FormatOfDepth(int bitsPerPixel) {
  switch (bitsPerPixel) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 16: return pf16bit;
    case 24: return pf24bit;
    default: return pf32bit;
  }
}

int DepthOfFormat(TPixelFormat format) {
  static const int depths[] = {32, 1, 4, 8, 16, 16, 24, 32};
  return depths[format];
}

// Replaces the pixels of BITMAP by IMAGE (alpha kept only for 32-bit sources).
void AssignImage(TBitmap& bitmap, const TBmpImage& image) {
  bitmap.SetSize(0, 0);
  bitmap.SetSize(image.Width, image.Height);
  const uint32_t alphaMask = image.BitsPerPixel == 32 ? 0xFFFFFFFFu : 0x00FFFFFFu;
  for (int y = 0; y < image.Height; ++y) {
    uint32_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < image.Width; ++x) row[x] = image.Pixel(x, y) & alphaMask;
  }
  bitmap.SetPixelFormat(FormatOfDepth(image.BitsPerPixel));
}

}  // namespace

void TBitmap::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
  HRSRC found = FindResourceA(instance, name.c_str(), MAKEINTRESOURCEA(2));  // RT_BITMAP
  HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) throw EInvalidGraphic("Bitmap resource " + name + " not found");
  // A BITMAP resource is a DIB without the file header.
  AssignImage(*this, DecodeDib(static_cast<const uint8_t*>(data), SizeofResource(instance, found)));
  Changed();
}

// Decodes the rest of the stream (the codec reads only what the headers describe) and leaves the
// position just behind the bitmap when bfSize is plausible, so data after it can be read next.
// Windows itself ignores bfSize, so it never limits what is decoded.
void TBitmap::LoadFromStream(TStream& stream) {
  const int64_t start = stream.Position();
  std::vector<uint8_t> file(static_cast<size_t>(std::max<int64_t>(stream.Size() - start, 0)));
  if (!file.empty()) stream.ReadBuffer(file.data(), static_cast<int64_t>(file.size()));
  const uint32_t declared =
      file.size() >= 6 ? file[2] | file[3] << 8 | file[4] << 16 | static_cast<uint32_t>(file[5]) << 24 : 0;
  if (declared >= 14 && declared < file.size()) stream.SetPosition(start + declared);
  AssignImage(*this, DecodeBmp(file));  // EInvalidBitmap for anything malformed
  Changed();
}

void TBitmap::SaveToStream(TStream& stream) const {
  TBmpImage image = MakeBmpImage(width_, height_);
  GdiFlush();
  for (int y = 0; y < height_; ++y) std::memcpy(&image.Pixel(0, y), ScanLine(y), width_ * sizeof(uint32_t));
  image.BitsPerPixel = DepthOfFormat(pixelFormat_);
  const std::vector<uint8_t> file = EncodeBmp(image);
  stream.WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
}

namespace {
uint32_t ReadUInt32LE(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
}  // namespace

std::vector<uint8_t> TBitmap::WriteData() const {
  TMemoryStream stream;
  stream.WriteUInt32LE(0);
  if (!Empty()) SaveToStream(stream);
  stream.SetPosition(0);
  stream.WriteUInt32LE(static_cast<uint32_t>(stream.Size() - 4));
  return stream.Bytes();
}

void TBitmap::ReadData(const std::vector<uint8_t>& data) {
  if (data.size() < 4 || ReadUInt32LE(data.data()) > data.size() - 4)
    throw EInvalidGraphic("Bitmap data is cut short");
  const uint32_t size = ReadUInt32LE(data.data());
  if (size == 0) {
    SetSize(0, 0);
    return Changed();
  }
  TMemoryStream stream(std::vector<uint8_t>(data.begin() + 4, data.begin() + 4 + size));
  LoadFromStream(stream);
}

void TBitmap::AssignFromHandle(HBITMAP source) {
  BITMAP info{};
  if (!source || !GetObjectA(source, sizeof info, &info)) throw EInvalidGraphic("Invalid bitmap handle");
  SetSize(0, 0);
  SetSize(info.bmWidth, info.bmHeight);
  BITMAPINFO want = TopDownDibInfo(info.bmWidth, info.bmHeight);
  TWindowDC screen(nullptr);
  GetDIBits(screen.Get(), source, 0, info.bmHeight, bits_, &want, DIB_RGB_COLORS);
  SetPixelFormat(FormatOfDepth(info.bmBitsPixel));
  Changed();
}

void TBitmap::Assign(const TPersistent& source) {
  const auto* bitmap = dynamic_cast<const TBitmap*>(&source);
  if (!bitmap) return inherited::Assign(source);
  if (bitmap == this) return;
  GdiFlush();
  SetSize(0, 0);
  SetSize(bitmap->width_, bitmap->height_);
  if (bits_) std::memcpy(bits_, bitmap->bits_, static_cast<size_t>(width_) * height_ * sizeof(uint32_t));
  pixelFormat_ = bitmap->pixelFormat_;
  transparentColor_ = bitmap->transparentColor_;
  SetTransparent(bitmap->Transparent());
  Changed();
}

void TBitmap::Draw(TCanvas& canvas, const RECT& rect) {
  if (Empty()) return;
  SelectIntoDC();
  GdiFlush();
  const int w = rect.right - rect.left;
  const int h = rect.bottom - rect.top;
  if (Transparent()) {
    TransparentBlt(canvas.Handle(), rect.left, rect.top, w, h, dc_.Get(), 0, 0, width_, height_,
                   ColorToRGB(TransparentColor()));
    return;
  }
  // COLORONCOLOR copies whole pixels, so stretched drawing stays deterministic.
  TStretchBltModeGuard keepMode(canvas.Handle(), COLORONCOLOR);
  StretchBlt(canvas.Handle(), rect.left, rect.top, w, h, dc_.Get(), 0, 0, width_, height_, SRCCOPY);
}

void TIcon::Assign(const TPersistent& source) {
  const auto* icon = dynamic_cast<const TIcon*>(&source);
  if (!icon) return inherited::Assign(source);
  if (icon == this) return;
  Take(icon->Handle() ? CopyIcon(icon->Handle()) : nullptr, icon->data_);
}

void TIcon::SetHandle(HICON icon) { Take(icon, {}); }

// CreateIconFromResourceEx takes one image of the file (a DIB with its AND mask, or a PNG);
// 0x00030000 is the format version every icon since Windows 3 uses.
void TIcon::ReadData(const std::vector<uint8_t>& data) {
  if (data.empty()) return Take(nullptr, {});
  std::vector<TIconImageInfo> images;
  try {
    images = ReadIconDirectory(data.data(), data.size());
  } catch (const EInvalidIcon& e) {
    throw EInvalidGraphic(e.Message());
  }
  const TIconImageInfo& image = images[BestIconImage(images, 0)];
  HICON icon = CreateIconFromResourceEx(const_cast<uint8_t*>(data.data() + image.Offset),
                                        static_cast<DWORD>(image.Size), TRUE, 0x00030000, image.Width,
                                        image.Height, LR_DEFAULTCOLOR);
  if (!icon) throw EInvalidGraphic("Icon image cannot be read");
  Take(icon, data);
}

void TIcon::Take(HICON icon, std::vector<uint8_t> data) {
  data_ = std::move(data);
  handle_.Reset(icon);
  width_ = height_ = 0;
  ICONINFO info{};
  if (icon && GetIconInfo(icon, &info)) {
    // GetIconInfo hands out copies of the icon's bitmaps.
    TBitmapHandle mask(info.hbmMask);
    TBitmapHandle color(info.hbmColor);
    BITMAP bm{};
    GetObjectA(info.hbmMask, sizeof bm, &bm);
    width_ = bm.bmWidth;
    height_ = color ? bm.bmHeight : bm.bmHeight / 2;  // monochrome icons stack AND over XOR
  }
  Changed();
}

void TIcon::LoadFromResourceName(HINSTANCE instance, const std::string& name, int size) {
  HANDLE icon = LoadImageA(instance, name.c_str(), IMAGE_ICON, size, size, size ? 0 : LR_DEFAULTSIZE);
  if (!icon) throw EInvalidGraphic("Icon resource " + name + " not found");
  SetHandle(static_cast<HICON>(icon));
}

void TIcon::Draw(TCanvas& canvas, const RECT& rect) {
  if (!handle_) return;
  DrawIconEx(canvas.Handle(), rect.left, rect.top, handle_.Get(), rect.right - rect.left, rect.bottom - rect.top, 0,
             nullptr, DI_NORMAL);
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Changed() {
  if (OnChange) OnChange(this);
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic) {
  graphic_ = std::move(graphic);
  if (graphic_) graphic_->OnChange = [this](TObject*) { Changed(); };
  Changed();
}

template <typename G>
G& TPicture::Hold() {
  if (auto* held = dynamic_cast<G*>(graphic_.get())) return *held;
  SetGraphic(std::make_unique<G>());
  return static_cast<G&>(*graphic_);
}

TBitmap& TPicture::Bitmap() { return Hold<TBitmap>(); }
TIcon& TPicture::Icon() { return Hold<TIcon>(); }

namespace {
// A new, empty graphic of the class named NAME; EInvalidGraphic for any other name.
std::unique_ptr<TGraphic> NewGraphic(std::string_view name) {
  if (name == TBitmap::StaticClassInfo().Name()) return std::make_unique<TBitmap>();
  if (name == TIcon::StaticClassInfo().Name()) return std::make_unique<TIcon>();
  throw EInvalidGraphic("Unknown picture format " + std::string(name));
}
}  // namespace

std::vector<uint8_t> TPicture::WriteData() const {
  if (!graphic_) return {};
  const std::string name = graphic_->ClassName();
  std::vector<uint8_t> data{static_cast<uint8_t>(name.size())};
  data.insert(data.end(), name.begin(), name.end());
  const std::vector<uint8_t> own = graphic_->WriteData();
  data.insert(data.end(), own.begin(), own.end());
  return data;
}

void TPicture::ReadData(const std::vector<uint8_t>& data) {
  if (data.empty() || data[0] == 0) return SetGraphic(nullptr);
  if (data[0] >= data.size()) throw EInvalidGraphic("Picture data is cut short");
  const std::string name(data.begin() + 1, data.begin() + 1 + data[0]);
  std::unique_ptr<TGraphic> graphic = NewGraphic(name);
  graphic->ReadData(std::vector<uint8_t>(data.begin() + 1 + data[0], data.end()));
  SetGraphic(std::move(graphic));
}

void TPicture::DeclarePublished(TPublished<TPicture>& p) {
  p.Binary("Data", &TPicture::WriteData, &TPicture::ReadData);
}

void TPicture::Assign(const TPersistent& source) {
  const TGraphic* graphic = nullptr;
  if (const auto* picture = dynamic_cast<const TPicture*>(&source)) {
    if (picture == this) return;
    graphic = picture->Graphic();
  } else if (!(graphic = dynamic_cast<const TGraphic*>(&source))) {
    return inherited::Assign(source);
  }
  if (dynamic_cast<const TBitmap*>(graphic))
    Bitmap().Assign(*graphic);
  else if (dynamic_cast<const TIcon*>(graphic))
    Icon().Assign(*graphic);
  else
    SetGraphic(nullptr);
}

// ---- the canvas ----

namespace {

// The canvas's font and colours for text: transparent background over a clear brush, else the
// brush colour behind the glyphs.
class TTextState {
public:
  TTextState(HDC dc, TFont& font, TBrush& brush)
      : font_(dc, font.Handle()),
        color_(dc, ColorToRGB(font.Color())),
        mode_(dc, brush.Style() == bsClear ? TRANSPARENT : OPAQUE),
        back_(dc, ColorToRGB(brush.Color())) {}

private:
  TSelectObjectGuard font_;
  TTextColorGuard color_;
  TBkModeGuard mode_;
  TBkColorGuard back_;
};

// The canvas's pen and brush for outlines and fills.
class TShapeState {
public:
  TShapeState(HDC dc, TPen& pen, TBrush& brush) : pen_(dc, pen.Handle()), brush_(dc, brush.Handle()) {}

private:
  TSelectObjectGuard pen_;
  TSelectObjectGuard brush_;
};

}  // namespace

TCanvas::TCanvas() = default;
TCanvas::TCanvas(HDC dc) : dc_(dc) {}
TCanvas::~TCanvas() = default;

void TCanvas::FillRect(const RECT& rect) {
  if (brush_.Style() == bsClear && !brush_.Bitmap()) return;
  ::FillRect(dc_, &rect, brush_.Handle());
}

void TCanvas::FrameRect(const RECT& rect) { ::FrameRect(dc_, &rect, brush_.Handle()); }

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
  TShapeState state(dc_, pen_, brush_);
  ::Rectangle(dc_, left, top, right, bottom);
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) {
  TShapeState state(dc_, pen_, brush_);
  ::Ellipse(dc_, left, top, right, bottom);
}

void TCanvas::RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight) {
  TShapeState state(dc_, pen_, brush_);
  ::RoundRect(dc_, left, top, right, bottom, cornerWidth, cornerHeight);
}

void TCanvas::MoveTo(int x, int y) { MoveToEx(dc_, x, y, nullptr); }

void TCanvas::LineTo(int x, int y) {
  TSelectObjectGuard pen(dc_, pen_.Handle());
  ::LineTo(dc_, x, y);
}

POINT TCanvas::PenPos() const {
  POINT p{};
  GetCurrentPositionEx(dc_, &p);
  return p;
}

void TCanvas::Polyline(const std::vector<POINT>& points) {
  if (points.empty()) return;
  TSelectObjectGuard pen(dc_, pen_.Handle());
  ::Polyline(dc_, points.data(), static_cast<int>(points.size()));
}

void TCanvas::Polygon(const std::vector<POINT>& points) {
  if (points.empty()) return;
  TShapeState state(dc_, pen_, brush_);
  ::Polygon(dc_, points.data(), static_cast<int>(points.size()));
}

void TCanvas::Arc(int left, int top, int right, int bottom, int startX, int startY, int endX, int endY) {
  TSelectObjectGuard pen(dc_, pen_.Handle());
  ::Arc(dc_, left, top, right, bottom, startX, startY, endX, endY);
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  TTextState state(dc_, font_, brush_);
  ::TextOutA(dc_, x, y, text.data(), static_cast<int>(text.size()));
}

SIZE TCanvas::TextExtent(const std::string& text) {
  TSelectObjectGuard font(dc_, font_.Handle());
  SIZE size{};
  GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size);
  return size;
}

// DT_MODIFYSTRING would let DrawTextA write into the caller's constant text: it is dropped.
int TCanvas::DrawText(const std::string& text, RECT& rect, UINT flags) {
  TTextState state(dc_, font_, brush_);
  return ::DrawTextA(dc_, text.data(), static_cast<int>(text.size()), &rect, flags & ~UINT{DT_MODIFYSTRING});
}

void TCanvas::Draw(int x, int y, TGraphic& graphic) {
  graphic.Draw(*this, RECT{x, y, x + graphic.Width(), y + graphic.Height()});
}

void TCanvas::StretchDraw(const RECT& rect, TGraphic& graphic) { graphic.Draw(*this, rect); }

void TCanvas::CopyRect(const RECT& destRect, TCanvas& source, const RECT& sourceRect) {
  TStretchBltModeGuard keepMode(dc_, COLORONCOLOR);
  StretchBlt(dc_, destRect.left, destRect.top, destRect.right - destRect.left, destRect.bottom - destRect.top,
             source.Handle(), sourceRect.left, sourceRect.top, sourceRect.right - sourceRect.left,
             sourceRect.bottom - sourceRect.top, copyMode_);
}

TColor TCanvas::Pixel(int x, int y) const {
  const COLORREF c = GetPixel(dc_, x, y);
  return c == CLR_INVALID ? clNone : static_cast<TColor>(c);
}

void TCanvas::SetPixel(int x, int y, TColor color) { ::SetPixel(dc_, x, y, ColorToRGB(color)); }

// DrawFocusRect inverts with a pattern whose colours come from the DC's text and background
// colours; black on white gives the usual dotted inversion.
void TCanvas::DrawFocusRect(const RECT& rect) {
  TTextColorGuard text(dc_, RGB(0, 0, 0));
  TBkColorGuard back(dc_, RGB(255, 255, 255));
  ::DrawFocusRect(dc_, &rect);
}

RECT TCanvas::ClipRect() const {
  RECT r{};
  if (GetClipBox(dc_, &r) == ERROR) return RECT{};
  return r;
}

void TCanvas::IntersectClipRect(const RECT& rect) {
  ::IntersectClipRect(dc_, rect.left, rect.top, rect.right, rect.bottom);
}

POINT TCanvas::ViewportOrigin() const {
  POINT p{};
  GetViewportOrgEx(dc_, &p);
  return p;
}

POINT TCanvas::SetViewportOrigin(int x, int y) {
  POINT previous{};
  SetViewportOrgEx(dc_, x, y, &previous);
  return previous;
}

BITMAPINFO TopDownDibInfo(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

// ---- regions ----

TRegionHandle CreateRectRegion(const RECT& rect) {
  return TRegionHandle(CreateRectRgn(rect.left, rect.top, rect.right, rect.bottom));
}

TRegionHandle CreateRoundRectRegion(const RECT& rect, int cornerWidth, int cornerHeight) {
  return TRegionHandle(CreateRoundRectRgn(rect.left, rect.top, rect.right, rect.bottom, cornerWidth, cornerHeight));
}

TRegionHandle CombineRegions(HRGN a, HRGN b, int mode) {
  TRegionHandle result(CreateRectRgn(0, 0, 0, 0));
  CombineRgn(result.Get(), a, b, mode);
  return result;
}
