// The Windows half of the style unit (declared in KYRThemes.h): built-in bitmaps from the
// program's resources, the owner form's style and the theme-file bitmap getter. It lives in
// the Win32 skin library so that the portable tables depend on nothing above the core.
#include "skin/KYRThemes.h"

#include <windows.h>

#include "framework/graphics/Graphics.h"
#include "framework/ui/Forms.h"
#include "skin/KYRStyled.h"
#include "skin/KYRPublic.h"
#include "skin/KYRThemeFile.h"

namespace {
int imageDecodes = 0;
}  // namespace

int ThemeImageDecodes() { return imageDecodes; }

// ---- built-in bitmaps ----

void LoadBuiltinThemeBitmap(TkyrUIStyle style, int element, TBitmap* bitmap) {
  const char* name = GetBuiltinImageName(style, element);
  if (!bitmap || !*name) return;
  ++imageDecodes;
  bitmap->LoadFromResourceName(GetModuleHandleA(nullptr), name);
}

void GetBuiltinBitmap(TkyrUIStyle style, int element, TGraphic* graphic, int frameCount, int frameIndex) {
  auto* bitmap = dynamic_cast<TBitmap*>(graphic);
  if (!bitmap) return;
  if (frameCount == 0) return LoadBuiltinThemeBitmap(style, element, bitmap);
  if (!*GetBuiltinImageName(style, element)) return;
  TBitmap strip;
  LoadBuiltinThemeBitmap(style, element, &strip);
  ExtractBitmapFrame(strip, *bitmap, frameCount, frameIndex);
}

// ---- the owner form's style ----

TkyrUIStyle GetOwnerFormUIStyle(TComponent* owner) {
  auto* form = dynamic_cast<TCustomForm*>(owner);
  for (int i = 0; form && i < form->ControlCount(); ++i) {
    if (const IkyrFramePanel* panel = AsFramePanel(form->Controls(i))) return panel->UIStyle();
  }
  return DeepBlue;
}

// ---- TkyrFileThemeMgr ----

// A corrupt entry reads as no entry (the bitmap is left as it was: the decoder throws before
// it changes anything), since look-ups must never raise: a style change would otherwise stop
// half-way through a form's controls.
void TkyrFileThemeMgr::GetBitmap(int element, TGraphic* graphic) const {
  auto* bitmap = dynamic_cast<TBitmap*>(graphic);
  TStream* stream = reader_ && bitmap ? reader_->GetStream(GetThemeElementKey(element)) : nullptr;
  if (!stream) return;
  ++imageDecodes;
  try {
    bitmap->LoadFromStream(*stream);
  } catch (const Exception&) {
  }
}
