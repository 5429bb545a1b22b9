#include "skin/controls/KYRImagePanel.h"

#include "framework/core/StrUtils.h"
#include "skin/KYRPublic.h"

TkyrCustomPanel::TkyrCustomPanel(TComponent* owner) : TkyrStyled(owner) {
  SetBevelOuter(bvNone);
  SetBevelInner(bvNone);
  picture_.OnChange = [this](TObject*) { PictureChanged(); };
  InitUIStyle();
}

// The picture goes after this body: its last notices must not reach a half-destroyed panel.
TkyrCustomPanel::~TkyrCustomPanel() {
  Destroying();
  picture_.OnChange = nullptr;
}

void TkyrCustomPanel::SetPicture(const TPicture& value) { picture_.Assign(value); }

void TkyrCustomPanel::SetTransparent(bool value) {
  transparent_ = value;
  SyncTransparency();
  Invalidate();
}

void TkyrCustomPanel::SetAutoSize(bool value) {
  autoSize_ = value;
  ApplyAutoSize();
}

void TkyrCustomPanel::SetDrawStyle(TkyrDrawStyle value) {
  drawStyle_ = value;
  PictureReset();
  Invalidate();
}

void TkyrCustomPanel::ApplyAutoSize() {
  if (!autoSize_ || !picture_.Graphic()) return;
  const TAlign align = Align();
  if (align != alTop && align != alBottom && align != alClient) SetWidth(picture_.Width());
  if (align != alLeft && align != alRight && align != alClient) SetHeight(picture_.Height());
}

// Changing the graphic's flag notifies the picture again; the second pass finds them equal.
void TkyrCustomPanel::SyncTransparency() {
  TGraphic* graphic = picture_.Graphic();
  if (graphic && graphic->Transparent() != transparent_) graphic->SetTransparent(transparent_);
}

void TkyrCustomPanel::PictureReset() { Canvas().Brush().SetColor(Color()); }

void TkyrCustomPanel::TextChanged(const RECT&) {}

void TkyrCustomPanel::PictureChanged() {
  if (picture_.Graphic()) {
    ApplyAutoSize();
    SyncTransparency();
  }
  PictureReset();
  Invalidate();
}

void TkyrCustomPanel::Resize() {
  inherited::Resize();
  Invalidate();
}

void TkyrCustomPanel::WndProc(TMessage& m) {
  static constexpr TMessageEntry<TkyrCustomPanel> kTable[] = {{CM_TEXTCHANGED, &TkyrCustomPanel::CMTextChanged}};
  if (!DispatchMessageTable(*this, kTable, m)) inherited::WndProc(m);
}

void TkyrCustomPanel::CMTextChanged(TMessage& m) {
  TextChanged(lastCaptionRect_);
  inherited::WndProc(m);  // repaints
}

// Canvas() is the control's off-screen bitmap, already filled with Color (TCustomControl).
void TkyrCustomPanel::Paint() {
  TCanvas& canvas = Canvas();
  const RECT client = ClientRect();
  if (transparent_) DrawParentBackground(canvas, *this);
  if (TGraphic* graphic = picture_.Graphic()) {
    if (drawStyle_ == kyrStretch)
      canvas.StretchDraw(client, *graphic);
    else if (drawStyle_ == kyrTile)
      TileDrawPicture(canvas, picture_, client);
    else
      canvas.Draw(0, 0, *graphic);
  }
  lastCaptionRect_ = client;
  const std::string text = Caption();
  if (Trim(text).empty()) return;
  static constexpr UINT kAlign[] = {DT_LEFT, DT_RIGHT, DT_CENTER};  // by TAlignment
  RECT r = client;
  canvas.Brush().SetStyle(bsClear);
  canvas.DrawText(text, r, kAlign[Alignment()] | DT_SINGLELINE | DT_VCENTER);
}

void TkyrImagePanel::DeclarePublished(TPublished<TkyrImagePanel>& p) {
  p.Object("Picture", &TkyrImagePanel::Picture);
  p.Boolean("Transparent", &TkyrImagePanel::Transparent, &TkyrImagePanel::SetTransparent);
  p.Boolean("AutoSize", &TkyrImagePanel::AutoSize, &TkyrImagePanel::SetAutoSize);
  p.Enumeration("DrawStyle", TkyrDrawStyleInfo, &TkyrImagePanel::DrawStyle, &TkyrImagePanel::SetDrawStyle);
}
