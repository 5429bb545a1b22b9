// The message log of the windowing tests: it must tell how each message came (sent, taken from
// the queue, or handed over directly) and keep its parameters, or sequence tests built on it
// would pass for the wrong reasons.
#include <gtest/gtest.h>

#include <vector>

#include "framework/ui/StdCtrls.h"
#include "tests/framework/ui/UiTestHelpers.h"

namespace {

using uitest::TDelivery;
using uitest::TLoggedMessage;

constexpr UINT kAsk = WM_APP + 1;
constexpr UINT kPost = WM_APP + 2;

TEST(MessageLog, TellsSentPostedAndPerformedApart) {
  uitest::TShownForm form;
  HWND window = form->Handle();
  uitest::TMessageLog log(form.form, {kAsk});
  uitest::TMessageLog second(form.form, {kAsk});  // a log on top of another sees the same deliveries
  SendMessageA(window, kAsk, 1, 10);
  PostMessageA(window, kAsk, 2, 20);
  uitest::Pump();
  form->Perform(kAsk, 3, 30);
  const std::vector<TLoggedMessage> expected{
      {kAsk, 1, 10, TDelivery::Sent}, {kAsk, 2, 20, TDelivery::Posted}, {kAsk, 3, 30, TDelivery::Performed}};
  EXPECT_EQ(log.records, expected);
  EXPECT_EQ(second.records, expected);
  EXPECT_EQ(log.messages, (std::vector<UINT>{kAsk, kAsk, kAsk}));
  log.Clear();
  EXPECT_TRUE(log.records.empty() && log.messages.empty());
}

// A message sent while a queued one is handled is sent; an equal message performed while the
// sent one is handled is performed, not taken for the send it happens inside.
TEST(MessageLog, NestedDeliveriesKeepTheirOwnKind) {
  uitest::TShownForm form;
  HWND window = form->Handle();
  bool performed = false;
  TWindowProcHook handler;
  handler.Install(form.form, [&](TMessage& m) {
    if (m.Msg == kPost) SendMessageA(window, kAsk, 5, 50);
    if (m.Msg == kAsk && !performed) {
      performed = true;
      form->Perform(kAsk, 5, 50);
    }
    handler.CallPrevious(m);
  });
  uitest::TMessageLog log(form.form, {kAsk, kPost});  // above the handler: sees each message first
  PostMessageA(window, kPost, 4, 40);
  uitest::Pump();
  EXPECT_EQ(log.records, (std::vector<TLoggedMessage>{{kPost, 4, 40, TDelivery::Posted},
                                                      {kAsk, 5, 50, TDelivery::Sent},
                                                      {kAsk, 5, 50, TDelivery::Performed}}));
}

// A windowless control never has a message of its own: its parent hands over what concerns it,
// in the control's coordinates.
TEST(MessageLog, WindowlessControlIsHandedItsMessages) {
  uitest::TShownForm form;
  auto* label = uitest::Place<TLabel>(form.form, 20, 30, 60, 20);
  uitest::TMessageLog log(label, {WM_LBUTTONDOWN, WM_LBUTTONUP});
  SendMessageA(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(23, 34));
  SendMessageA(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(23, 34));
  const LPARAM inLabel = MAKELPARAM(3, 4);
  EXPECT_EQ(log.records, (std::vector<TLoggedMessage>{{WM_LBUTTONDOWN, MK_LBUTTON, inLabel, TDelivery::Performed},
                                                      {WM_LBUTTONUP, 0, inLabel, TDelivery::Performed}}));
}

}  // namespace
