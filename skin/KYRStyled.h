// The style protocol that every skinned control follows, and the types by which the skin
// library finds its own components.
//
// IkyrSkinned: what every skinned component offers, whatever framework class it extends;
// IkyrFramePanel: a skinned component that draws a form's frame (the skinned form panel, the
// MDI form). The skin library finds its own components by these types (AsSkinned,
// AsFramePanel), never by class or property names, except where a rule is stated by name
// (the "Tkyr" prefix rule of TkyrFileTheme, ApplyStyleToControls and HasProperty in KYRPublic).
// KYR_MSG_SIDE_BORDER_WIDTH: the side-border query between a frame and its title bar.
// TkyrStyleSource: the elements of one style change, from the file or the built-in tables.
// Every image element is decoded once per source, and the source is handed down to the
// sub-objects that change with their holder (title bar -> buttons and window menu, memo ->
// bars, form panel -> title bar), so a change decodes each strip once.
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
// read before it loads, handles a message or paints). Every change goes through ApplyStyle:
// SetUIStyle and SetFileTheme build a source for the new pair, a holder hands its own source
// down; ApplyStyle stores the source's style and theme, re-reads through ApplyUIStyle, then
// repaints (Invalidate, when Base has one). When the theme component goes, the reference
// clears itself and the control turns DeepBlue. The stored style stays FromThemeFile while the
// control draws as DeepBlue for want of a loaded file.
#pragma once

#include <array>
#include <memory>
#include <type_traits>

#include "framework/core/Classes.h"
#include "framework/graphics/Graphics.h"
#include "framework/ui/Controls.h"
#include "skin/KYRMgr.h"  // TkyrFileTheme, complete for the reference below
#include "skin/KYRThemes.h"

// The private message (9923, 0x26C3) a skinned frame answers on its host window with the width
// in pixels of its side-border bitmap (0 in built-in mode), without passing it on; the title bar
// sends it to its parent form to learn how far the side border reaches into its area. A window
// that does not know it answers 0 (DefWindowProc).
inline constexpr UINT KYR_MSG_SIDE_BORDER_WIDTH = 9923;
static_assert(KYR_MSG_SIDE_BORDER_WIDTH > WM_USER);

// Where a control's elements come from at one style change.
class TkyrStyleSource {
public:
  // For a control that stores STYLE and FILETHEME.
  TkyrStyleSource(TkyrFileTheme* fileTheme, TkyrUIStyle style);

  // The style as stored by the control it is for.
  TkyrUIStyle Style() const { return style_; }
  bool FromFile() const { return fromFile_; }
  // FromThemeFile when reading from the file, else the built-in style used; what linked
  // sub-controls are given.
  TkyrUIStyle EffectiveStyle() const { return effective_; }
  TkyrFileTheme* FileTheme() const { return fileTheme_; }
  // The same elements (and the images already decoded) for a sub-object that stores STYLE with
  // this source's theme: a style the holder hands down reads what the holder reads, whether it
  // is the holder's own style or the effective one.
  TkyrStyleSource HandedDown(TkyrUIStyle style) const;

  int32_t Color(int element) const;
  int32_t Int(int element) const;
  bool Bool(int element) const;
  // FRAMECOUNT 0: the whole image (GRAPHIC, a bitmap, is left unchanged when there is none);
  // otherwise frame FRAMEINDEX of FRAMECOUNT (from a theme file without the image: empty).
  void Bitmap(int element, TGraphic* graphic, int frameCount = 0, int frameIndex = 1) const;
  // The element's decoded image, or nullptr when the style or file has none.
  const TBitmap* Image(int element) const;

private:
  // By element: decoded, and the image (nullptr for none).
  struct TImages {
    std::array<bool, KYR_THEME_ELEMENT_COUNT + 1> decoded{};
    std::array<std::unique_ptr<TBitmap>, KYR_THEME_ELEMENT_COUNT + 1> images;
  };

  TkyrFileTheme* fileTheme_;
  TkyrUIStyle style_;
  TkyrUIStyle effective_;
  bool fromFile_;
  std::shared_ptr<TImages> images_;  // shared by every copy and hand-down of this source
};

class IkyrSkinned {
public:
  virtual TkyrUIStyle UIStyle() const = 0;
  virtual void SetUIStyle(TkyrUIStyle value) = 0;
  virtual TkyrFileTheme* FileTheme() const = 0;
  virtual void SetFileTheme(TkyrFileTheme* value) = 0;
  // Re-reads every cached element for the stored style and repaints.
  virtual void ReapplyUIStyle() = 0;
  // The one entry of a style change: stores SOURCE's style and theme, re-reads every cached
  // element from SOURCE and repaints.
  virtual void ApplyStyle(const TkyrStyleSource& source) = 0;

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
  void SetUIStyle(TkyrUIStyle value) override { ApplyStyle(TkyrStyleSource(fileTheme_, value)); }
  TkyrFileTheme* FileTheme() const override { return fileTheme_; }
  // Also a theme of another owner: the reference takes its free notification.
  void SetFileTheme(TkyrFileTheme* value) override { ApplyStyle(TkyrStyleSource(value, uiStyle_)); }
  void ReapplyUIStyle() override { SetUIStyle(uiStyle_); }
  void ApplyStyle(const TkyrStyleSource& source) override {
    fileTheme_ = source.FileTheme();
    uiStyle_ = source.Style();
    applied_ = true;
    if (this->IsDestroying()) return;  // nothing is re-read or repainted on the way out
    ApplyUIStyle(source);
    if constexpr (requires(Base& b) { b.Invalidate(); }) this->Invalidate();
  }

protected:
  // Rule for constructors: call once the control's own sub-objects exist.
  void InitUIStyle() { SetUIStyle(uiStyle_); }
  // Re-read every cached element from SOURCE, and hand SOURCE down (HandedDown) to the
  // sub-objects that change with the control.
  virtual void ApplyUIStyle(const TkyrStyleSource& source) = 0;

  void EnsureUIStyle() override {
    if (!applied_) InitUIStyle();
  }
  void Loaded() override {
    inherited::Loaded();
    EnsureUIStyle();
  }
  // The referenced theme component went (its reference is already clear): DeepBlue from now on.
  virtual void FileThemeRemoved() { SetUIStyle(DeepBlue); }

private:
  TkyrUIStyle uiStyle_;
  TComponentRef<TkyrFileTheme> fileTheme_{this, [this] { FileThemeRemoved(); }};
  bool applied_ = false;
};
