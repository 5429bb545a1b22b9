#include <gtest/gtest.h>

#include "framework/ui/ExtCtrls.h"
#include "framework/ui/StdCtrls.h"
#include "tests/framework/ui/UiTestHelpers.h"

namespace {

// Left half red, right half blue; counts its paints.
class TSplitControl : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  int paints = 0;

protected:
  void Paint() override {
    ++paints;
    Canvas().Brush().SetColor(clRed);
    Canvas().FillRect({0, 0, Width() / 2, Height()});
    Canvas().Brush().SetColor(clBlue);
    Canvas().FillRect({Width() / 2, 0, Width(), Height()});
  }
};

// A windowless control that paints itself lime.
class TLimeSpot : public TGraphicControl {
public:
  using TGraphicControl::TGraphicControl;
  int paints = 0;

protected:
  void Paint() override {
    ++paints;
    Canvas().Brush().SetColor(clLime);
    Canvas().FillRect({0, 0, Width(), Height()});
  }
};

TEST(DoubleBufferedPaint, PrintClientPaintsControlAndWindowlessChildren) {
  uitest::TShownForm form;
  auto* split = new TSplitControl(form.form);
  split->SetBounds(0, 0, 40, 20);
  split->SetParent(form.form);
  auto* spot = new TLimeSpot(form.form);
  spot->SetBounds(2, 2, 4, 4);
  spot->SetParent(split);

  uitest::TCapture capture(40, 20);
  capture.Fill(clWhite);
  SendMessageA(split->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(capture.DC()), PRF_CLIENT);
  EXPECT_EQ(capture.Pixel(10, 10), clRed);
  EXPECT_EQ(capture.Pixel(19, 19), clRed);
  EXPECT_EQ(capture.Pixel(20, 0), clBlue);
  EXPECT_EQ(capture.Pixel(39, 19), clBlue);
  EXPECT_EQ(capture.Pixel(2, 2), clLime);   // the child's top-left corner
  EXPECT_EQ(capture.Pixel(5, 5), clLime);   // ... and its bottom-right
  EXPECT_EQ(capture.Pixel(6, 6), clRed);    // clipped to its bounds

  // WM_ERASEBKGND is answered without touching the DC.
  capture.Fill(clWhite);
  EXPECT_NE(SendMessageA(split->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(capture.DC()), 0), 0);
  EXPECT_EQ(capture.Pixel(10, 10), clWhite);
}

TEST(DoubleBufferedPaint, PaintsOnlyWhatWasInvalidated) {
  uitest::TShownForm form;
  auto* a = new TSplitControl(form.form);
  a->SetBounds(0, 0, 50, 50);
  a->SetParent(form.form);
  auto* b = new TSplitControl(form.form);
  b->SetBounds(60, 0, 50, 50);
  b->SetParent(form.form);
  auto* spot = new TLimeSpot(form.form);
  spot->SetBounds(120, 0, 10, 10);
  spot->SetParent(form.form);
  UpdateWindow(form->Handle());
  uitest::Pump();
  const int aBefore = a->paints, bBefore = b->paints, spotBefore = spot->paints;

  a->Invalidate();
  a->Update();
  EXPECT_EQ(a->paints, aBefore + 1);
  EXPECT_EQ(b->paints, bBefore);
  EXPECT_EQ(spot->paints, spotBefore);

  spot->Repaint();  // a windowless repaint touches only its own part of the parent
  EXPECT_EQ(spot->paints, spotBefore + 1);
  EXPECT_EQ(a->paints, aBefore + 1);
  EXPECT_EQ(b->paints, bBefore);
}

TEST(DoubleBufferedPaint, HandleCountsReturnToBaseline) {
  if (!HandleCountsEnabled()) GTEST_SKIP() << "handle counts are kept in Debug builds";
  int before[static_cast<int>(THandleKind::Count)];
  for (int k = 0; k < static_cast<int>(THandleKind::Count); ++k) before[k] = LiveHandleCount(static_cast<THandleKind>(k));
  {
    uitest::TShownForm form;
    auto* panel = new TPanel(form.form);
    panel->SetAlign(alClient);
    panel->SetCaption("Panel");
    panel->SetParent(form.form);
    auto* label = new TLabel(form.form);
    label->SetCaption("Label");
    label->SetParent(panel);
    auto* split = new TSplitControl(form.form);
    split->SetParent(panel);
    auto* memo = new TMemo(form.form);
    memo->SetTop(60);
    memo->SetColor(clAqua);
    memo->SetParent(panel);
    uitest::TCapture capture(300, 200);
    for (int i = 0; i < 20; ++i) {
      panel->Font()->SetHeight(-10 - i % 3);
      memo->SetColor(i % 2 ? clAqua : clWhite);
      panel->Repaint();
      split->Repaint();
      SendMessageA(panel->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(capture.DC()), PRF_CLIENT);
      uitest::Pump();
    }
  }
  for (int k = 0; k < static_cast<int>(THandleKind::Count); ++k)
    EXPECT_EQ(LiveHandleCount(static_cast<THandleKind>(k)), before[k]) << "handle kind " << k;
}

TEST(LabelPaint, PaintsCaptionOnParentAndSizesItself) {
  uitest::TShownForm form;
  auto* panel = new TPanel(form.form);
  panel->SetBevelOuter(bvNone);
  panel->SetColor(clWhite);
  panel->SetBounds(0, 0, 200, 60);
  panel->SetParent(form.form);
  auto* label = new TLabel(form.form);
  label->SetParent(panel);
  label->SetCaption("W");
  const int narrow = label->Width();
  label->SetCaption("WWWWWWWW");
  EXPECT_GT(label->Width(), narrow);  // AutoSize follows the text
  const int lineHeight = label->Height();
  EXPECT_GT(lineHeight, 0);
  label->Font()->SetColor(clBlack);

  uitest::TCapture capture(200, 60);
  SendMessageA(panel->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(capture.DC()), PRF_CLIENT);
  int dark = 0;
  for (int y = 0; y < label->Height(); ++y)
    for (int x = 0; x < label->Width(); ++x) dark += capture.Pixel(x, y) == clBlack;
  EXPECT_GT(dark, 10);                                        // glyph pixels
  EXPECT_EQ(capture.Pixel(label->Width() + 5, 5), clWhite);  // the panel around it

  label->SetWordWrap(true);
  label->SetWidth(30);
  label->SetCaption("WWW WWW WWW");
  EXPECT_EQ(label->Width(), 30);  // word wrap keeps the width and grows downwards
  EXPECT_GE(label->Height(), 2 * lineHeight);
}

}  // namespace
