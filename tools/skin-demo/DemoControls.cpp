#include "tools/skin-demo/DemoControls.h"

void TDemoControlsForm::DeclarePublished(TPublished<TDemoControlsForm>& p) {
  p.Field("kyrForm1", &TDemoControlsForm::kyrForm1);
  p.Field("ButtonsLabel", &TDemoControlsForm::ButtonsLabel);
  p.Field("kyrButton1", &TDemoControlsForm::kyrButton1);
  p.Field("kyrButton2", &TDemoControlsForm::kyrButton2);
  p.Field("kyrButton3", &TDemoControlsForm::kyrButton3);
  p.Field("kyrImageButton1", &TDemoControlsForm::kyrImageButton1);
  p.Field("ImageButtonLabel", &TDemoControlsForm::ImageButtonLabel);
  p.Field("LinkLabel", &TDemoControlsForm::LinkLabel);
  p.Field("kyrURLLabel1", &TDemoControlsForm::kyrURLLabel1);
  p.Field("TrackBarsLabel", &TDemoControlsForm::TrackBarsLabel);
  p.Field("kyrTrackBar1", &TDemoControlsForm::kyrTrackBar1);
  p.Field("kyrTrackBar2", &TDemoControlsForm::kyrTrackBar2);
  p.Field("kyrTrackBar3", &TDemoControlsForm::kyrTrackBar3);
  p.Field("ImagePanelsLabel", &TDemoControlsForm::ImagePanelsLabel);
  p.Field("kyrImagePanel1", &TDemoControlsForm::kyrImagePanel1);
  p.Field("kyrImagePanel2", &TDemoControlsForm::kyrImagePanel2);
  p.Field("kyrImagePanel3", &TDemoControlsForm::kyrImagePanel3);
  p.Field("CaptionPanelLabel", &TDemoControlsForm::CaptionPanelLabel);
  p.Field("kyrImagePanel4", &TDemoControlsForm::kyrImagePanel4);
  p.Field("MemoLabel", &TDemoControlsForm::MemoLabel);
  p.Field("kyrScrollBar1", &TDemoControlsForm::kyrScrollBar1);
  p.Field("kyrScrollBar2", &TDemoControlsForm::kyrScrollBar2);
  p.Field("kyrMemo1", &TDemoControlsForm::kyrMemo1);
  p.Field("ScrollBarLabel", &TDemoControlsForm::ScrollBarLabel);
  p.Field("kyrScrollBar3", &TDemoControlsForm::kyrScrollBar3);
  p.Method("FormClose", &TDemoControlsForm::FormClose);
}

void TDemoControlsForm::FormClose(TObject*, TCloseAction& Action) { Action = caFree; }
