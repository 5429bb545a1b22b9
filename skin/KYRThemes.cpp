#include "skin/KYRThemes.h"

#include "framework/core/SysUtils.h"
#include "skin/KYRThemeFile.h"

namespace {

// Every BITMAP resource the built-in styles name, once. Image cells hold the number of
// their resource in this list (kNoBitmap for none), which keeps every cell 32 bits wide.
#define KYR_BUILTIN_BITMAPS(X) \
  X(MACOS_BUTTON) X(WINXP_BUTTON) X(DEEPBLUE_BUTTON) \
  X(PROTEIN_BUTTON) X(BLUEGLASS_BUTTON) X(MACOS_CHECKBOX) \
  X(WINXP_CHECKBOX) X(DEEPBLUE_CHECKBOX) X(PROTEIN_CHECKBOX) \
  X(BLUEGLASS_CHECKBOX) X(MACOS_RADIOBUTTON) X(WINXP_RADIOBUTTON) \
  X(DEEPBLUE_RADIOBUTTON) X(PROTEIN_RADIOBUTTON) X(BLUEGLASS_RADIOBUTTON) \
  X(MACOS_TITLEBTN) X(WINXP_TITLEBTN) X(DEEPBLUE_TITLEBTN) \
  X(PROTEIN_TITLEBTN) X(BLUEGLASS_TITLEBTN) X(MACOS_TITLE_LEFT) \
  X(WINXP_TITLE_LEFT) X(DEEPBLUE_TITLE_LEFT) X(PROTEIN_TITLE_LEFT) \
  X(BLUEGLASS_TITLE_LEFT) X(MACOS_TITLE_CLIENT) X(WINXP_TITLE_CLIENT) \
  X(DEEPBLUE_TITLE_CLIENT) X(PROTEIN_TITLE_CLIENT) X(BLUEGLASS_TITLE_CLIENT) \
  X(MACOS_TITLE_RIGHT) X(WINXP_TITLE_RIGHT) X(DEEPBLUE_TITLE_RIGHT) \
  X(PROTEIN_TITLE_RIGHT) X(BLUEGLASS_TITLE_RIGHT) X(MACOS_PROGRESSBAR) \
  X(WINXP_PROGRESSBAR) X(DEEPBLUE_PROGRESSBAR) X(PROTEIN_PROGRESSBAR) \
  X(BLUEGLASS_PROGRESSBAR) X(MACOS_TRACKBAR_BAR) X(WINXP_TRACKBAR_BAR) \
  X(DEEPBLUE_TRACKBAR_BAR) X(PROTEIN_TRACKBAR_BAR) X(BLUEGLASS_TRACKBAR_BAR) \
  X(MACOS_TRACKBAR_SLIDER) X(WINXP_TRACKBAR_SLIDER) X(DEEPBLUE_TRACKBAR_SLIDER) \
  X(PROTEIN_TRACKBAR_SLIDER) X(BLUEGLASS_TRACKBAR_SLIDER) X(MACOS_TRACKBAR_SLIDER_V) \
  X(WINXP_TRACKBAR_SLIDER_V) X(DEEPBLUE_TRACKBAR_SLIDER_V) X(PROTEIN_TRACKBAR_SLIDER_V) \
  X(BLUEGLASS_TRACKBAR_SLIDER_V) X(MACOS_SCROLLBAR_BUTTON) X(WINXP_SCROLLBAR_BUTTON) \
  X(DEEPBLUE_SCROLLBAR_BUTTON) X(PROTEIN_SCROLLBAR_BUTTON) X(BLUEGLASS_SCROLLBAR_BUTTON) \
  X(MACOS_SCROLLBAR_TRACK) X(WINXP_SCROLLBAR_TRACK) X(DEEPBLUE_SCROLLBAR_TRACK) \
  X(PROTEIN_SCROLLBAR_TRACK) X(BLUEGLASS_SCROLLBAR_TRACK) X(MACOS_CHECKLIST) \
  X(WINXP_CHECKLIST) X(DEEPBLUE_CHECKLIST) X(PROTEIN_CHECKLIST) \
  X(BLUEGLASS_CHECKLIST) X(MACOS_SCROLLBUTTON) X(WINXP_SCROLLBUTTON) \
  X(MORE_SCROLLBUTTON) X(MACOS_TAB) X(WINXP_TAB) \
  X(DEEPBLUE_TAB) X(PROTEIN_TAB) X(BLUEGLASS_TAB) \
  X(MACOS_TAB_LINE) X(WINXP_TAB_LINE) X(DEEPBLUE_TAB_LINE) \
  X(PROTEIN_TAB_LINE) X(BLUEGLASS_TAB_LINE) X(MACOS_SIDECHENNEL_HANDLE) \
  X(WINXP_SIDECHENNEL_HANDLE) X(DEEPBLUE_SIDECHENNEL_HANDLE) X(PROTEIN_SIDECHENNEL_HANDLE) \
  X(BLUEGLASS_SIDECHENNEL_HANDLE) X(MACOS_SIDECHENNEL_BAR) X(WINXP_SIDECHENNEL_BAR) \
  X(DEEPBLUE_SIDECHENNEL_BAR) X(PROTEIN_SIDECHENNEL_BAR) X(BLUEGLASS_SIDECHENNEL_BAR)

enum BuiltinBitmap : int32_t {
  kNoBitmap = 0,
#define KYR_BITMAP_ID(name) bmp_##name,
  KYR_BUILTIN_BITMAPS(KYR_BITMAP_ID)
#undef KYR_BITMAP_ID
};

constexpr const char* kBitmapNames[] = {
    "",
#define KYR_BITMAP_NAME(name) #name,
    KYR_BUILTIN_BITMAPS(KYR_BITMAP_NAME)
#undef KYR_BITMAP_NAME
};

constexpr int kStyleCount = 5;  // MacOS .. BlueGlass

// One row per element: the key, the kind and the cells of MacOS, WinXP, DeepBlue,
// Protein and BlueGlass. Colours are $00BBGGRR, booleans 0 or 1.
struct ElementRow {
  const char* Key;
  TkyrThemeValueKind Kind;
  int32_t Cells[kStyleCount];
};

constexpr ElementRow kElements[KYR_THEME_ELEMENT_COUNT] = {
    {"ButtonImage", kyrThemeImage,
     {bmp_MACOS_BUTTON, bmp_WINXP_BUTTON, bmp_DEEPBLUE_BUTTON, bmp_PROTEIN_BUTTON, bmp_BLUEGLASS_BUTTON}},
    {"ButtonTransparentBool", kyrThemeBool, {1, 0, 0, 0, 1}},
    {"CheckBoxImage", kyrThemeImage,
     {bmp_MACOS_CHECKBOX, bmp_WINXP_CHECKBOX, bmp_DEEPBLUE_CHECKBOX, bmp_PROTEIN_CHECKBOX, bmp_BLUEGLASS_CHECKBOX}},
    {"RadioButtonImage", kyrThemeImage,
     {bmp_MACOS_RADIOBUTTON, bmp_WINXP_RADIOBUTTON, bmp_DEEPBLUE_RADIOBUTTON, bmp_PROTEIN_RADIOBUTTON, bmp_BLUEGLASS_RADIOBUTTON}},
    {"TitleBarButtonImage", kyrThemeImage,
     {bmp_MACOS_TITLEBTN, bmp_WINXP_TITLEBTN, bmp_DEEPBLUE_TITLEBTN, bmp_PROTEIN_TITLEBTN, bmp_BLUEGLASS_TITLEBTN}},
    {"TitleBarButtonTransparentBool", kyrThemeBool, {0, 0, 0, 1, 1}},
    {"TitleBarButtonLeftOffsetInt", kyrThemeInt, {3, 2, 0, 0, 4}},
    {"TitleBarButtonRightOffsetInt", kyrThemeInt, {-2, -2, 0, 0, -3}},
    {"TitleBarButtonTopInt", kyrThemeInt, {4, 5, 2, 2, 6}},
    {"TitleBarLeftImage", kyrThemeImage,
     {bmp_MACOS_TITLE_LEFT, bmp_WINXP_TITLE_LEFT, bmp_DEEPBLUE_TITLE_LEFT, bmp_PROTEIN_TITLE_LEFT, bmp_BLUEGLASS_TITLE_LEFT}},
    {"TitleBarClientImage", kyrThemeImage,
     {bmp_MACOS_TITLE_CLIENT, bmp_WINXP_TITLE_CLIENT, bmp_DEEPBLUE_TITLE_CLIENT, bmp_PROTEIN_TITLE_CLIENT, bmp_BLUEGLASS_TITLE_CLIENT}},
    {"TitleBarRightImage", kyrThemeImage,
     {bmp_MACOS_TITLE_RIGHT, bmp_WINXP_TITLE_RIGHT, bmp_DEEPBLUE_TITLE_RIGHT, bmp_PROTEIN_TITLE_RIGHT, bmp_BLUEGLASS_TITLE_RIGHT}},
    {"FormMinWidthInt", kyrThemeInt, {130, 150, 130, 130, 270}},
    {"FormRoundCornerInt", kyrThemeInt, {0, 13, 0, 0, 11}},
    {"FormBackgroundColor", kyrThemeColor, {0xE7E7E7, 0xDEEBEF, 0xE8E8E8, 0xFBFBFB, 0xE7E7E7}},
    {"FormBorderColor", kyrThemeColor, {0x7F7F7F, 0xC82C00, 0x000000, 0x000000, 0x000000}},
    {"FormBorderWidthInt", kyrThemeInt, {1, 3, 1, 1, 1}},
    {"MenuSelectedBorderColor", kyrThemeColor, {0xC47339, 0xC66931, 0xA04A44, 0xC4302D, 0xEC5E5E}},
    {"MenuSelectedBackgroundColor", kyrThemeColor,
     {0xC47339, 0xEFD3C6, 0xA04A44, 0xC4302D, 0xEC5E5E}},
    {"MenuSelectedFontColor", kyrThemeColor, {0xFFFFFF, 0x000000, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF}},
    {"MenuBackgroundColor", kyrThemeColor, {0x000000, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xE7E7E7}},
    {"MenuFontColor", kyrThemeColor, {0x000000, 0x000000, 0x000000, 0x000000, 0x000000}},
    {"MenuBarColor", kyrThemeColor, {0x000000, 0xCED3D6, 0xCED3D6, 0xCED3D6, 0xCED3D6}},
    {"ProgressBarImage", kyrThemeImage,
     {bmp_MACOS_PROGRESSBAR, bmp_WINXP_PROGRESSBAR, bmp_DEEPBLUE_PROGRESSBAR, bmp_PROTEIN_PROGRESSBAR, bmp_BLUEGLASS_PROGRESSBAR}},
    {"ControlBorderColor", kyrThemeColor, {0x7F7F7F, 0x686868, 0x000000, 0x000000, 0x000000}},
    {"ControlBackgroundColor", kyrThemeColor, {0xE7E7E7, 0xDEEBEF, 0xE8E8E8, 0xFBFBFB, 0xE7E7E7}},
    {"ControlFontColor", kyrThemeColor, {0x000000, 0xCF4602, 0x000000, 0x000000, 0x000000}},
    {"TrackBarBarImage", kyrThemeImage,
     {bmp_MACOS_TRACKBAR_BAR, bmp_WINXP_TRACKBAR_BAR, bmp_DEEPBLUE_TRACKBAR_BAR, bmp_PROTEIN_TRACKBAR_BAR, bmp_BLUEGLASS_TRACKBAR_BAR}},
    {"TrackBarSliderImage", kyrThemeImage,
     {bmp_MACOS_TRACKBAR_SLIDER, bmp_WINXP_TRACKBAR_SLIDER, bmp_DEEPBLUE_TRACKBAR_SLIDER, bmp_PROTEIN_TRACKBAR_SLIDER, bmp_BLUEGLASS_TRACKBAR_SLIDER}},
    {"TrackBarSliderVImage", kyrThemeImage,
     {bmp_MACOS_TRACKBAR_SLIDER_V, bmp_WINXP_TRACKBAR_SLIDER_V, bmp_DEEPBLUE_TRACKBAR_SLIDER_V, bmp_PROTEIN_TRACKBAR_SLIDER_V, bmp_BLUEGLASS_TRACKBAR_SLIDER_V}},
    {"ScrollBarBackgroundColor", kyrThemeColor, {0xC9C9C9, 0xF9F9F9, 0xF5F5F5, 0xF5F5F5, 0xF4F4F4}},
    {"ScrollBarButtonImage", kyrThemeImage,
     {bmp_MACOS_SCROLLBAR_BUTTON, bmp_WINXP_SCROLLBAR_BUTTON, bmp_DEEPBLUE_SCROLLBAR_BUTTON, bmp_PROTEIN_SCROLLBAR_BUTTON, bmp_BLUEGLASS_SCROLLBAR_BUTTON}},
    {"ScrollBarSliderImage", kyrThemeImage,
     {bmp_MACOS_SCROLLBAR_TRACK, bmp_WINXP_SCROLLBAR_TRACK, bmp_DEEPBLUE_SCROLLBAR_TRACK, bmp_PROTEIN_SCROLLBAR_TRACK, bmp_BLUEGLASS_SCROLLBAR_TRACK}},
    {"CheckListBoxImage", kyrThemeImage,
     {bmp_MACOS_CHECKLIST, bmp_WINXP_CHECKLIST, bmp_DEEPBLUE_CHECKLIST, bmp_PROTEIN_CHECKLIST, bmp_BLUEGLASS_CHECKLIST}},
    {"ToolBarButtonBorderColor", kyrThemeColor, {0x474747, 0xC66931, 0x474747, 0x474747, 0x474747}},
    {"ToolBarButtonBackgroundColor", kyrThemeColor,
     {0xEFEFEF, 0xEFD3C6, 0xEFEFEF, 0xEFEFEF, 0xEFEFEF}},
    {"ToolBarButtonDownBackgroundColor", kyrThemeColor,
     {0xD8D8D8, 0xE1AC93, 0xD8D8D8, 0xD8D8D8, 0xD8D8D8}},
    {"ScrollButtonImage", kyrThemeImage,
     {bmp_MACOS_SCROLLBUTTON, bmp_WINXP_SCROLLBUTTON, bmp_MORE_SCROLLBUTTON, bmp_MORE_SCROLLBUTTON, bmp_MORE_SCROLLBUTTON}},
    {"TabControlTabImage", kyrThemeImage,
     {bmp_MACOS_TAB, bmp_WINXP_TAB, bmp_DEEPBLUE_TAB, bmp_PROTEIN_TAB, bmp_BLUEGLASS_TAB}},
    {"TabControlBarImage", kyrThemeImage,
     {bmp_MACOS_TAB_LINE, bmp_WINXP_TAB_LINE, bmp_DEEPBLUE_TAB_LINE, bmp_PROTEIN_TAB_LINE, bmp_BLUEGLASS_TAB_LINE}},
    {"SideChannelHandleImage", kyrThemeImage,
     {bmp_MACOS_SIDECHENNEL_HANDLE, bmp_WINXP_SIDECHENNEL_HANDLE, bmp_DEEPBLUE_SIDECHENNEL_HANDLE, bmp_PROTEIN_SIDECHENNEL_HANDLE, bmp_BLUEGLASS_SIDECHENNEL_HANDLE}},
    {"SideChannelBarImage", kyrThemeImage,
     {bmp_MACOS_SIDECHENNEL_BAR, bmp_WINXP_SIDECHENNEL_BAR, bmp_DEEPBLUE_SIDECHENNEL_BAR, bmp_PROTEIN_SIDECHENNEL_BAR, bmp_BLUEGLASS_SIDECHENNEL_BAR}},
    {"TitleBarMinimizedImage", kyrThemeImage,
     {kNoBitmap, kNoBitmap, kNoBitmap, kNoBitmap, kNoBitmap}},
    {"TitleBarFontColor", kyrThemeColor, {0x000000, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF}},
    {"FormLeftBorderImage", kyrThemeImage, {kNoBitmap, kNoBitmap, kNoBitmap, kNoBitmap, kNoBitmap}},
    {"FormBottomBorderImage", kyrThemeImage,
     {kNoBitmap, kNoBitmap, kNoBitmap, kNoBitmap, kNoBitmap}},
    {"FormBottomRoundCornerInt", kyrThemeInt, {0, 0, 0, 0, 0}},
    {"MenuMenuBarColor", kyrThemeColor, {0xE7E7E7, 0xDEEBEF, 0xE8E8E8, 0xFBFBFB, 0xE7E7E7}},
};

static_assert(sizeof(kElements) / sizeof(kElements[0]) == KYR_THEME_ELEMENT_COUNT);
static_assert(kElements[KYR_THEME_FORM_BACKGROUND_COLOR - 1].Cells[0] == 0xE7E7E7);

constexpr bool IsElement(int element) { return element >= 1 && element <= KYR_THEME_ELEMENT_COUNT; }

constexpr bool IsBuiltinStyle(TkyrUIStyle style) { return style >= MacOS && style <= BlueGlass; }

}  // namespace

