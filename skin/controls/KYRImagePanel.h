// The skinned image panel: a panel that shows a picture as is, stretched or tiled,
// optionally over its parent's background, with a one-line caption on top. TkyrCustomPanel holds
// the behaviour, TkyrImagePanel publishes it. The track bar's slider is one; a skinned form
// accepts one as its FormPanel.
//
//   auto* panel = new TkyrImagePanel(form);
//   panel->SetParent(form);
//   panel->Picture()->Bitmap().LoadFromResourceName(module, "LOGO");  // or SetPicture(other)
//   panel->SetDrawStyle(kyrTile);
//
// Every change of the picture (a new graphic, new contents, a stored description's Data) runs
// PictureChanged: the size follows the picture when AutoSize, the graphic's transparency follows
// Transparent, and the panel repaints. Painting goes through the control's one off-screen bitmap
// (TCustomControl); the area no picture covers shows Color, or with Transparent the parent's
// background. The panel is a skinned component (it takes its owner form's style like the
// others) but reads no theme element.
#pragma once

#include <cstdint>

#include "framework/ui/ExtCtrls.h"
#include "skin/KYRStyled.h"

enum TkyrDrawStyle : uint8_t {
  kyrNormal = 0,   // the picture at (0, 0) in its own size
  kyrStretch = 1,  // stretched over the client area
  kyrTile = 2,     // repeated from (0, 0)
};
inline const TEnumInfo TkyrDrawStyleInfo("TkyrDrawStyle", {"kyrNormal", "kyrStretch", "kyrTile"});

class TkyrCustomPanel : public TkyrStyled<TCustomPanel> {
  VANTOR_CLASS(TkyrCustomPanel, TkyrStyled<TCustomPanel>)
public:
  // No bevels, an empty picture, not transparent, no auto-size, kyrNormal.
  explicit TkyrCustomPanel(TComponent* owner);
  ~TkyrCustomPanel() override;

  TPicture* Picture() { return &picture_; }
  // Copies VALUE's graphic (PictureChanged follows).
  void SetPicture(const TPicture& value);
  bool Transparent() const { return transparent_; }
  // Stores, makes the picture's graphic transparent or opaque to match, repaints.
  virtual void SetTransparent(bool value);
  bool AutoSize() const { return autoSize_; }
  // Stores, then sizes the panel to the picture (when it holds a graphic and VALUE is true).
  void SetAutoSize(bool value);
  TkyrDrawStyle DrawStyle() const { return drawStyle_; }
  void SetDrawStyle(TkyrDrawStyle value);

  void WndProc(TMessage& m) override;

protected:
  // Before a repaint caused by the picture or DrawStyle: the canvas's brush takes Color. (A panel
  // inside a window of another framework would also have its canvas filled; this framework has no
  // such windows.)
  virtual void PictureReset();
  // When the caption changes, with the rectangle the last caption was drawn in (the client
  // rectangle of that paint). Empty here.
  virtual void TextChanged(const RECT& lastCaptionRect);
  // The picture changed: auto-size, transparency in step, PictureReset, repaint.
  virtual void PictureChanged();
  void Paint() override;
  void Resize() override;
  void ApplyUIStyle(const TkyrStyleSource&) override {}

private:
  void ApplyAutoSize();
  void SyncTransparency();
  void CMTextChanged(TMessage& m);

  TPicture picture_;
  bool transparent_ = false;
  bool autoSize_ = false;
  TkyrDrawStyle drawStyle_ = kyrNormal;
  RECT lastCaptionRect_{};
};

class TkyrImagePanel : public TkyrCustomPanel {
  VANTOR_CLASS(TkyrImagePanel, TkyrCustomPanel)
public:
  explicit TkyrImagePanel(TComponent* owner) : TkyrCustomPanel(owner) {}
  // Picture, Transparent, AutoSize and DrawStyle after the inherited panel properties (BiDiMode,
  // BorderWidth, Anchors, Alignment, Align, Font, TabStop, TabOrder, Caption, Color, Visible,
  // PopupMenu and the events).
  static void DeclarePublished(TPublished<TkyrImagePanel>& p);
};
