// Standard controls: the windowless label, the push button over BUTTON and the memo over the
// multi-line EDIT control.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/ui/Controls.h"

enum TTextLayout { tlTop, tlCenter, tlBottom };
inline const TEnumInfo TextLayoutInfo("TTextLayout", {"tlTop", "tlCenter", "tlBottom"});

// A caption painted on its parent: AutoSize fits the bounds to the text (keeping the width
// when WordWrap is on), Transparent leaves the parent's background.
class TCustomLabel : public TGraphicControl {
  VANTOR_CLASS(TCustomLabel, TGraphicControl)
public:
  explicit TCustomLabel(TComponent* owner);

  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout value);
  // '&' marks an accelerator character (drawn underlined) unless this is off.
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool value);
  void WndProc(TMessage& m) override;

  static void DeclarePublished(TPublished<TCustomLabel>& p);

protected:
  void Paint() override;
  void Loaded() override;
  // The DrawTextA flags for the current settings.
  UINT TextFlags() const;
  // Sizes the label to its text when AutoSize is on.
  void AdjustBounds();

private:
  void CMTextOrFontChanged(TMessage& m);
  bool autoSize_ = true;
  bool wordWrap_ = false;
  bool transparent_ = false;
  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlTop;
  bool showAccelChar_ = true;
};

class TLabel : public TCustomLabel {
  VANTOR_CLASS(TLabel, TCustomLabel)
public:
  explicit TLabel(TComponent* owner) : TCustomLabel(owner) {}
};

// A push button over the system BUTTON class. A click sets the form's ModalResult (when not
// mrNone) and fires OnClick. Default buttons answer Enter, Cancel buttons Escape. The focused
// button takes Return itself, like Space: pressed on key-down, clicked on key-up (BUTTON does
// this only for Space; Return is otherwise the dialog manager's).
class TButton : public TWinControl {
  VANTOR_CLASS(TButton, TWinControl)
public:
  explicit TButton(TComponent* owner);
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int value) { modalResult_ = value; }
  bool Default() const { return default_; }
  void SetDefault(bool value);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  void Click() override;
  void WndProc(TMessage& m) override;

  static void DeclarePublished(TPublished<TButton>& p);

protected:
  void CreateParams(TCreateParams& params) override;

private:
  void CNCommand(TMessage& m);
  void CMDialogKey(TMessage& m);
  void WMKeyDown(TMessage& m);
  void WMKeyUp(TMessage& m);
  void WMKillFocus(TMessage& m);
  void SetKeyPressed(bool value);
  int modalResult_ = 0;
  bool default_ = false;
  bool cancel_ = false;
  bool returnPressed_ = false;
};

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
inline const TEnumInfo ScrollStyleInfo("TScrollStyle", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"});

class TCustomMemo;

// The lines of a memo, read from and written to its text (the window's while it exists).
class TMemoStrings : public TStrings {
  VANTOR_CLASS(TMemoStrings, TStrings)
public:
  explicit TMemoStrings(TCustomMemo& memo) : memo_(memo) {}
  int Count() const override;
  const std::string& Strings(int index) const override;
  void Put(int index, const std::string& value) override;
  void Insert(int index, const std::string& value) override;
  void Delete(int index) override;
  void Clear() override;
  // In one write: added one by one, an empty line would be lost whenever it is the last so far
  // (a text that ends in a line break reads as one line fewer).
  void SetStrings(const std::vector<std::string>& lines) override { Write(lines); }

private:
  std::vector<std::string> Read() const;
  void Write(const std::vector<std::string>& lines);
  TCustomMemo& memo_;
  mutable std::vector<std::string> cache_;
};

// The multi-line EDIT control. Changes of ReadOnly apply at once; WordWrap, ScrollBars,
// Alignment, BorderStyle, OEMConvert and Ctl3D re-create the window (its text is kept). A
// bsSingle border is sunken (WS_EX_CLIENTEDGE) with Ctl3D, a flat line (WS_BORDER) without.
class TCustomMemo : public TWinControl {
  VANTOR_CLASS(TCustomMemo, TWinControl)
public:
  explicit TCustomMemo(TComponent* owner);
  TStrings& Lines() { return lines_; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int value);
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool value) { wantReturns_ = value; }
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool value) { wantTabs_ = value; }
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value);
  // Typed text is converted to the OEM character set and back (ES_OEMCONVERT).
  bool OEMConvert() const { return oemConvert_; }
  void SetOEMConvert(bool value);
  const TNotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(TNotifyEvent e) { onChange_ = std::move(e); }
  void WndProc(TMessage& m) override;

  static void DeclarePublished(TPublished<TCustomMemo>& p);

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWindowHandle(const TCreateParams& params) override;
  virtual void Change();

private:
  void CNCommand(TMessage& m);
  void WMGetDlgCode(TMessage& m);
  void CMTextChanged(TMessage& m);
  TMemoStrings lines_{*this};
  bool readOnly_ = false;
  bool wordWrap_ = true;
  TScrollStyle scrollBars_ = ssNone;
  TAlignment alignment_ = taLeftJustify;
  TBorderStyle borderStyle_ = bsSingle;
  int maxLength_ = 0;
  std::string pendingText_;  // from CreateParams to CreateWindowHandle
  bool wantReturns_ = true;
  bool wantTabs_ = false;
  bool hideSelection_ = true;
  bool oemConvert_ = false;
  TNotifyEvent onChange_;
};

class TMemo : public TCustomMemo {
  VANTOR_CLASS(TMemo, TCustomMemo)
public:
  explicit TMemo(TComponent* owner) : TCustomMemo(owner) {}
};