const char* GetThemeElementKey(int element) { return IsElement(element) ? kElements[element - 1].Key : ""; }

TkyrThemeValueKind GetThemeElementKind(int element) {
  return IsElement(element) ? kElements[element - 1].Kind : kyrThemeInt;
}

int FindThemeElement(const std::string& key) {
  for (int element = 1; element <= KYR_THEME_ELEMENT_COUNT; ++element) {
    if (SameText(key, kElements[element - 1].Key)) return element;
  }
  return 0;
}

int32_t GetBuiltinThemeValue(TkyrUIStyle style, int element, uint8_t& kind) {
  if (!IsBuiltinStyle(style) || !IsElement(element)) {
    kind = 0;
    return -1;
  }
  const ElementRow& row = kElements[element - 1];
  kind = row.Kind;
  return row.Cells[style - MacOS];
}

// The cell when ELEMENT has kind WANTED, else FALLBACK.
static int32_t TypedBuiltinValue(TkyrUIStyle style, int element, TkyrThemeValueKind wanted, int32_t fallback) {
  uint8_t kind = 0;
  const int32_t value = GetBuiltinThemeValue(style, element, kind);
  return kind == wanted ? value : fallback;
}

int32_t GetBuiltinColor(TkyrUIStyle style, int element) {
  return TypedBuiltinValue(style, element, kyrThemeColor, 0);
}

