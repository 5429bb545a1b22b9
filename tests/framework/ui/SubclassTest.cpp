// Subclassing system windows for real under Wine: an EDIT control's messages reach the handler,
// a second subclass above it, removal in either order, the window destroyed while subclassed and
// the subclass's object freed first, even from inside its own message.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/ui/Forms.h"
#include "framework/ui/Subclass.h"
#include "tests/framework/ui/UiTestHelpers.h"

namespace {

constexpr UINT kProbe = WM_APP + 11;

// A plain system EDIT control, top-level and hidden: nothing of ours below the subclasses.
struct TEditWindow {
  HWND window = CreateWindowExA(0, "EDIT", "text", WS_POPUP, 0, 0, 80, 20, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  ~TEditWindow() {
    if (IsWindow(window)) DestroyWindow(window);
  }
  std::string Text() const {
    char text[64] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
  }
};

// A subclass that logs NAME for kProbe (answering ANSWER instead of passing it on when given
// one) and passes everything else on.
struct TLoggingSubclass {
  TWindowSubclass subclass;
  TLoggingSubclass(HWND window, std::vector<std::string>& log, const std::string& name, LRESULT answer = 0) {
    subclass.Install(window, [this, &log, name, answer](TMessage& m) {
      if (m.Msg == kProbe) {
        log.push_back(name);
        if (answer) {
          m.Result = answer;
          return;
        }
      }
      subclass.CallPrevious(m);
    });
  }
};

}  // namespace

TEST(WindowSubclass, MessagesReachTheHandlerAndPassOnToTheSystemControl) {
  TEditWindow edit;
  std::vector<std::string> log;
  TWindowSubclass sub;
  ASSERT_TRUE(sub.Install(edit.window, [&](TMessage& m) {
    if (m.Msg == WM_SETTEXT) log.push_back("settext");
    if (m.Msg == kProbe) {
      m.Result = 7;
      return;  // answered: the EDIT never sees it
    }
    sub.CallPrevious(m);
  }));
  EXPECT_TRUE(sub.Installed());
  EXPECT_EQ(sub.Window(), edit.window);
  SetWindowTextA(edit.window, "changed");
  EXPECT_EQ(log, std::vector<std::string>{"settext"});
  EXPECT_EQ(edit.Text(), "changed");  // passed on: the control stored it
  EXPECT_EQ(SendMessageA(edit.window, kProbe, 0, 0), 7);
  // A message the handler swallows does not reach the control.
  log.clear();
  TWindowSubclass swallow;
  swallow.Install(edit.window, [&swallow](TMessage& m) {
    if (m.Msg == WM_SETTEXT)
      m.Result = TRUE;
    else
      swallow.CallPrevious(m);
  });
  SetWindowTextA(edit.window, "dropped");
  EXPECT_EQ(log, std::vector<std::string>{});
  EXPECT_EQ(edit.Text(), "changed");
}

TEST(WindowSubclass, AnotherSubclassAboveAndRemovalInEitherOrder) {
  struct Row {
    bool lowerGoesFirst;
  };
  for (const Row row : {Row{true}, Row{false}}) {
    SCOPED_TRACE(row.lowerGoesFirst);
    TEditWindow edit;
    std::vector<std::string> log;
    auto lower = std::make_unique<TLoggingSubclass>(edit.window, log, "lower");
    auto upper = std::make_unique<TLoggingSubclass>(edit.window, log, "upper");
    SendMessageA(edit.window, kProbe, 0, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"upper", "lower"}));

    log.clear();
    std::unique_ptr<TLoggingSubclass>& first = row.lowerGoesFirst ? lower : upper;
    const std::string remaining = row.lowerGoesFirst ? "upper" : "lower";
    first.reset();
    SendMessageA(edit.window, kProbe, 0, 0);
    EXPECT_EQ(log, std::vector<std::string>{remaining});  // the other one still chained, alone
    SetWindowTextA(edit.window, "still an edit");
    EXPECT_EQ(edit.Text(), "still an edit");

    log.clear();
    lower.reset();
    upper.reset();
    SendMessageA(edit.window, kProbe, 0, 0);
    EXPECT_EQ(log, std::vector<std::string>{});
    SetWindowTextA(edit.window, "plain again");
    EXPECT_EQ(edit.Text(), "plain again");
  }
}

