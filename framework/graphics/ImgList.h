// Image lists over COMCTL32: equal-sized images with masks made from a key colour, drawn normally
// or greyed. A TImageList is a component, so a stored description can create one and other
// components can refer to it by name (a menu's Images, a toolbar's Images and HotImages):
//
//   object ImageList1: TImageList
//     Height = 16
//     Width = 16
//     Bitmap = {...}        // the images side by side, as TBitmap Data; magenta is transparent
//   end
//
// Width and Height come before Bitmap: a new size empties the list, whose images were cut for
// the old one. A component that refers to a list holds a TImageListLink: the list tells every
// link when its images change and when it goes, so no reference outlives the list.
//
// Greyed drawing uses ILS_SATURATE when the process runs on comctl32 version 6 (an application with
// the common-controls manifest); older versions ignore that state, so the image is then drawn with
// DrawState(DSS_DISABLED) from an icon made of it.
//     TImageList list(16, 16);
//     list.AddMasked(strip, clFuchsia);      // a 48 x 16 strip adds three images
//     list.Draw(canvas, 4, 4, 1);  list.Draw(canvas, 24, 4, 1, false);
#pragma once

#include <vector>

#include "framework/graphics/Graphics.h"

class TImageListLink;

class TImageList : public TComponent {
  VANTOR_CLASS(TImageList, TComponent)
public:
  // A list of 16 x 16 images owned by OWNER (how a stored description creates one).
  explicit TImageList(TComponent* owner);
  // An unowned list of WIDTH x HEIGHT images.
  TImageList(int width, int height);
  ~TImageList() override;

  int Width() const { return width_; }
  int Height() const { return height_; }
  // A new size empties the list.
  void SetWidth(int value) { SetSize(value, height_); }
  void SetHeight(int value) { SetSize(width_, value); }
  int Count() const;
  // Adds IMAGE (cut into as many images as its width holds) with a mask where its pixels have
  // MASK_COLOR; returns the index of the first added image, -1 on failure.
  int AddMasked(const TBitmap& image, TColor maskColor);
  // Adds IMAGE without a mask (drawn opaque).
  int Add(const TBitmap& image);
  void Clear();
  // Draws image INDEX at (X, Y); ENABLED false draws it greyed. Out-of-range indexes draw nothing.
  void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true);
  HIMAGELIST Handle() const { return handle_.Get(); }

  // Every image side by side in STRIP (Count() x Width() wide), MASK_COLOR where masked.
  void GetStrip(TBitmap& strip, TColor maskColor = clFuchsia) const;
  // The stored form: the strip as TBitmap Data with clFuchsia as the key (no bytes when empty).
  std::vector<uint8_t> BitmapData() const;
  // Replaces the images by the strip in DATA, masked by clFuchsia.
  void SetBitmapData(const std::vector<uint8_t>& data);

  TNotifyEvent OnChange;
  static void DeclarePublished(TPublished<TImageList>& p);

private:
  friend class TImageListLink;
  void SetSize(int width, int height);
  void Changed();
  void DrawGreyed(HDC dc, int x, int y, int index);

  int width_;
  int height_;
  TImageListHandle handle_;
  std::vector<TImageListLink*> links_;
};

// A reference from a component to an image list: ON_CHANGE runs (with the list as sender) when
// the list's images change, when another list is set, and when the list goes (the reference
// then reads nullptr). Not copyable; lives as a member of the component that refers.
class TImageListLink {
public:
  explicit TImageListLink(TNotifyEvent onChange) : onChange_(std::move(onChange)) {}
  ~TImageListLink();
  TImageListLink(const TImageListLink&) = delete;
  TImageListLink& operator=(const TImageListLink&) = delete;

  TImageList* Images() const { return list_; }
  void SetImages(TImageList* list);

private:
  friend class TImageList;
  void Notify(TObject* sender) const;

  TImageList* list_ = nullptr;
  TNotifyEvent onChange_;
};

// True when the comctl32 loaded in this process is version 6 or later.
bool CommonControlsV6();
