// The file-theme component and the style protocol that every skinned control follows.
//
// TkyrFileTheme: a non-visual component whose published ThemeFile names a theme file; it
// serves that file's elements by index (GetColor, GetInt, GetBool, GetBitmap).
// UsingFileTheme: whether a control with a given FileTheme and UIStyle draws from the
// file, and the built-in style it draws with otherwise.
// TkyrStyleSource: the elements a control reads, from the file or the built-in tables.
// IkyrSkinned: what every skinned component offers, whatever framework class it extends;
// IkyrFramePanel: a skinned component that draws a form's frame (the skinned form panel, the
// MDI form). The skin library finds its own components by these types (AsSkinned,
// AsFramePanel), never by class or property names, except where a rule is stated by name
// (the "Tkyr" prefix rule below, ApplyStyleToControls and HasProperty in KYRPublic).
// KYR_MSG_SIDE_BORDER_WIDTH: the side-border query between a frame and its title bar.
// TkyrStyled<Base, Interface>: UIStyle and FileTheme handling for a skinned control. A control
//
//   class TkyrButton : public TkyrStyled<TCustomControl> {
//     VANTOR_CLASS(TkyrButton, TkyrStyled<TCustomControl>)
//   public:
//     explicit TkyrButton(TComponent* owner) : TkyrStyled(owner) { /* sub-objects */ InitUIStyle(); }
//     static void DeclarePublished(TPublished<TkyrButton>& p) {   // in the control's own order
//       p.Enumeration("UIStyle", TkyrUIStyleInfo, &TkyrButton::UIStyle, &TkyrButton::SetUIStyle);
//       p.Component("FileTheme", &TkyrButton::FileTheme, &TkyrButton::SetFileTheme);
//     }
//   protected:
//     void ApplyUIStyle(const TkyrStyleSource& s) override {
//       s.Bitmap(KYR_THEME_BUTTON_IMAGE, &image_);
//       transparent_ = s.Bool(KYR_THEME_BUTTON_TRANSPARENT_BOOL);
//     }
//   };
//
// gets: construction takes the owner form's style, and InitUIStyle applies it once the
// control's own sub-objects exist (a control that forgets the call still has its elements
// read before it loads, handles a message or paints); SetUIStyle stores the style and
// re-reads through ApplyUIStyle, then repaints (Invalidate, when Base has one);
// SetFileTheme stores the reference and re-applies the stored style; when the theme
// component goes, the reference is cleared and the control turns DeepBlue. The stored
// style stays FromThemeFile while the control draws as DeepBlue for want of a loaded file.
#pragma once

#include <string>
#include <type_traits>

#include "framework/core/Classes.h"
#include "framework/graphics/Graphics.h"
#include "framework/ui/Controls.h"
#include "skin/KYRThemes.h"

class TkyrFileTheme;

// The private message (9923, 0x26C3) a skinned frame answers on its host window with the width
// in pixels of its side-border bitmap (0 in built-in mode), without passing it on; the title bar
// sends it to its parent form to learn how far the side border reaches into its area. A window
// that does not know it answers 0 (DefWindowProc).
inline constexpr UINT KYR_MSG_SIDE_BORDER_WIDTH = 9923;
static_assert(KYR_MSG_SIDE_BORDER_WIDTH > WM_USER);

class IkyrSkinned {
public:
  virtual TkyrUIStyle UIStyle() const = 0;
  virtual void SetUIStyle(TkyrUIStyle value) = 0;
  virtual TkyrFileTheme* FileTheme() const = 0;
  virtual void SetFileTheme(TkyrFileTheme* value) = 0;
  // Re-reads every cached element for the stored style and repaints.
  virtual void ReapplyUIStyle() = 0;

protected:
  ~IkyrSkinned() = default;
};

class IkyrFramePanel : public IkyrSkinned {
public:
  // The form whose frame the panel draws, or nullptr before it has one.
  virtual TCustomForm* HostForm() const = 0;

protected:
  ~IkyrFramePanel() = default;
};

// OBJECT as a skinned component / frame panel, or nullptr.
IkyrSkinned* AsSkinned(TObject* object);
IkyrFramePanel* AsFramePanel(TObject* object);

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

// Where a control's elements come from at one style change.
class TkyrStyleSource {
public:
  TkyrStyleSource(TkyrFileTheme* fileTheme, TkyrUIStyle style);

