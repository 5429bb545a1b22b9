#include <gtest/gtest.h>

#include <vector>

#include "framework/ui/ExtCtrls.h"
#include "framework/ui/StdCtrls.h"
#include "tests/framework/ui/UiTestHelpers.h"

namespace {

struct TChildSpec {
  TAlign align;
  RECT start;  // left, top, right, bottom before aligning
  RECT expect;
};

struct TLayoutCase {
  const char* name;
  std::vector<TChildSpec> children;
};

// Parent client area: 200 x 100, no bevels.
const std::vector<TLayoutCase> kCases = {
    {"top then client", {{alTop, {0, 0, 50, 20}, {0, 0, 200, 20}}, {alClient, {5, 5, 10, 10}, {0, 20, 200, 100}}}},
    {"bottom keeps height", {{alBottom, {0, 0, 50, 30}, {0, 70, 200, 100}}}},
    {"left and right share the middle",
     {{alLeft, {0, 0, 40, 10}, {0, 0, 40, 100}},
      {alRight, {0, 0, 25, 10}, {175, 0, 200, 100}},
      {alClient, {0, 0, 1, 1}, {40, 0, 175, 100}}}},
    {"top bands before side bands",
     {{alLeft, {0, 0, 30, 5}, {0, 10, 30, 90}},
      {alTop, {0, 0, 5, 10}, {0, 0, 200, 10}},
      {alBottom, {0, 0, 5, 10}, {0, 90, 200, 100}}}},
    {"two tops in their vertical order",
     {{alTop, {0, 50, 10, 65}, {0, 10, 200, 25}}, {alTop, {0, 0, 10, 10}, {0, 0, 200, 10}}}},
    {"two bottoms, lowest nearest the edge",
     {{alBottom, {0, 10, 10, 30}, {0, 60, 200, 80}}, {alBottom, {0, 70, 10, 90}, {0, 80, 200, 100}}}},
    {"two lefts and two rights keep their order",
     {{alRight, {150, 0, 160, 1}, {180, 0, 190, 100}},
      {alLeft, {50, 0, 60, 1}, {10, 0, 20, 100}},
      {alRight, {190, 0, 200, 1}, {190, 0, 200, 100}},
      {alLeft, {0, 0, 10, 1}, {0, 0, 10, 100}}}},
    {"none stays put", {{alNone, {7, 8, 17, 28}, {7, 8, 17, 28}}, {alTop, {0, 0, 1, 12}, {0, 0, 200, 12}}}},
    {"client over nothing fills all", {{alClient, {3, 3, 4, 4}, {0, 0, 200, 100}}}},
    {"oversized sides clamp the client to empty",
     {{alLeft, {0, 0, 150, 1}, {0, 0, 150, 100}},
      {alRight, {0, 0, 80, 1}, {120, 0, 200, 100}},
      {alClient, {0, 0, 1, 1}, {150, 0, 150, 100}}}},
};

TPanel* BarePanel(int width, int height) {
  auto* panel = new TPanel(nullptr);
  panel->SetBevelOuter(bvNone);
  panel->SetBounds(0, 0, width, height);
  return panel;
}

TEST(AlignLayout, TableOfLayouts) {
  for (const TLayoutCase& c : kCases) {
    SCOPED_TRACE(c.name);
    TPanel* parent = BarePanel(200, 100);
    std::vector<TPanel*> kids;
    parent->DisableAlign();
    for (const TChildSpec& spec : c.children) {
      auto* kid = new TPanel(parent);
      kid->SetBoundsRect(spec.start);
      kid->SetAlign(spec.align);
      kid->SetParent(parent);
      kids.push_back(kid);
    }
    parent->EnableAlign();
    for (size_t i = 0; i < kids.size(); ++i) {
      const RECT got = kids[i]->BoundsRect();
      const RECT& want = c.children[i].expect;
      EXPECT_EQ(got.left, want.left) << "child " << i;
      EXPECT_EQ(got.top, want.top) << "child " << i;
      EXPECT_EQ(got.right, want.right) << "child " << i;
      EXPECT_EQ(got.bottom, want.bottom) << "child " << i;
    }
    delete parent;
  }
}

TEST(AlignLayout, FollowsParentResizeHiddenChildrenAndBevels) {
  TPanel* parent = BarePanel(200, 100);
  auto* top = new TPanel(parent);
  top->SetHeight(20);
  top->SetAlign(alTop);
  top->SetParent(parent);
  auto* client = new TPanel(parent);
  client->SetAlign(alClient);
  client->SetParent(parent);

  parent->SetBounds(0, 0, 300, 150);
  EXPECT_EQ(client->BoundsRect().right, 300);
  EXPECT_EQ(client->BoundsRect().bottom, 150);
  EXPECT_EQ(client->Top(), 20);

  top->Hide();  // hidden controls take no room
  EXPECT_EQ(client->Top(), 0);
  top->Show();
  EXPECT_EQ(client->Top(), 20);

  parent->SetBevelOuter(bvRaised);
  parent->SetBevelInner(bvLowered);
  parent->SetBevelWidth(2);  // 4 pixels of bevel on every side
  EXPECT_EQ(top->Left(), 4);
  EXPECT_EQ(top->Top(), 4);
  EXPECT_EQ(top->Width(), 292);
  EXPECT_EQ(client->Top(), 24);
  EXPECT_EQ(client->Height(), 150 - 24 - 4);
  delete parent;
}

TEST(AlignLayout, WindowedParentLaysOutOnRealResize) {
  uitest::TShownForm form(300, 200);
  auto* bottom = new TPanel(form.form);
  bottom->SetHeight(30);
  bottom->SetAlign(alBottom);
  bottom->SetParent(form.form);
  ASSERT_TRUE(bottom->HandleAllocated());
  // Windows sizes the form; WM_SIZE re-lays out the children.
  SetWindowPos(form->Handle(), nullptr, 0, 0, 250, 120, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(bottom->Top(), form->ClientHeight() - 30);
  EXPECT_EQ(bottom->Width(), form->ClientWidth());
  RECT r;
  GetWindowRect(bottom->Handle(), &r);
  EXPECT_EQ(r.right - r.left, form->ClientWidth());
}

TEST(AlignLayout, ConstraintsLimitBounds) {
  TPanel* panel = BarePanel(50, 50);
  panel->Constraints()->SetMinWidth(60);
  EXPECT_EQ(panel->Width(), 60);
  panel->Constraints()->SetMaxHeight(40);
  panel->SetHeight(90);
  EXPECT_EQ(panel->Height(), 40);
  delete panel;
}

// ---- anchors ----
struct TAnchorCase {
  const char* name;
  TAnchors anchors;
  RECT expect;  // after the parent grew from 200 x 100 to 260 x 140; the child was (150, 20, 190, 50)
};
const TAnchorCase kAnchorCases[] = {
    {"left top stays", {akLeft, akTop}, {150, 20, 190, 50}},
    {"right follows the right edge", {akTop, akRight}, {210, 20, 250, 50}},
    {"left and right stretch", {akLeft, akTop, akRight}, {150, 20, 250, 50}},
    {"bottom follows the bottom edge", {akLeft, akBottom}, {150, 60, 190, 90}},
    {"top and bottom stretch", {akLeft, akTop, akBottom}, {150, 20, 190, 90}},
    {"all four stretch both ways", {akLeft, akTop, akRight, akBottom}, {150, 20, 250, 90}},
    {"none keeps to the centre", {}, {180, 40, 220, 70}},
    {"right and bottom move both ways", {akRight, akBottom}, {210, 60, 250, 90}},
};

TEST(Anchors, TableOfAnchoredBounds) {
  for (const TAnchorCase& c : kAnchorCases) {
    const RECT r = AnchoredBounds(c.anchors, RECT{150, 20, 190, 50}, SIZE{200, 100}, SIZE{260, 140});
    EXPECT_EQ(r.left, c.expect.left) << c.name;
    EXPECT_EQ(r.top, c.expect.top) << c.name;
    EXPECT_EQ(r.right, c.expect.right) << c.name;
    EXPECT_EQ(r.bottom, c.expect.bottom) << c.name;
  }
}

TEST(Anchors, ChildrenFollowTheParentsResizeFromWherePlaced) {
  for (const TAnchorCase& c : kAnchorCases) {
    SCOPED_TRACE(c.name);
    TPanel* parent = BarePanel(200, 100);
    auto* kid = new TLabel(parent);
    kid->SetAutoSize(false);
    kid->SetBoundsRect({150, 20, 190, 50});
    kid->SetAnchors(c.anchors);
    kid->SetParent(parent);
    parent->SetBounds(0, 0, 230, 120);  // twice, through a size in between: no drift
    parent->SetBounds(0, 0, 260, 140);
    EXPECT_EQ(kid->BoundsRect().left, c.expect.left);
    EXPECT_EQ(kid->BoundsRect().bottom, c.expect.bottom);
    EXPECT_EQ(kid->BoundsRect().right, c.expect.right);
    parent->SetBounds(0, 0, 200, 100);
    EXPECT_EQ(kid->BoundsRect().left, 150);
    EXPECT_EQ(kid->BoundsRect().top, 20);
    delete parent;
  }
}

TEST(Anchors, WindowedChildFollowsARealResize) {
  uitest::TShownForm form(200, 100);
  auto* right = new TPanel(form.form);
  right->SetBounds(150, 20, 40, 30);
  right->SetAnchors({akTop, akRight, akBottom});
  right->SetParent(form.form);
  SetWindowPos(form->Handle(), nullptr, 0, 0, 260, 140, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(right->Left(), 210);
  EXPECT_EQ(right->Height(), 70);
  RECT r;
  GetWindowRect(right->Handle(), &r);
  MapWindowPoints(nullptr, form->Handle(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 210);
  EXPECT_EQ(r.bottom, 90);
  right->SetLeft(100);  // moved by the program: the new place is the one kept
  SetWindowPos(form->Handle(), nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(right->Left(), 40);
}

}  // namespace

namespace {

// A control that keeps a sibling at its right edge whenever it moves, as a memo keeps its bars.
class TFollowedPanel : public TPanel {
public:
  explicit TFollowedPanel(TComponent* owner) : TPanel(owner) {}
  TControl* follower = nullptr;
  void WndProc(TMessage& m) override {
    TPanel::WndProc(m);
    if (m.Msg == WM_MOVE && follower) follower->SetBounds(Left() + Width(), Top(), follower->Width(), follower->Height());
  }
};

}  // namespace

TEST(ScrollBy, MovesEveryControlOnceFromWhereItWas) {
  uitest::TShownForm form;
  auto* leader = uitest::Place<TFollowedPanel>(form.form, 10, 40, 50, 30);
  auto* follower = uitest::Place<TPanel>(form.form, 60, 40, 12, 30);
  auto* other = uitest::Place<TPanel>(form.form, 100, 100, 20, 20);
  leader->follower = follower;
  follower->BringToFront();  // moved after the leader: the leader has placed it by then
  uitest::Pump();
  form->ScrollBy(0, -17);
  EXPECT_EQ(leader->Top(), 23);
  EXPECT_EQ(follower->Top(), 23) << "beside the leader, not moved a second time";
  EXPECT_EQ(follower->Left(), 60);
  EXPECT_EQ(other->Top(), 83);
  form->ScrollBy(5, 17);
  EXPECT_EQ(leader->Left(), 15);
  EXPECT_EQ(follower->Left(), 65);
  EXPECT_EQ(follower->Top(), 40);
  RECT r;
  GetWindowRect(follower->Handle(), &r);
  MapWindowPoints(nullptr, form->Handle(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.top, 40) << "the window where the control says";
}
