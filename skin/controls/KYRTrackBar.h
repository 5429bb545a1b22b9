// The skinned track bar: a bar image laid along the track, a slider image that moves along it,
// optional tick marks, paging by click and by holding the button, dragging, and keys.
//
//   auto* volume = new TkyrTrackBar(form);     // the owner form's style, 0..10, horizontal
//   volume->SetParent(form);
//   volume->SetMax(100);  volume->SetFrequency(10);
//   volume->SetOnChange([](TObject* sender) { ... static_cast<TkyrTrackBar*>(sender)->Position() ... });
//
// TkyrScrollTrackBar is the body of the skinned scroll bar: no style images of its
// own (its owner sets the slider picture, the thumb, and clears the bar image), no focus, no
// tab stop. What the scroll bar uses: Min/Max/Position/PageSize and their setters, OnChange,
// SetOrientation, SetShowTick, SetTransparent, SetTabStop, BarImage() (cleared), SliderImage()
// (the thumb, changed in place or through SetSliderImage), AutoSizeSlider, SliderVisible /
// SetSliderVisible, StepPosition (the arrows' steps), and the track's Width/Height as its length.
//
// All arithmetic on values is done in 64 bits: the free functions below are the whole of it, so
// a range of INT32_MIN..INT32_MAX, or steps at the limits, neither overflow nor wrap (a step
// saturates, then Position is clamped into Min..Max).
//
// The repeat timer (100 ms while the left button is held on the track) is a TPressRepeat on the
// track bar's own window. It stops on any button release, on loss of the mouse capture, when
// the track bar (or a parent) is disabled or hidden, and when it is destroyed; a tick that runs
// while another is still running (an OnChange handler pumping messages) does nothing. A tick
// pages toward where the mouse messages last put the pointer (the press, then each move), never
// toward the real pointer's position.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "framework/ui/ExtCtrls.h"
#include "framework/ui/PressRepeat.h"
#include "skin/KYRStyled.h"
#include "skin/controls/KYRImagePanel.h"

enum TkyrProgressBarOrientation : uint8_t { kyrHorizontal = 0, kyrVertical = 1 };
inline const TEnumInfo TkyrProgressBarOrientationInfo("TkyrProgressBarOrientation", {"kyrHorizontal", "kyrVertical"});

// ---- the arithmetic of a track (lengths in pixels along the track, values in Min..Max) ----

// The slider's travel: TRACK_LENGTH less SLIDER_LENGTH, 0 when the slider is as long or longer.
int TrackSpan(int trackLength, int sliderLength);
// The slider's offset along the track for POSITION: (Position - Min) * SPAN div (Max - Min),
// 0 when Min = Max. MIN > MAX (a range read from the far end) works the same way.
int TrackSliderOffset(int32_t position, int32_t min, int32_t max, int span);
// The value under POINT: Min + round((Point - SliderLength div 2) * (Max - Min) / SPAN), ties to
// even. Points beyond the travel give the value at its end (Min or Max), so the result always
// lies within the range; with no travel (SPAN 0) it is Min.
int32_t TrackValueAt(int point, int sliderLength, int span, int32_t min, int32_t max);
// The offsets (0..SPAN, ascending, each once) at which ticks stand: Min, Min + Frequency,
// Min + 2 Frequency ... below Max, and Max; FREQUENCY 0 or less: Min and Max. None unless
// MIN < MAX. The values are stepped in 64 bits, and where ticks are denser than pixels every
// offset up to the last stepped tick is listed at once, so a range of 0..2^31-1 costs no more
// than SPAN + 2 entries.
std::vector<int> TrackTickOffsets(int32_t min, int32_t max, int32_t frequency, int span);
// VALUE + DELTA, held within the 32-bit range.
int32_t SaturatingStep(int32_t value, int64_t delta);

// ---- the slider ----