  bool FromFile() const { return fromFile_; }
  // FromThemeFile when reading from the file, else the built-in style used; what linked
  // sub-controls are given.
  TkyrUIStyle EffectiveStyle() const { return effective_; }
  TkyrFileTheme* FileTheme() const { return fileTheme_; }

  int32_t Color(int element) const;
  int32_t Int(int element) const;
  bool Bool(int element) const;
  // FRAMECOUNT 0: the whole image; otherwise frame FRAMEINDEX of FRAMECOUNT.
  void Bitmap(int element, TGraphic* graphic, int frameCount = 0, int frameIndex = 1) const;

private:
  TkyrFileTheme* fileTheme_;
  TkyrUIStyle effective_;
  bool fromFile_;
};

namespace kyr_detail {
// A control whose constructor did not call InitUIStyle has its elements read when its window
// comes to exist (CM_WNDCREATED, which system-class controls get too) or it is first painted
// (by its own WM_PAINT, or its parent's for a windowless control); any component at Loaded.
// Not at every message: a constructor's own calls (SetBounds...) send some before the
// control's sub-objects exist.
template <class Base, bool IsControl = std::is_base_of_v<TControl, Base>>
class TStyledBase : public Base {
public:
  using Base::Base;

protected:
  virtual void EnsureUIStyle() = 0;
};

template <class Base>
class TStyledBase<Base, true> : public Base {
public:
  using inherited = Base;
  using Base::Base;
  void WndProc(TMessage& m) override {
    if (m.Msg == CM_WNDCREATED || m.Msg == WM_PAINT || m.Msg == WM_PRINTCLIENT) EnsureUIStyle();
    inherited::WndProc(m);
  }

protected:
  virtual void EnsureUIStyle() = 0;
};
}  // namespace kyr_detail

template <class Base, class Interface = IkyrSkinned>
class TkyrStyled : public kyr_detail::TStyledBase<Base>, public Interface {
  static_assert(std::is_base_of_v<IkyrSkinned, Interface>);
  using Hooks = kyr_detail::TStyledBase<Base>;
  VANTOR_CLASS(TkyrStyled, Hooks)

public:
  // The owner form's style is known (and reported by UIStyle) from here on; it is applied by
  // InitUIStyle or, failing that, before the control is first used.
  explicit TkyrStyled(TComponent* owner) : Hooks(owner), uiStyle_(GetOwnerFormUIStyle(owner)) {}

  TkyrUIStyle UIStyle() const override { return uiStyle_; }
  void SetUIStyle(TkyrUIStyle value) override {
    uiStyle_ = value;
    applied_ = true;
    if (this->InState(csDestroying)) return;  // nothing is re-read or repainted on the way out
    ApplyUIStyle(TkyrStyleSource(fileTheme_, value));
    if constexpr (requires(Base& b) { b.Invalidate(); }) this->Invalidate();
  }
  TkyrFileTheme* FileTheme() const override { return fileTheme_; }
  void SetFileTheme(TkyrFileTheme* value) override {
    if (fileTheme_ && fileTheme_ != value) fileTheme_->RemoveFreeNotification(this);
    fileTheme_ = value;
    if (value) value->FreeNotification(this);  // also when the theme has another owner
    ReapplyUIStyle();
  }
  void ReapplyUIStyle() override { SetUIStyle(uiStyle_); }

protected:
  // Rule for constructors: call once the control's own sub-objects exist.
  void InitUIStyle() { SetUIStyle(uiStyle_); }
  // Re-read every cached element from SOURCE (and pass SOURCE.EffectiveStyle() and
  // SOURCE.FileTheme() on to linked sub-controls).
  virtual void ApplyUIStyle(const TkyrStyleSource& source) = 0;

  void EnsureUIStyle() override {
    if (!applied_) InitUIStyle();
  }
  void Loaded() override {
    inherited::Loaded();
    EnsureUIStyle();
  }
  void Notification(TComponent* component, TOperation operation) override {
    inherited::Notification(component, operation);
    if (operation == opRemove && component != nullptr && component == fileTheme_) {
      fileTheme_ = nullptr;
      SetUIStyle(DeepBlue);
    }
  }

private:
  TkyrUIStyle uiStyle_;
  TkyrFileTheme* fileTheme_ = nullptr;
  bool applied_ = false;
};