int32_t GetBuiltinInt(TkyrUIStyle style, int element) { return TypedBuiltinValue(style, element, kyrThemeInt, -1); }

bool GetBuiltinBool(TkyrUIStyle style, int element) {
  return TypedBuiltinValue(style, element, kyrThemeBool, 0) != 0;
}

const char* GetBuiltinImageName(TkyrUIStyle style, int element) {
  return kBitmapNames[TypedBuiltinValue(style, element, kyrThemeImage, kNoBitmap)];
}

// ---- TkyrFileThemeMgr ----

TkyrFileThemeMgr::TkyrFileThemeMgr() = default;
TkyrFileThemeMgr::~TkyrFileThemeMgr() = default;

bool TkyrFileThemeMgr::LoadFromFile(const std::string& fileName) {
  if (!FileExists(fileName)) return false;
  reader_.reset();  // the old reader and its streams go first, whatever the new file holds
  reader_ = std::make_unique<TkyrThemeFileReader>(fileName);
  return true;
}

bool TkyrFileThemeMgr::GetBool(int element) const {
  return reader_ && reader_->GetBool(GetThemeElementKey(element));
}

int32_t TkyrFileThemeMgr::GetColor(int element) const { return GetInt(element); }

int32_t TkyrFileThemeMgr::GetInt(int element) const {
  return reader_ ? reader_->GetInteger(GetThemeElementKey(element)) : 0;
}
