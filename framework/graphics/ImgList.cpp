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

TImageList::TImageList(int width, int height)
    : width_(width), height_(height), handle_(ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 4, 4)) {
  if (!handle_) throw EInvalidGraphic("Cannot create image list");
}

int TImageList::Count() const { return ImageList_GetImageCount(handle_.Get()); }

int TImageList::AddMasked(const TBitmap& image, TColor maskColor) {
  if (image.Empty()) return -1;
  TBitmapHandle copy = DeviceCopy(image);
  const int index = ImageList_AddMasked(handle_.Get(), copy.Get(), ColorToRGB(maskColor));
  if (OnChange) OnChange(this);
  return index;
}

int TImageList::Add(const TBitmap& image) {
  if (image.Empty()) return -1;
  TBitmapHandle copy = DeviceCopy(image);
  const int index = ImageList_Add(handle_.Get(), copy.Get(), nullptr);
  if (OnChange) OnChange(this);
  return index;
}

void TImageList::Clear() {
  ImageList_RemoveAll(handle_.Get());
  if (OnChange) OnChange(this);
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
