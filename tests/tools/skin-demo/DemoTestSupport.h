// What the skin demo's tests share: the demo started as the program starts it (its Records
// reading a copy of the shipped sample table), its children found by caption, where children
// stand in their frame, live handle counts, and SQLite files made and read with the host's
// sqlite3 program.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"
#include "tools/skin-demo/DemoMain.h"

namespace demotest {

// The sample table beside the built demo, as shipped.
std::string BuiltRecordsFile();

// Each test starts from the demo's start-up (frame shown with its three children, About hidden),
// Records reading RecordsCopy, and frees every window afterwards.
class SkinDemo : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
  TDemoMainForm& Main() { return *DemoMainForm; }

  TempDir recordsDir;
  std::string RecordsCopy = recordsDir / "records.csv";
};

// Frees every window of a started demo, children first.
void FreeDemo();

// The MDI child captioned CAPTION, or nullptr.
TCustomForm* ChildCalled(const std::string& caption);
// The captions of the frame's children, top of the Z order first.
std::vector<std::string> ChildCaptions();
// The captions of the buttons on the frame's menu bar.
std::vector<std::string> BarCaptions();
// The captions of PARENT's items.
std::vector<std::string> ItemCaptions(TMenuItem* parent);
// CHILD made the active child, its messages handled.
void Activate(TCustomForm& child);
// A press and release of the pointer at SCREEN through real input, handled.
void ClickAt(POINT screen);
// A point of the screen where CHILD (or one of its controls) is what the pointer would hit.
POINT VisiblePointOf(TCustomForm& child);
// WINDOW's bounds in its parent's client coordinates.
RECT BoundsInParent(HWND window);
// Where a child of the frame stands, in its client.
struct TPlace {
  std::string caption;
  RECT r;
  friend bool operator==(const TPlace& a, const TPlace& b) { return a.caption == b.caption && EqualRect(&a.r, &b.r); }
  friend void PrintTo(const TPlace& p, std::ostream* os) {
    *os << p.caption << " (" << p.r.left << "," << p.r.top << ")-(" << p.r.right << "," << p.r.bottom << ")";
  }
};
// Where the frame's children stand, top of the Z order first.
std::vector<TPlace> ChildPlaces();
// Every child moved somewhere no arrangement puts it.
void Scramble();

// The live count of every handle kind the debug build counts.
std::vector<int> LiveHandleCounts();

}  // namespace demotest
