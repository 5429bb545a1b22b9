#include "skin/KYRStyled.h"

#include <cstring>

#include "skin/KYRPublic.h"

namespace {

// FROM's pixels and depth into TO, which keeps its transparency settings, as a load does.
void CopyImage(const TBitmap& from, TBitmap& to) {
  to.SetSize(0, 0);
  to.SetSize(from.Width(), from.Height());
  GdiFlush();
  for (int y = 0; y < from.Height(); ++y)
    std::memcpy(to.ScanLine(y), from.ScanLine(y), static_cast<size_t>(from.Width()) * sizeof(uint32_t));
  to.SetPixelFormat(from.PixelFormat());
}

}  // namespace

IkyrSkinned* AsSkinned(TObject* object) { return dynamic_cast<IkyrSkinned*>(object); }

IkyrFramePanel* AsFramePanel(TObject* object) { return dynamic_cast<IkyrFramePanel*>(object); }

TkyrStyleSource::TkyrStyleSource(TkyrFileTheme* fileTheme, TkyrUIStyle style)
    : fileTheme_(fileTheme),
      style_(style),
      effective_(style),
      fromFile_(UsingFileTheme(fileTheme, style, effective_)),
      images_(std::make_shared<TImages>()) {}

TkyrStyleSource TkyrStyleSource::HandedDown(TkyrUIStyle style) const {
  TkyrStyleSource copy = *this;
  copy.style_ = style;
  return copy;
}

int32_t TkyrStyleSource::Color(int element) const {
  return fromFile_ ? fileTheme_->GetColor(element) : GetBuiltinColor(effective_, element);
}

int32_t TkyrStyleSource::Int(int element) const {
  return fromFile_ ? fileTheme_->GetInt(element) : GetBuiltinInt(effective_, element);
}

bool TkyrStyleSource::Bool(int element) const {
  return fromFile_ ? fileTheme_->GetBool(element) : GetBuiltinBool(effective_, element);
}

// The first request decodes; a built-in style without the image, or a file without a readable
// entry, has none.
const TBitmap* TkyrStyleSource::Image(int element) const {
  if (element < 1 || element > KYR_THEME_ELEMENT_COUNT) return nullptr;
  std::unique_ptr<TBitmap>& image = images_->images[static_cast<size_t>(element)];
  if (images_->decoded[static_cast<size_t>(element)]) return image.get();
  images_->decoded[static_cast<size_t>(element)] = true;
  auto decoded = std::make_unique<TBitmap>();
  if (fromFile_)
    fileTheme_->GetBitmap(element, decoded.get());
  else
    LoadBuiltinThemeBitmap(effective_, element, decoded.get());
  if (!decoded->Empty()) image = std::move(decoded);
  return image.get();
}

void TkyrStyleSource::Bitmap(int element, TGraphic* graphic, int frameCount, int frameIndex) const {
  auto* bitmap = dynamic_cast<TBitmap*>(graphic);
  if (!bitmap) return;
  const TBitmap* image = Image(element);
  if (frameCount == 0) {
    if (image) CopyImage(*image, *bitmap);
    return;
  }
  if (image) return ExtractBitmapFrame(*image, *bitmap, frameCount, frameIndex);
  // A theme file without the image leaves an empty frame; a built-in style, the bitmap as it was.
  if (fromFile_) ExtractBitmapFrame(TBitmap(), *bitmap, frameCount, frameIndex);
}
