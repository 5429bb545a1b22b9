#include "framework/graphics/ImgList.h"

#include <shlwapi.h>

namespace {

// ImageList_Add* copy the pixels they get, so a temporary GDI bitmap of the source is enough.
TBitmapHandle DeviceCopy(const TBitmap& image) {
  const BITMAPINFO info = TopDownDibInfo(image.Width(), image.Height());
  void* bits = nullptr;
  TBitmapHandle copy(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!copy) return copy;
  GdiFlush();
  for (int y = 0; y < image.Height(); ++y) {
    // Alpha cleared: comctl32 v6 would otherwise treat a 32-bit image as pre-multiplied.
    const uint32_t* from = image.ScanLine(y);
    uint32_t* to = static_cast<uint32_t*>(bits) + static_cast<size_t>(y) * image.Width();
    for (int x = 0; x < image.Width(); ++x) to[x] = from[x] & 0x00FFFFFFu;
  }
  return copy;
}

}  // namespace

bool CommonControlsV6() {
  static const bool v6 = [] {
    HMODULE comctl = GetModuleHandleA("comctl32.dll");
    auto getVersion = comctl ? reinterpret_cast<DLLGETVERSIONPROC>(
                                   reinterpret_cast<void*>(GetProcAddress(comctl, "DllGetVersion")))
                             : nullptr;
    DLLVERSIONINFO version{};
    version.cbSize = sizeof version;
    return getVersion && SUCCEEDED(getVersion(&version)) && version.dwMajorVersion >= 6;
  }();
  return v6;
}

TImageList::TImageList(TComponent* owner) : TComponent(owner), width_(0), height_(0) { SetSize(16, 16); }

TImageList::TImageList(int width, int height) : TComponent(nullptr), width_(0), height_(0) {
  SetSize(width, height);
}

TImageList::~TImageList() {
  // Every reference is cleared while this object is still whole.
  for (TImageListLink* link : std::vector<TImageListLink*>(links_)) {
    link->list_ = nullptr;
    link->Notify(this);
  }
}

void TImageList::SetSize(int width, int height) {
  if (width == width_ && height == height_ && handle_) return;
  TImageListHandle list(ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 4, 4));
  if (!list) throw EInvalidGraphic("Cannot create image list");
  handle_ = std::move(list);
  width_ = width;
  height_ = height;
  Changed();
}

void TImageList::Changed() {
  if (OnChange) OnChange(this);
  for (TImageListLink* link : std::vector<TImageListLink*>(links_)) link->Notify(this);
}

int TImageList::Count() const { return ImageList_GetImageCount(handle_.Get()); }

int TImageList::AddMasked(const TBitmap& image, TColor maskColor) {
  if (image.Empty()) return -1;
  TBitmapHandle copy = DeviceCopy(image);
  const int index = ImageList_AddMasked(handle_.Get(), copy.Get(), ColorToRGB(maskColor));
  Changed();
  return index;
}

int TImageList::Add(const TBitmap& image) {
  if (image.Empty()) return -1;
  TBitmapHandle copy = DeviceCopy(image);
  const int index = ImageList_Add(handle_.Get(), copy.Get(), nullptr);
  Changed();
  return index;
}

void TImageList::Clear() {
  ImageList_RemoveAll(handle_.Get());
  Changed();
}

void TImageList::GetStrip(TBitmap& strip, TColor maskColor) const {
  strip.SetSize(0, 0);
  strip.SetSize(Count() * width_, height_);
  if (strip.Empty()) return;
  strip.Canvas().Brush().SetColor(maskColor);
  strip.Canvas().FillRect(RECT{0, 0, strip.Width(), strip.Height()});
  for (int i = 0; i < Count(); ++i)
    ImageList_Draw(handle_.Get(), i, strip.Canvas().Handle(), i * width_, 0, ILD_TRANSPARENT);
}

std::vector<uint8_t> TImageList::BitmapData() const {
  if (Count() == 0) return {};
  TBitmap strip;
  GetStrip(strip);
  strip.SetPixelFormat(pf24bit);
  return strip.WriteData();
}

void TImageList::SetBitmapData(const std::vector<uint8_t>& data) {
  TBitmap strip;
  if (!data.empty()) strip.ReadData(data);
  ImageList_RemoveAll(handle_.Get());
  if (!strip.Empty()) {
    TBitmapHandle copy = DeviceCopy(strip);
    ImageList_AddMasked(handle_.Get(), copy.Get(), ColorToRGB(clFuchsia));
  }
  Changed();
}

void TImageList::DeclarePublished(TPublished<TImageList>& p) {
  p.Integer("Height", &TImageList::Height, &TImageList::SetHeight);
  p.Integer("Width", &TImageList::Width, &TImageList::SetWidth);
  p.Binary("Bitmap", &TImageList::BitmapData, &TImageList::SetBitmapData);
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) {
  if (index < 0 || index >= Count()) return;
  if (!enabled) return DrawGreyed(canvas.Handle(), x, y, index);
  ImageList_Draw(handle_.Get(), index, canvas.Handle(), x, y, ILD_TRANSPARENT);
}

// Only comctl32 v6 knows ILS_SATURATE; older versions draw normally, so greying falls back to
// DrawState, which embosses an icon of the image in the system's disabled colours.
void TImageList::DrawGreyed(HDC dc, int x, int y, int index) {
  if (CommonControlsV6()) {
    IMAGELISTDRAWPARAMS params{};
    params.cbSize = sizeof params;
    params.himl = handle_.Get();
    params.i = index;
    params.hdcDst = dc;
    params.x = x;
    params.y = y;
    params.rgbBk = CLR_NONE;
    params.rgbFg = CLR_DEFAULT;
    params.fStyle = ILD_TRANSPARENT;
    params.fState = ILS_SATURATE;
    ImageList_DrawIndirect(&params);
    return;
  }
  TIconHandle icon(ImageList_GetIcon(handle_.Get(), index, ILD_TRANSPARENT));
  DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon.Get()), 0, x, y, width_, height_,
             DST_ICON | DSS_DISABLED);
}

// ---- TImageListLink ----
TImageListLink::~TImageListLink() {
  if (list_) std::erase(list_->links_, this);
}

void TImageListLink::SetImages(TImageList* list) {
  if (list == list_) return;
  if (list_) std::erase(list_->links_, this);
  list_ = list;
  if (list_) list_->links_.push_back(this);
  Notify(list_);
}

void TImageListLink::Notify(TObject* sender) const {
  if (onChange_) onChange_(sender);
}
