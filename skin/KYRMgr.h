// The file-theme component.
//
// TkyrFileTheme: a non-visual component whose published ThemeFile names a theme file; it
// serves that file's elements by index (GetColor, GetInt, GetBool, GetBitmap).
// UsingFileTheme: whether a control with a given FileTheme and UIStyle draws from the
// file, and the built-in style it draws with otherwise.
// The style protocol of the controls that use it (TkyrStyled, TkyrStyleSource, IkyrSkinned)
// is in KYRStyled.h.
#pragma once

#include <string>

#include "framework/core/Classes.h"
#include "framework/graphics/Graphics.h"
#include "skin/KYRThemes.h"

class TkyrFileTheme : public TComponent {
  VANTOR_CLASS(TkyrFileTheme, TComponent)
public:
  explicit TkyrFileTheme(TComponent* owner);
  ~TkyrFileTheme() override;

  const std::string& ThemeFile() const { return themePath_; }
  // Finds VALUE (as given, else by its file name in the executable's folder, the Windows
  // folder, the system folder), refuses a file without the theme magic with "Invalid skin
  // file for Tessarn!", loads it and tells the owner form's skinned components that use
  // this theme: those whose class name begins with "Tkyr" (letter case counts) and that
  // publish FileTheme get it assigned again. A name found nowhere changes nothing.
  void SetThemeFile(const std::string& value);
  bool IsThemeLoaded() const { return themeLoaded_; }
  bool CheckThemeFile(const std::string& fileName) const;
  TkyrFileThemeMgr& ThemeMgr() { return themeMgr_; }

  // The element's image into GRAPHIC (a bitmap); unchanged when the file has none.
  void GetBitmap(int element, TGraphic* graphic) const;
  // Frame FRAMEINDEX (from 1) of FRAMECOUNT of the element's image; GRAPHIC ends up empty
  // when the file has none.
  void GetBitmap(int element, TGraphic* graphic, int frameCount, int frameIndex) const;
  int32_t GetColor(int element) const { return themeMgr_.GetColor(element); }
  int32_t GetInt(int element) const { return themeMgr_.GetInt(element); }
  bool GetBool(int element) const { return themeMgr_.GetBool(element); }

  static void DeclarePublished(TPublished<TkyrFileTheme>& p);

private:
  void TellSkinnedComponents(bool wasEmpty);

  TkyrFileThemeMgr themeMgr_;
  std::string themePath_;
  bool themeLoaded_ = false;
};

// Whether a control with FILETHEME and STYLE takes its elements from the file; EFFECTIVE
// is the built-in style to draw with otherwise (DeepBlue for FromThemeFile without a
// loaded theme).
bool UsingFileTheme(const TkyrFileTheme* fileTheme, TkyrUIStyle style, TkyrUIStyle& effective);

