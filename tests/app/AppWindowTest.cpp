// The program's one taskbar entry, and minimising and restoring all of its windows at once.
#include <gtest/gtest.h>

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "app/Unit4.h"
#include "tests/app/AppTestHelpers.h"

namespace {

class AppWindow : public apptest::TVantorTest {
protected:
  static std::vector<HWND> Entries() { return apptest::TaskbarEntries(GetCurrentProcessId()); }
  static std::vector<TCustomForm*> Windows() { return {Form1, Form2, Form3, Form4}; }
};

TEST_F(AppWindow, TheTaskbarShowsOneEntryCarryingTheTitle) {
  const HWND application = Application->Handle();
  EXPECT_EQ(Entries(), std::vector<HWND>{application});
  EXPECT_EQ(apptest::WindowText(application), "Corvane Vantor");
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(application, WM_GETICON, ICON_BIG, 0)), Application->Icon()->Handle());
  EXPECT_NE(Application->Icon()->Handle(), nullptr);
  for (TCustomForm* form : Windows()) EXPECT_EQ(GetWindow(form->Handle(), GW_OWNER), application) << form->Caption();
  // The About and message windows on screen too: still the one entry.
  Form2->Show();
  Form3->Show();
  EXPECT_EQ(Entries(), std::vector<HWND>{application});
}

TEST_F(AppWindow, MinimisingTheMainWindowTakesEveryWindowAlongAndRestoringBringsBackThoseShown) {
  Form2->Show();  // About on screen, message and donation windows hidden
  const HWND application = Application->Handle();
  SendMessageA(Form1->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(IsIconic(application));
  for (TCustomForm* form : Windows()) EXPECT_FALSE(IsWindowVisible(form->Handle())) << form->Caption();
  EXPECT_EQ(Entries(), std::vector<HWND>{application});  // the entry stays, minimised

  // The taskbar restores the entry it shows.
  SendMessageA(application, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_FALSE(IsIconic(application));
  for (TCustomForm* form : Windows())
    EXPECT_EQ(IsWindowVisible(form->Handle()) != FALSE, form == Form1 || form == Form2) << form->Caption();
  EXPECT_EQ(Entries(), std::vector<HWND>{application});
}

}  // namespace
