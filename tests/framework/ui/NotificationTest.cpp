#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

#include "framework/ui/ExtCtrls.h"
#include "framework/ui/StdCtrls.h"
#include "tests/framework/ui/UiTestHelpers.h"

namespace {

// Records the LParam of every CM_FOCUSCHANGED that reaches each control.
class TFocusChangeLog {
public:
  void Watch(TControl* control) {
    auto hook = std::make_unique<TWindowProcHook>();
    TWindowProcHook* h = hook.get();
    h->Install(control, [this, control, h](TMessage& m) {
      if (m.Msg == CM_FOCUSCHANGED) seen[control].push_back(m.LParam);
      h->CallPrevious(m);
    });
    hooks_.push_back(std::move(hook));
  }
  std::map<TControl*, std::vector<LPARAM>> seen;

private:
  std::vector<std::unique_ptr<TWindowProcHook>> hooks_;
};

// form > outer panel > inner panel > {first, second, label}
struct TNestedForm {
  TNestedForm() {
    outer = new TPanel(form.form);
    outer->SetAlign(alClient);
    outer->SetParent(form.form);
    inner = new TPanel(form.form);
    inner->SetBounds(10, 10, 250, 150);
    inner->SetParent(outer);
    first = new TButton(form.form);
    first->SetBounds(10, 10, 80, 25);
    first->SetParent(inner);
    second = new TButton(form.form);
    second->SetBounds(100, 10, 80, 25);
    second->SetParent(inner);
    label = new TLabel(form.form);
    label->SetBounds(10, 60, 80, 20);
    label->SetParent(inner);
  }
  std::vector<TControl*> All() const { return {form.form, outer, inner, first, second, label}; }
  uitest::TShownForm form;
  TPanel* outer;
  TPanel* inner;
  TButton* first;
  TButton* second;
  TLabel* label;
};

TEST(FocusChangedNotification, ReachesEveryControlAtEveryDepthOnce) {
  TNestedForm f;
  f.first->SetFocus();
  uitest::Pump();
  TFocusChangeLog log;  // goes before the controls it hooks
  for (TControl* c : f.All()) log.Watch(c);

  f.second->SetFocus();
  uitest::Pump();
  EXPECT_EQ(f.form->ActiveControl(), f.second);
  const std::vector<LPARAM> once{reinterpret_cast<LPARAM>(f.second)};
  for (TControl* c : f.All()) EXPECT_EQ(log.seen[c], once) << c->ClassName();

  // Sent to the form from outside (a button whose Default changed does this), it spreads the same way.
  log.seen.clear();
  SendMessageA(f.form->Handle(), CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(f.first));
  const std::vector<LPARAM> first{reinterpret_cast<LPARAM>(f.first)};
  for (TControl* c : f.All()) EXPECT_EQ(log.seen[c], first) << c->ClassName();
}

TEST(FocusChangedNotification, AnAnswerDoesNotStopIt) {
  TNestedForm f;
  TFocusChangeLog log;
  TWindowProcHook answer(f.first, [&](TMessage& m) {
    answer.CallPrevious(m);
    if (m.Msg == CM_FOCUSCHANGED) m.Result = 1;  // as a dialog key's taker would
  });
  log.Watch(f.second);
  log.Watch(f.label);
  f.form->Perform(CM_FOCUSCHANGED, 0, 0);
  EXPECT_EQ(log.seen[f.second].size(), 1u);
  EXPECT_EQ(log.seen[f.label].size(), 1u);
}

TEST(ParentNotifications, ColourAndFontReachGrandchildren) {
  TPanel top(nullptr);
  auto* middle = new TPanel(&top);
  middle->SetParent(&top);
  middle->SetParentColor(true);
  auto* bottom = new TLabel(&top);
  bottom->SetParent(middle);
  bottom->SetParentColor(true);
  top.SetColor(clAqua);
  top.Font()->SetName("Courier New");
  EXPECT_EQ(bottom->Color(), clAqua);
  EXPECT_EQ(bottom->Font()->Name(), "Courier New");
}

}  // namespace
