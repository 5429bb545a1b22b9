// The skinned database navigator: a row of ten skinned buttons (first, prior, next, last,
// insert, delete, edit, post, cancel, refresh) that moves through and edits the data set of a
// data source.
//
//   auto* nav = new TkyrDBNavigator(form);    // the owner form's style, 250 x 30, all ten buttons
//   nav->SetParent(form);
//   nav->SetDataSource(source);               // buttons enabled as the set's state allows
//   nav->SetVisibleButtons({nbFirst, nbPrior, nbNext, nbLast});
//   nav->SetOnClick([](TObject*, TNavigateBtn kind) { ... });
//
// TkyrNavButton: a TkyrButton with a 16 x 16 glyph cut from the built-in "DBNAV_BUTTON" strip.
// Prior and Next repeat while held: the first repeated move 400 ms after the press, then one
// every 100 ms, and the click of a release inside is one move more (a short click moves once).
// The repeat is the button's own press repeat (TPressRepeat, see KYRButton.h), so it ends with
// the press however that ends, and a tick is never entered from inside itself.
// TkyrNavDataLink: the navigator's link to its data source; the navigator lets go of it before
// its buttons go, so no data event ever reaches a button being freed.
//
// Layout: every visible button gets an equal slot (SlotWidth = width div visible count); with
// Align alNone the width shrinks to a whole number of slots, otherwise the pixels left over are
// spread one each over the buttons (NavigatorLayout). Hidden buttons are parked just outside
// the right edge.
//
// CurrentButton is the button the keyboard acts on and that shows the focus mark while the
// navigator has the focus: Left and Right step it over the visible buttons, Space clicks it. It
// is always a visible button while any is shown (it moves to the first visible one when its own
// is hidden), so Space never clicks a hidden button.
//
// A click on a button (the mouse, Space, a repeat tick) runs NavigateClick: BeforeAction, the
// data set operation, then OnClick. Such a click is dropped while another one from a button is
// still running, so a dialog shown from OnClick never stacks up under a held button or a
// release that arrives while it is open.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "framework/data/DB.h"
#include "framework/ui/ExtCtrls.h"
#include "skin/KYRStyled.h"
#include "skin/controls/KYRButton.h"

enum TNavigateBtn { nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost, nbCancel, nbRefresh };
inline const TEnumInfo NavigateBtnInfo("TNavigateBtn", {"nbFirst", "nbPrior", "nbNext", "nbLast", "nbInsert",
                                                        "nbDelete", "nbEdit", "nbPost", "nbCancel", "nbRefresh"});
inline constexpr int kNavButtonCount = 10;
using TButtonSet = TSet<TNavigateBtn>;
inline constexpr TButtonSet AllNavigateButtons{nbFirst, nbPrior, nbNext,   nbLast,   nbInsert,
                                               nbDelete, nbEdit, nbPost,   nbCancel, nbRefresh};

// A navigator click: SENDER is the navigator, BUTTON the kind clicked.
using ENavClick = std::function<void(TObject* sender, TNavigateBtn button)>;

// The hints of the ten kinds, in kind order.
extern const std::array<const char*, kNavButtonCount> NavigatorStandardHints;

// The smallest size that holds the VISIBLE buttons, from a requested WIDTH x HEIGHT: at least
// 20 x 18 per button; with alNone the width is a whole number of slots.
SIZE NavigatorMinimumSize(int width, int height, TAlign align, TButtonSet visible);

// Where the buttons go on a navigator asked to be WIDTH x HEIGHT.
struct TkyrNavLayout {
  int Width = 0, Height = 0;  // the navigator's size after the minimum size and alNone
  int SlotWidth = 0;
  std::array<RECT, kNavButtonCount> Bounds{};  // left, top, right, bottom per kind
};
TkyrNavLayout NavigatorLayout(int width, int height, TAlign align, TButtonSet visible);

class TkyrDBNavigator;

class TkyrNavButton : public TkyrButton {
  VANTOR_CLASS(TkyrNavButton, TkyrButton)
public:
  static constexpr int kRepeatDelay = 400;
  static constexpr int kRepeatInterval = 100;

  explicit TkyrNavButton(TComponent* owner);
  ~TkyrNavButton() override;

  TNavigateBtn Kind() const { return kind_; }
  void SetKind(TNavigateBtn value) { kind_ = value; }
  // Holding the button repeats its action (Prior and Next).
  bool Repeats() const { return repeats_; }
  void SetRepeats(bool value);

protected:
  void Paint() override;

private:
  TkyrDBNavigator* Navigator() const;
  void RepeatTick();
  TNavigateBtn kind_ = nbFirst;
  bool repeats_ = false;
};

