// The skinned scroll bar: a decrease arrow, a track with a sliding thumb and an increase arrow in
// a row (horizontal) or a column (vertical), every picture cut from the style's bitmaps.
//
//   auto* bar = new TkyrScrollBar(form);      // the owner form's style, horizontal, 0..100
//   bar->SetParent(form);
//   bar->SetOrientation(kyrVertical);  bar->SetBounds(200, 10, 0, 150);   // the width follows the arrows
//   bar->SetOnChange([](TObject* track) { ... static_cast<TkyrTrackBar*>(track)->Position() ... });
//
// The value model (Min, Max, Position, PageSize, OnChange) is the track's, a TkyrScrollTrackBar:
// a press on the track pages toward the pointer and repeats, the thumb drags (see
// KYRTrackBar.h). The arrows are image buttons that step Position by SmallChange at the press,
// then, after a pause of 200 ms, once per 100 ms while held; their repeat stops on any release,
// loss of capture, disable, hide or destroy (KYRButton.h), and also when the scroll bar itself
// is disabled or hidden.
//
// The cross size always follows the arrow pictures (ScrollBarButtonImage, six upright frames:
// decrease normal, mouse-on, pressed, then increase; turned a quarter left for a horizontal
// bar). The thumb is built from ScrollBarSliderImage (three lying frames: start cap, middle,
// end cap; turned a quarter right for a vertical bar): LineButton pixels long when set (at
// least 18), else PageSize percent of the track (10 when PageSize is outside 10..100).
#pragma once

#include <cstdint>

#include "framework/ui/ExtCtrls.h"
#include "skin/KYRStyled.h"
#include "skin/controls/KYRButton.h"
#include "skin/controls/KYRTrackBar.h"

// The arrows: image buttons with a repeat event.
using TkyrScrollArrow = TkyrImageButton;

// The thumb of length LENGTH from its three pieces: START at the near end, END flush with the
// far end, MIDDLE stretched between; the cross size is START's (its width when VERTICAL).
void BuildScrollThumb(TBitmap& start, TBitmap& middle, TBitmap& end, bool vertical, int length, TBitmap& thumb);
// The thumb's length: LINE_BUTTON when above 0 (raised to 18), else PAGE_SIZE percent of
// TRACK_LENGTH, PAGE_SIZE outside 10..100 counting as 10.
int ScrollThumbLength(int lineButton, int32_t pageSize, int trackLength);

class TkyrScrollBar : public TkyrStyled<TCustomPanel> {
  VANTOR_CLASS(TkyrScrollBar, TkyrStyled<TCustomPanel>)
public:
  static constexpr int kArrowInterval = 100;
  // The pause between an arrow's step at the press and its first repeated step.
  static constexpr int kArrowDelay = 200;
  static constexpr int kMinThumbLength = 18;

  explicit TkyrScrollBar(TComponent* owner);
  ~TkyrScrollBar() override;

  // Fixed thumb length in pixels (0: proportional to PageSize); a value longer than the room
  // between the arrows is refused, one below 18 becomes 18.
  int LineButton() const { return lineButton_; }
  void SetLineButton(int value);
  TkyrProgressBarOrientation Orientation() const { return orientation_; }
  void SetOrientation(TkyrProgressBarOrientation value);
  int32_t Max() const { return track_->Max(); }
  void SetMax(int32_t value) { track_->SetMax(value); }
  int32_t Min() const { return track_->Min(); }
  void SetMin(int32_t value) { track_->SetMin(value); }
  int32_t Position() const { return track_->Position(); }
  void SetPosition(int32_t value);
  // The arrows' step, held within 1..32767.
  int SmallChange() const { return smallChange_; }
  void SetSmallChange(int value);
  // The track's page size seen as 16 bits; writing it leaves the thumb as it is.
  int LargeChange() const { return track_->PageSize() & 0xFFFF; }
  void SetLargeChange(int value) { track_->SetPageSize(value); }
  // The track's page size (taken only within 0..Max); the thumb is rebuilt.
  int32_t PageSize() const { return track_->PageSize(); }
  void SetPageSize(int32_t value);
  // Sender: the track.
  const TNotifyEvent& OnChange() const { return track_->OnChange(); }
  void SetOnChange(TNotifyEvent e) { track_->SetOnChange(std::move(e)); }

  // Shows or hides the thumb (a memo hides it while its text does not scroll).
  bool ThumbVisible() const { return track_->SliderVisible(); }
  void SetThumbVisible(bool value) { track_->SetSliderVisible(value); }

  TkyrScrollTrackBar* Track() const { return track_; }
  TkyrScrollArrow* DecButton() const { return decButton_; }
  TkyrScrollArrow* IncButton() const { return incButton_; }
  const TBitmap& ThumbStart() const { return thumbStart_; }
  const TBitmap& ThumbMiddle() const { return thumbMiddle_; }
  const TBitmap& ThumbEnd() const { return thumbEnd_; }

  static void DeclarePublished(TPublished<TkyrScrollBar>& p);

protected:
  void ApplyUIStyle(const TkyrStyleSource& source) override;
  void WndProc(TMessage& m) override;
  void Resize() override;

private:
  bool Vertical() const { return orientation_ == kyrVertical; }
  TkyrScrollArrow* MakeArrow(int direction);
  void LoadImages(const TkyrStyleSource& source);
  void Arrange();
  void BuildThumb();
  // Pixels between the two arrows along the bar.
  int Room() const;
  // Ends a press held on either arrow.
  void CancelArrows();
  void WMEraseBkgnd(TMessage& m);
  void CMColorChanged(TMessage& m);
  void CMVisibleChanged(TMessage& m);
  void CMEnabledChanged(TMessage& m);

  TkyrScrollTrackBar* track_ = nullptr;
  TkyrScrollArrow* incButton_ = nullptr;
  TkyrScrollArrow* decButton_ = nullptr;
  TBitmap thumbStart_, thumbMiddle_, thumbEnd_;
  TkyrProgressBarOrientation orientation_ = kyrHorizontal;
  int smallChange_ = 1;
  int lineButton_ = 0;
  bool arranging_ = false;
};