// The slider of a track bar: an image panel that takes its picture's size (AutoSize). Its
// picture is always drawn keyed on the skin's magenta, so the key never shows, also where the
// slider is opaque (a vertical track, a scroll bar's thumb): there Color shows through the key,
// where a see-through slider shows the track behind it.
class TkyrTrackSlider : public TkyrImagePanel {
  VANTOR_CLASS(TkyrTrackSlider, TkyrImagePanel)
public:
  explicit TkyrTrackSlider(TComponent* owner);

  // Run after the picture changed (and the slider took its size).
  std::function<void()> OnPictureChanged;

protected:
  void PictureChanged() override;
  void Paint() override;
};

// ---- the track bar ----

class TkyrTrackBar : public TkyrStyled<TCustomPanel> {
  VANTOR_CLASS(TkyrTrackBar, TkyrStyled<TCustomPanel>)
public:
  // The repeat timer: a window timer of the track bar's window, WM_TIMER with this id.
  static constexpr UINT_PTR RepeatTimerId = TPressRepeat::TimerId;
  static constexpr UINT RepeatInterval = 100;

  explicit TkyrTrackBar(TComponent* owner);
  ~TkyrTrackBar() override;

  TkyrProgressBarOrientation Orientation() const { return orientation_; }
  void SetOrientation(TkyrProgressBarOrientation value);
  // The bar image (theme element TrackBarBarImage). A TkyrTrackBar takes its style's image
  // back at once: only a variant with its own images keeps one set here.
  TPicture* BarImage() { return &barImage_; }
  void SetBarImage(const TPicture& value);
  // The slider's picture.
  TPicture* SliderImage() { return slider_->Picture(); }
  virtual void SetSliderImage(const TPicture& value);

  int32_t Min() const { return min_; }
  void SetMin(int32_t value);
  int32_t Max() const { return max_; }
  void SetMax(int32_t value);
  int32_t Position() const { return position_; }
  // Clamped into Min..Max; also re-places the slider when the value is unchanged.
  void SetPosition(int32_t value);
  // Moves Position by DELTA: saturating at the 32-bit limits, then clamped into Min..Max.
  void StepPosition(int64_t delta);
  // Taken only when 0 <= value <= Max.
  int32_t PageSize() const { return pageSize_; }
  void SetPageSize(int32_t value);
  int32_t LineSize() const { return lineSize_; }
  void SetLineSize(int32_t value);
  bool ShowTick() const { return showTick_; }
  void SetShowTick(bool value);
  // The parent's background behind the track (MacOS turns it on).
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  // Tick spacing in values; 0 or less: ticks at Min and Max only.
  int32_t Frequency() const { return frequency_; }
  void SetFrequency(int32_t value);

  const TNotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(TNotifyEvent e) { onChange_ = std::move(e); }

  TkyrTrackSlider* Slider() const { return slider_; }
  // The bar laid out to the track's length (rotated for a vertical track), ready to copy.
  const TBitmap& BarStrip() const { return barStrip_; }
  // The slider is being dragged (the track bar holds the mouse capture).
  bool SliderDragging() const { return dragging_; }
  // The repeat timer is running.
  bool Repeating() const { return repeat_.Active(); }
  // The value under POINT (client coordinates), within Min..Max.
  int32_t ValueAtPoint(POINT point) const;
  // The slider's travel along the track (0: the pointer picks no value).
  int Span() const;

  static void DeclarePublished(TPublished<TkyrTrackBar>& p);

protected:
  // For a variant whose images come from its owner (the scroll bar's track): no style images
  // are ever loaded and no bar strip is built. A constructor argument rather than a virtual
  // function, since the base constructor already applies the style and C++ does not
  // dispatch to the derived class there.
  TkyrTrackBar(TComponent* owner, bool usesOwnImages);
  bool UsesOwnImages() const { return usesOwnImages_; }
  // Loads the bar image and the slider picture for SOURCE (never for UsesOwnImages).
  virtual void LoadStyleImages(const TkyrStyleSource& source);
  virtual bool FocusOnClick() const { return true; }
  virtual bool SliderTransparent() const { return orientation_ == kyrHorizontal; }
  // The slider's picture or size changed: the thickness follows (unless images are being
  // loaded, which refresh once at the end) and the slider is placed again.
  void SliderPictureChanged();

