// The built-in skin bitmaps: one table row per BITMAP resource (name, size, depth, frame
// layout, what it pictures) and the painter that turns a row into a bitmap. The looks of
// the five styles are parameter sets (SkinLook) shared by all painters.
//
// Frame layouts (horizontal strips of equal-width frames, counted from 1):
//   BUTTON           3: normal, pointer over, pressed (nine-grid: half-frame corners)
//   CHECKBOX, RADIOBUTTON, CHECKLIST
//                    4: unchecked, unchecked pressed, checked, checked pressed
//   TITLEBTN        18: control box, help, maximise, restore, minimise, close; each
//                       normal, pointer over, pressed
//   SCROLLBAR_BUTTON 6: up arrow normal, over, pressed; down arrow normal, over, pressed
//   SCROLLBAR_TRACK  3: thumb start cap, middle, end cap (horizontal)
//   SCROLLBUTTON     4: left arrow normal, pressed; right arrow normal, pressed
//   TRACKBAR_BAR     3: left cap, middle, right cap (three-slice)
//   MDI_CONTROL_BUTTON 3: minimise, restore, close
//   DBNAV_BUTTON    10: first, prior, next, last, insert, delete, edit, post, cancel, refresh
// Magenta ($FF00FF) marks every transparent pixel; MENU_CHECKED keys on white instead.
#pragma once

#include <string>
#include <vector>

#include "framework/core/BmpCodec.h"

enum class ArtStyle { MacOS, WinXP, DeepBlue, Protein, BlueGlass, Shared };

enum class ArtElement {
  Button, CheckBox, RadioButton, TitleButtons, TitleLeft, TitleClient, TitleRight,
  ProgressBar, TrackBarBar, TrackBarSlider, TrackBarSliderV, ScrollBarButtons,
  ScrollBarThumb, CheckList, ScrollButtons, Tab, TabLine, SideChannelHandle,
  SideChannelBar, FormBackground, MenuBar, MenuSelect, MenuChecked, MdiButtons, NavButtons,
};

struct ArtResource {
  std::string name;
  ArtStyle style;
  ArtElement element;
  int width;
  int height;
  int bitsPerPixel;
  int frames;
};

// Every resource, in the order Skin.rc lists them.
const std::vector<ArtResource>& ArtResources();
const ArtResource* FindArtResource(const std::string& name);

// The finished bitmap of RESOURCE: its size, reduced to the colours its depth can hold,
// BitsPerPixel set to the resource's depth.
TBmpImage PaintArt(const ArtResource& resource);

// The resource script: one `NAME BITMAP "NAME.bmp"` line per resource, then the hand-written
// texts (SkinStrings.rc, next to it).
std::string ResourceScript();
