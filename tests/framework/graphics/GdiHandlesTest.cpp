#include "framework/graphics/GdiHandles.h"

#include "tests/framework/graphics/GraphicsTestSupport.h"

#include <gtest/gtest.h>

TEST(GdiHandles, CountsAreOnInDebugBuilds) {
  // The windows preset builds Debug with VANTOR_HANDLE_COUNTS; the leak tests rely on it.
  EXPECT_TRUE(HandleCountsEnabled());
}

TEST(GdiHandles, OwnedHandleCountsAndFreesOnce) {
  const int before = LiveHandleCount(THandleKind::Pen);
  HPEN raw = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
  {
    TPenHandle pen(raw);
    EXPECT_EQ(LiveHandleCount(THandleKind::Pen), before + 1);
    TPenHandle moved(std::move(pen));
    EXPECT_FALSE(pen);
    EXPECT_EQ(moved.Get(), raw);
    EXPECT_EQ(LiveHandleCount(THandleKind::Pen), before + 1);
  }
  EXPECT_EQ(LiveHandleCount(THandleKind::Pen), before);
  // The object was deleted: GDI no longer knows it.
  EXPECT_EQ(GetObjectType(raw), 0u);
}

TEST(GdiHandles, MoveAssignmentFreesTheTargetsOldHandle) {
  const int before = LiveHandleCount(THandleKind::Brush);
  TBrushHandle a(CreateSolidBrush(RGB(1, 1, 1)));
  TBrushHandle b(CreateSolidBrush(RGB(2, 2, 2)));
  HBRUSH oldB = b.Get();
  b = std::move(a);
  EXPECT_EQ(GetObjectType(oldB), 0u);
  EXPECT_EQ(LiveHandleCount(THandleKind::Brush), before + 1);
  HBRUSH released = b.Release();
  EXPECT_EQ(LiveHandleCount(THandleKind::Brush), before);
  EXPECT_EQ(GetObjectType(released), static_cast<DWORD>(OBJ_BRUSH));
  DeleteObject(released);
}

TEST(GdiHandles, BorrowedHandleNeverFrees) {
  HGDIOBJ stock = GetStockObject(BLACK_PEN);
  const int before = LiveHandleCount(THandleKind::Pen);
  { TBorrowedHandle<HPEN> pen(static_cast<HPEN>(stock)); EXPECT_TRUE(pen); }
  EXPECT_EQ(LiveHandleCount(THandleKind::Pen), before);
  HPEN own = CreatePen(PS_SOLID, 1, 0);
  { TBorrowedHandle<HPEN> pen(own); }
  EXPECT_EQ(GetObjectType(own), static_cast<DWORD>(OBJ_PEN));
  DeleteObject(own);
}

TEST(GdiHandles, MemoryAndWindowDCsAreCountedAndReleased) {
  THandleBaseline baseline;
  {
    TMemoryDC memory(nullptr);
    ASSERT_TRUE(memory);
    TWindowDC screen(nullptr);
    ASSERT_NE(screen.Get(), nullptr);
    EXPECT_EQ(LiveHandleCount(THandleKind::DC), baseline.Count(THandleKind::DC) + 2);
  }
  baseline.ExpectUnchanged();
}

class GdiGuards : public ::testing::Test {
protected:
  TMemoryDC dc{nullptr};
};

TEST_F(GdiGuards, SelectObjectGuardPutsThePreviousObjectBack) {
  HGDIOBJ original = GetCurrentObject(dc.Get(), OBJ_PEN);
  TPenHandle pen(CreatePen(PS_SOLID, 1, RGB(9, 9, 9)));
  {
    TSelectObjectGuard guard(dc.Get(), pen.Get());
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_PEN), pen.Get());
  }
  EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_PEN), original);
}

TEST_F(GdiGuards, ColourAndModeGuardsRestore) {
  SetTextColor(dc.Get(), RGB(1, 2, 3));
  SetBkColor(dc.Get(), RGB(4, 5, 6));
  SetBkMode(dc.Get(), OPAQUE);
  SetStretchBltMode(dc.Get(), BLACKONWHITE);
  {
    TTextColorGuard text(dc.Get(), RGB(200, 0, 0));
    TBkColorGuard back(dc.Get(), RGB(0, 200, 0));
    TBkModeGuard mode(dc.Get(), TRANSPARENT);
    TStretchBltModeGuard stretch(dc.Get(), COLORONCOLOR);
    EXPECT_EQ(GetTextColor(dc.Get()), RGB(200, 0, 0));
    EXPECT_EQ(GetBkColor(dc.Get()), RGB(0, 200, 0));
    EXPECT_EQ(GetBkMode(dc.Get()), TRANSPARENT);
    EXPECT_EQ(GetStretchBltMode(dc.Get()), COLORONCOLOR);
  }
  EXPECT_EQ(GetTextColor(dc.Get()), RGB(1, 2, 3));
  EXPECT_EQ(GetBkColor(dc.Get()), RGB(4, 5, 6));
  EXPECT_EQ(GetBkMode(dc.Get()), OPAQUE);
  EXPECT_EQ(GetStretchBltMode(dc.Get()), BLACKONWHITE);
}

TEST_F(GdiGuards, ClipGuardRestoresNoClipAndAnExistingClip) {
  TBitmapHandle surface(CreateCompatibleBitmap(dc.Get(), 50, 50));
  TSelectObjectGuard select(dc.Get(), surface.Get());
  TRegionHandle probe(CreateRectRgn(0, 0, 0, 0));
  {
    TClipRegionGuard guard(dc.Get());
    IntersectClipRect(dc.Get(), 5, 5, 10, 10);
    EXPECT_EQ(GetClipRgn(dc.Get(), probe.Get()), 1);
  }
  EXPECT_EQ(GetClipRgn(dc.Get(), probe.Get()), 0);  // back to no clip region at all

  IntersectClipRect(dc.Get(), 0, 0, 20, 20);
  {
    TClipRegionGuard guard(dc.Get());
    IntersectClipRect(dc.Get(), 5, 5, 10, 10);
  }
  RECT box{};
  GetClipBox(dc.Get(), &box);
  EXPECT_EQ(box.right, 20);
  EXPECT_EQ(box.bottom, 20);
  SelectClipRgn(dc.Get(), nullptr);
}

TEST_F(GdiGuards, ViewportAndSaveDCGuardsRestore) {
  POINT p{};
  {
    TViewportOrgGuard viewport(dc.Get(), 7, 9);
    GetViewportOrgEx(dc.Get(), &p);
    EXPECT_EQ(p.x, 7);
    EXPECT_EQ(p.y, 9);
  }
  GetViewportOrgEx(dc.Get(), &p);
  EXPECT_EQ(p.x, 0);
  EXPECT_EQ(p.y, 0);
  SetTextColor(dc.Get(), RGB(10, 20, 30));
  {
    TSaveDCGuard save(dc.Get());
    SetTextColor(dc.Get(), RGB(90, 90, 90));
    SetViewportOrgEx(dc.Get(), 3, 3, nullptr);
  }
  EXPECT_EQ(GetTextColor(dc.Get()), RGB(10, 20, 30));
  GetViewportOrgEx(dc.Get(), &p);
  EXPECT_EQ(p.x, 0);
}