  void ApplyUIStyle(const TkyrStyleSource& source) override;
  void WndProc(TMessage& m) override;
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void Loaded() override;
  void Resize() override;

private:
  bool Horizontal() const { return orientation_ == kyrHorizontal; }
  int Along(POINT point) const { return Horizontal() ? point.x : point.y; }
  int SliderEdge() const { return Horizontal() ? slider_->Left() : slider_->Top(); }
  int SliderLength() const { return Horizontal() ? slider_->Width() : slider_->Height(); }
  void BarImageChanged();
  void BuildBarStrip();
  void FitSize();
  void PlaceSlider();
  // Re-places the slider, repaints, and fires OnChange when Position moved since the last one.
  void UpdateSlider();
  // The same after a change of Position alone: only the slider's old place on the track and
  // the slider itself (its new place) are repainted.
  void MoveSlider();
  void Changed();
  void PaintTicks(TCanvas& canvas);
  // One page toward POINT by STEP, never past the value under the pointer.
  void PageToward(POINT point, int64_t step);
  // Ends paging and dragging, and lets the mouse go.
  void CancelMouseWork();
  void RepeatTick();
  void SliderMouseDown(TMouseButton button, TShiftState shift, int x, int y);
  void SliderMouseUp(TMouseButton button, TShiftState shift, int x, int y);
  // Paints reach only the update region's bounds (the window's own paint) or the clip box of
  // the DC handed in (a see-through slider asks for the track behind it alone).
  void WMPaintReach(TMessage& m);
  void WMGetDlgCode(TMessage& m);
  void WMCaptureChanged(TMessage& m);
  void WMDestroy(TMessage& m);
  void CMFocusChanged(TMessage& m);
  void CMEnabledChanged(TMessage& m);
  void CMVisibleChanged(TMessage& m);
  void CMColorChanged(TMessage& m);

  const bool usesOwnImages_;
  TPicture barImage_;
  TkyrTrackSlider* slider_ = nullptr;
  int32_t min_ = 0, max_ = 10, position_ = 0, lastPosition_ = 0;
  TkyrProgressBarOrientation orientation_ = kyrHorizontal;
  bool showTick_ = true;
  bool transparent_ = false;
  TNotifyEvent onChange_;
  bool dragging_ = false;
  int32_t frequency_ = 1;
  int32_t pageSize_ = 2, lineSize_ = 1;
  TBitmap barStrip_;
  POINT lastPoint_{0, 0};  // where the last mouse message put the pointer (client coordinates)
  // A hold found lost at a tick (a parent hidden or disabled) ends the mouse work.
  TPressRepeat repeat_{*this, [this] { RepeatTick(); }, [this] { CancelMouseWork(); }};
  bool loadingImages_ = false;
  bool fitting_ = false;
  RECT paintReach_{0, 0, 1 << 15, 1 << 15};  // of the paint under way, client coordinates
};

// The body of the skinned scroll bar: no images of its own, never takes the focus, no tab stop;
// the slider is opaque and takes the track bar's control style.
class TkyrScrollTrackBar : public TkyrTrackBar {
  VANTOR_CLASS(TkyrScrollTrackBar, TkyrTrackBar)
public:
  explicit TkyrScrollTrackBar(TComponent* owner);

  bool SliderVisible() const { return Slider()->Visible(); }
  void SetSliderVisible(bool value);
  // The slider takes its picture's size from now on.
  void AutoSizeSlider();

protected:
  bool FocusOnClick() const override { return false; }
  bool SliderTransparent() const override { return false; }
};