class TkyrNavDataLink : public TDataLink {
public:
  explicit TkyrNavDataLink(TkyrDBNavigator* navigator);
  ~TkyrNavDataLink() override;

protected:
  void ActiveChanged() override;
  void DataSetChanged() override;
  void EditingChanged() override;
  void DataSourceGone() override;

private:
  TkyrDBNavigator* navigator_;
};

class TkyrDBNavigator : public TkyrStyled<TCustomPanel>, public IkyrButtonContainer {
  VANTOR_CLASS(TkyrDBNavigator, TkyrStyled<TCustomPanel>)
public:
  explicit TkyrDBNavigator(TComponent* owner);
  ~TkyrDBNavigator() override;

  TDataSource* DataSource() const { return dataLink_->DataSource(); }
  void SetDataSource(TDataSource* value);
  TButtonSet VisibleButtons() const { return visibleButtons_; }
  void SetVisibleButtons(TButtonSet value);
  // The navigator's cursor and every button's.
  void SetCursor(TCursor value);
  // The hints given by the user, line k for the button of kind k (an empty line keeps the
  // standard hint). A list equal to the standard hints is cleared: only differing hints are
  // kept. In the designer an empty list reads as the standard hints.
  TStrings* Hints();
  void SetHints(const TStrings& value);
  const TStrings& StandardHints();
  bool ConfirmDelete() const { return confirmDelete_; }
  void SetConfirmDelete(bool value) { confirmDelete_ = value; }
  TNavigateBtn CurrentButton() const { return currentButton_; }
  int SlotWidth() const { return slotWidth_; }
  // Smallest width and height of one button.
  POINT MinimumButtonSize() const { return {20, 18}; }
  TkyrNavButton* Buttons(TNavigateBtn kind) const { return buttons_[kind]; }

  const ENavClick& BeforeAction() const { return beforeAction_; }
  void SetBeforeAction(ENavClick e) { beforeAction_ = std::move(e); }
  const ENavClick& OnClick() const { return onNavClick_; }
  void SetOnClick(ENavClick e) { onNavClick_ = std::move(e); }

  // BeforeAction, KIND's operation on the data set (when the source is active), then OnClick.
  virtual void NavigateClick(TNavigateBtn kind);
  void SetBounds(int left, int top, int width, int height) override;
  void WndProc(TMessage& m) override;
  static void DeclarePublished(TPublished<TkyrDBNavigator>& p);

protected:
  void ApplyUIStyle(const TkyrStyleSource& source) override;
  void Loaded() override;
  void KeyDown(WORD& key, TShiftState shift) override;

private:
  friend class TkyrNavButton;
  friend class TkyrNavDataLink;
  void CreateButtons();
  void ApplyHints();
  void HintsChanged();
  bool LayoutReady() const;
  // Lays the buttons out for WIDTH x HEIGHT; returns the navigator's size for it.
  SIZE LayOut(int width, int height);
  // Lays out for the current size and takes the size that needs.
  void LayOutAndResize();
  void UpdateAll();
  void UpdateMoving();
  void UpdateEditing();
  bool DeleteConfirmed();
  void PerformAction(TDataSet& set, TNavigateBtn kind);
  // A click, a repeat tick or Space on a button: dropped while one of these is running.
  void ButtonAction(TNavigateBtn kind);
  void ButtonPressed(TkyrNavButton& button);
  void SetCurrent(TNavigateBtn kind);
  void KeepCurrentVisible();
  void InvalidateButton(TNavigateBtn kind);
  void WMSize(TMessage& m);
  void WMWindowPosChanging(TMessage& m);
  void WMFocus(TMessage& m);
  void WMGetDlgCode(TMessage& m);
  void CMEnabledChanged(TMessage& m);

  std::unique_ptr<TkyrNavDataLink> dataLink_;
  TButtonSet visibleButtons_ = AllNavigateButtons;
  TStringList hints_;
  std::unique_ptr<TStringList> standardHints_;
  int slotWidth_ = 0;
  ENavClick beforeAction_, onNavClick_;
  TNavigateBtn currentButton_ = nbFirst;
  bool confirmDelete_ = true;
  bool buttonActionRunning_ = false;
  std::array<TkyrNavButton*, kNavButtonCount> buttons_{};
};
