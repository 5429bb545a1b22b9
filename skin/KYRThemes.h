// Skin styles, the 48 theme elements and their built-in values per style.
//
// Portable part (every build): TkyrUIStyle, TkyrThemeValueKind, the KYR_THEME_... element
// indices, the key/kind/value tables and the look-ups GetBuiltinThemeValue,
// GetBuiltinColor, GetBuiltinInt, GetBuiltinBool, plus GetThemeElementKey/Kind,
// FindThemeElement, GetBuiltinImageName for tools, and TkyrFileThemeMgr (element index ->
// entry of a loaded theme file).
// Windows part (KYRThemesWin32.cpp, in the Win32 skin library, so that the portable part
// needs nothing above the core): LoadBuiltinThemeBitmap, GetBuiltinBitmap (BITMAP
// resources of the program's module), GetOwnerFormUIStyle and TkyrFileThemeMgr::GetBitmap.
//
// Look-ups never raise. A style outside MacOS..BlueGlass (FromThemeFile) or an element
// outside 1..48 gives kind 0 and value -1; the typed getters then answer -1 (integer),
// 0 (colour), false (boolean) and leave bitmaps unchanged, as they do for a wrong kind.
//
//   int32_t c = GetBuiltinColor(WinXP, KYR_THEME_FORM_BORDER_COLOR);   // 0x00C82C00
//   int w = GetBuiltinInt(BlueGlass, KYR_THEME_FORM_MIN_WIDTH_INT);    // 270
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/core/Classes.h"

#ifdef _WIN32
class TBitmap;
class TGraphic;
#endif

enum TkyrUIStyle : uint8_t {
  FromThemeFile = 0,  // from the control's FileTheme; DeepBlue while no file is loaded
  MacOS = 1,
  WinXP = 2,
  DeepBlue = 3,       // the fallback everywhere
  Protein = 4,
  BlueGlass = 5,
};

// For published UIStyle properties: p.Enumeration("UIStyle", TkyrUIStyleInfo, ...).
inline const TEnumInfo TkyrUIStyleInfo("TkyrUIStyle",
                                       {"FromThemeFile", "MacOS", "WinXP", "DeepBlue", "Protein", "BlueGlass"});

enum TkyrThemeValueKind : uint8_t {
  kyrThemeInt = 0,
  kyrThemeColor = 1,  // $00BBGGRR
  kyrThemeImage = 2,  // a bitmap resource (built-in) or a BMP entry (theme file)
  kyrThemeBool = 3,
};

inline constexpr int KYR_THEME_ELEMENT_COUNT = 48;

inline constexpr int KYR_THEME_BUTTON_IMAGE = 1;
inline constexpr int KYR_THEME_BUTTON_TRANSPARENT_BOOL = 2;
inline constexpr int KYR_THEME_CHECK_BOX_IMAGE = 3;
inline constexpr int KYR_THEME_RADIO_BUTTON_IMAGE = 4;
inline constexpr int KYR_THEME_TITLE_BAR_BUTTON_IMAGE = 5;
inline constexpr int KYR_THEME_TITLE_BAR_BUTTON_TRANSPARENT_BOOL = 6;
inline constexpr int KYR_THEME_TITLE_BAR_BUTTON_LEFT_OFFSET_INT = 7;
inline constexpr int KYR_THEME_TITLE_BAR_BUTTON_RIGHT_OFFSET_INT = 8;
inline constexpr int KYR_THEME_TITLE_BAR_BUTTON_TOP_INT = 9;
inline constexpr int KYR_THEME_TITLE_BAR_LEFT_IMAGE = 10;
inline constexpr int KYR_THEME_TITLE_BAR_CLIENT_IMAGE = 11;
inline constexpr int KYR_THEME_TITLE_BAR_RIGHT_IMAGE = 12;
inline constexpr int KYR_THEME_FORM_MIN_WIDTH_INT = 13;
inline constexpr int KYR_THEME_FORM_ROUND_CORNER_INT = 14;
inline constexpr int KYR_THEME_FORM_BACKGROUND_COLOR = 15;
inline constexpr int KYR_THEME_FORM_BORDER_COLOR = 16;
inline constexpr int KYR_THEME_FORM_BORDER_WIDTH_INT = 17;
inline constexpr int KYR_THEME_MENU_SELECTED_BORDER_COLOR = 18;
inline constexpr int KYR_THEME_MENU_SELECTED_BACKGROUND_COLOR = 19;
inline constexpr int KYR_THEME_MENU_SELECTED_FONT_COLOR = 20;
inline constexpr int KYR_THEME_MENU_BACKGROUND_COLOR = 21;
inline constexpr int KYR_THEME_MENU_FONT_COLOR = 22;
inline constexpr int KYR_THEME_MENU_BAR_COLOR = 23;
inline constexpr int KYR_THEME_PROGRESS_BAR_IMAGE = 24;
inline constexpr int KYR_THEME_CONTROL_BORDER_COLOR = 25;
inline constexpr int KYR_THEME_CONTROL_BACKGROUND_COLOR = 26;
inline constexpr int KYR_THEME_CONTROL_FONT_COLOR = 27;
inline constexpr int KYR_THEME_TRACK_BAR_BAR_IMAGE = 28;
inline constexpr int KYR_THEME_TRACK_BAR_SLIDER_IMAGE = 29;
inline constexpr int KYR_THEME_TRACK_BAR_SLIDER_V_IMAGE = 30;
inline constexpr int KYR_THEME_SCROLL_BAR_BACKGROUND_COLOR = 31;
inline constexpr int KYR_THEME_SCROLL_BAR_BUTTON_IMAGE = 32;
inline constexpr int KYR_THEME_SCROLL_BAR_SLIDER_IMAGE = 33;
inline constexpr int KYR_THEME_CHECK_LIST_BOX_IMAGE = 34;
inline constexpr int KYR_THEME_TOOL_BAR_BUTTON_BORDER_COLOR = 35;
inline constexpr int KYR_THEME_TOOL_BAR_BUTTON_BACKGROUND_COLOR = 36;
inline constexpr int KYR_THEME_TOOL_BAR_BUTTON_DOWN_BACKGROUND_COLOR = 37;
inline constexpr int KYR_THEME_SCROLL_BUTTON_IMAGE = 38;
inline constexpr int KYR_THEME_TAB_CONTROL_TAB_IMAGE = 39;
inline constexpr int KYR_THEME_TAB_CONTROL_BAR_IMAGE = 40;
inline constexpr int KYR_THEME_SIDE_CHANNEL_HANDLE_IMAGE = 41;
inline constexpr int KYR_THEME_SIDE_CHANNEL_BAR_IMAGE = 42;
inline constexpr int KYR_THEME_TITLE_BAR_MINIMIZED_IMAGE = 43;
inline constexpr int KYR_THEME_TITLE_BAR_FONT_COLOR = 44;
inline constexpr int KYR_THEME_FORM_LEFT_BORDER_IMAGE = 45;
inline constexpr int KYR_THEME_FORM_BOTTOM_BORDER_IMAGE = 46;
inline constexpr int KYR_THEME_FORM_BOTTOM_ROUND_CORNER_INT = 47;
inline constexpr int KYR_THEME_MENU_MENU_BAR_COLOR = 48;