// A procedure swapped in the old way (GWLP_WNDPROC) above ours keeps working when ours goes.
TEST(WindowSubclass, AProcedureSwappedInAboveStaysChainedWhenTheSubclassGoes) {
  TEditWindow edit;
  std::vector<std::string> log;
  auto ours = std::make_unique<TLoggingSubclass>(edit.window, log, "ours");
  static WNDPROC below = nullptr;
  static std::vector<std::string>* swappedLog = nullptr;
  swappedLog = &log;
  below = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
      edit.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND w, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
        if (msg == kProbe) swappedLog->push_back("swapped");
        return CallWindowProcA(below, w, msg, wp, lp);
      })));
  SendMessageA(edit.window, kProbe, 0, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"swapped", "ours"}));
  log.clear();
  ours.reset();
  SendMessageA(edit.window, kProbe, 0, 0);
  EXPECT_EQ(log, std::vector<std::string>{"swapped"});
  SetWindowTextA(edit.window, "works");
  EXPECT_EQ(edit.Text(), "works");
  // The swapped procedure put back, the window is a plain EDIT again; and it goes cleanly.
  SetWindowLongPtrA(edit.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(below));
  log.clear();
  SendMessageA(edit.window, kProbe, 0, 0);
  EXPECT_EQ(log, std::vector<std::string>{});
  SetWindowTextA(edit.window, "plain");
  EXPECT_EQ(edit.Text(), "plain");
}

TEST(WindowSubclass, DestroyingTheWindowFirstEndsTheSubclass) {
  TEditWindow edit;
  std::vector<UINT> seen;
  int destroyed = 0;
  TWindowSubclass sub;
  sub.Install(
      edit.window,
      [&](TMessage& m) {
        seen.push_back(m.Msg);
        sub.CallPrevious(m);
      },
      [&] { ++destroyed; });
  DestroyWindow(edit.window);
  EXPECT_EQ(destroyed, 1);
  EXPECT_FALSE(sub.Installed());
  EXPECT_EQ(sub.Window(), nullptr);
  EXPECT_NE(std::find(seen.begin(), seen.end(), static_cast<UINT>(WM_DESTROY)), seen.end());
  EXPECT_EQ(std::find(seen.begin(), seen.end(), static_cast<UINT>(WM_NCDESTROY)), seen.end());  // passed on, not handled
  sub.Remove();  // nothing left to remove; no window is touched
  EXPECT_EQ(destroyed, 1);
}

// The owner of the subclass goes first; the window goes on without calling into it, also when
// the owner is freed by one of its own messages.
TEST(WindowSubclass, TheOwnerFreedFirstIsNeverCalledAgain) {
  struct TOwner {
    int calls = 0;
    TWindowSubclass sub;
    explicit TOwner(HWND window) {
      sub.Install(window, [this](TMessage& m) {
        ++calls;
        sub.CallPrevious(m);
      });
    }
  };
  TEditWindow edit;
  auto owner = std::make_unique<TOwner>(edit.window);
  SendMessageA(edit.window, kProbe, 0, 0);
  EXPECT_EQ(owner->calls, 1);
  owner.reset();
  SendMessageA(edit.window, kProbe, 0, 0);  // would touch freed memory if still subclassed
  SetWindowTextA(edit.window, "after");
  EXPECT_EQ(edit.Text(), "after");

  // Freed inside its own handler: the rest of that message and every later one go past it.
  std::vector<std::string> log;
  TLoggingSubclass under(edit.window, log, "under");
  auto* selfFreeing = new TWindowSubclass;
  selfFreeing->Install(edit.window, [&selfFreeing, &log](TMessage& m) {
    if (m.Msg != kProbe) return selfFreeing->CallPrevious(m);
    log.push_back("freed");
    delete selfFreeing;
    selfFreeing = nullptr;
    m.Result = 5;
  });
  EXPECT_EQ(SendMessageA(edit.window, kProbe, 0, 0), 5);
  EXPECT_EQ(selfFreeing, nullptr);
  SendMessageA(edit.window, kProbe, 0, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"freed", "under"}));
}

TEST(WindowSubclass, NoWindowNoSubclass) {
  TWindowSubclass sub;
  EXPECT_FALSE(sub.Install(nullptr, [](TMessage&) {}));
  EXPECT_FALSE(sub.Installed());
  TEditWindow edit;
  const HWND gone = edit.window;
  DestroyWindow(gone);
  EXPECT_FALSE(sub.Install(gone, [](TMessage&) {}));
  EXPECT_FALSE(sub.Installed());
}

// An exception thrown by the handler goes to the error report, not through the system's code.
TEST(WindowSubclass, AnExceptionStaysInsideTheHandler) {
  TEditWindow edit;
  std::vector<std::string> reports;
  Application->SetOnException([&](TObject*, const std::exception& e) { reports.push_back(e.what()); });
  TWindowSubclass sub(edit.window, [](TMessage& m) {
    if (m.Msg == kProbe) throw std::runtime_error("handler failed");
  });
  EXPECT_EQ(SendMessageA(edit.window, kProbe, 0, 0), 0);
  Application->SetOnException(nullptr);
  EXPECT_EQ(reports, std::vector<std::string>{"handler failed"});
}