// ---- element table ----

// The entry name of ELEMENT in theme files ("FormBackgroundColor"); "" outside 1..48.
const char* GetThemeElementKey(int element);
// The kind of ELEMENT; kyrThemeInt outside 1..48.
TkyrThemeValueKind GetThemeElementKind(int element);
// The element whose key is KEY, ignoring letter case (theme files compare keys that
// way); 0 when there is none.
int FindThemeElement(const std::string& key);

// ---- built-in values ----

// The cell of STYLE's table for ELEMENT, and its kind. Image cells hold the number of the
// element's resource name (see GetBuiltinImageName), 0 for none. FromThemeFile, a value
// above BlueGlass or an element outside 1..48: -1 with kind 0.
int32_t GetBuiltinThemeValue(TkyrUIStyle style, int element, uint8_t& kind);
// The colour ($00BBGGRR) if ELEMENT is a colour element, otherwise 0.
int32_t GetBuiltinColor(TkyrUIStyle style, int element);
// The integer if ELEMENT is an integer element, otherwise -1.
int32_t GetBuiltinInt(TkyrUIStyle style, int element);
// The boolean if ELEMENT is a boolean element, otherwise false.
bool GetBuiltinBool(TkyrUIStyle style, int element);
// The BITMAP resource name of an image element ("MACOS_TITLE_LEFT"); "" when the style has
// no bitmap for it (elements 43, 45, 46) or ELEMENT is not an image element.
const char* GetBuiltinImageName(TkyrUIStyle style, int element);

class TkyrThemeFileReader;

// Serves the elements of one loaded theme file by element index; owns its reader.
class TkyrFileThemeMgr : public TObject {
  VANTOR_CLASS(TkyrFileThemeMgr, TObject)
public:
  TkyrFileThemeMgr();
  ~TkyrFileThemeMgr() override;

  // False (current reader kept) when no file exists at FILENAME; otherwise drops the
  // current reader, loads FILENAME into a new one and returns true. Errors of the reader
  // propagate, and leave the manager without a reader.
  bool LoadFromFile(const std::string& fileName);
  // The reader's GetBool for the element's key; false without a reader.
  bool GetBool(int element) const;
  // The reader's GetInteger for the element's key (-1 when absent); 0 without a reader.
  int32_t GetColor(int element) const;
  int32_t GetInt(int element) const;
  const TkyrThemeFileReader* Reader() const { return reader_.get(); }

#ifdef _WIN32
  // Loads the element's image entry into GRAPHIC (a TBitmap); unchanged when there is no
  // reader, no such entry, or GRAPHIC is not a bitmap.
  void GetBitmap(int element, TGraphic* graphic) const;
#endif

private:
  std::unique_ptr<TkyrThemeFileReader> reader_;
};

#ifdef _WIN32
// Loads the BITMAP resource of ELEMENT in STYLE from the program's module into BITMAP
// (contents and size replaced); nothing when BITMAP is null or the element is no image.
void LoadBuiltinThemeBitmap(TkyrUIStyle style, int element, TBitmap* bitmap);
// FRAMECOUNT 0: the whole resource into GRAPHIC (a bitmap); otherwise frame FRAMEINDEX
// (from 1) of FRAMECOUNT equal-width frames. Nothing when GRAPHIC is null.
void GetBuiltinBitmap(TkyrUIStyle style, int element, TGraphic* graphic, int frameCount = 0,
                      int frameIndex = 1);
// How many theme images (built-in resources and theme-file entries) this process has decoded
// so far: what tests count to see how often a style change decodes each strip.
int ThemeImageDecodes();
// The UIStyle of the first skinned form panel (IkyrFramePanel, KYRStyled.h) among OWNER's
// child controls when OWNER is a form; DeepBlue otherwise.
TkyrUIStyle GetOwnerFormUIStyle(TComponent* owner);
#endif
