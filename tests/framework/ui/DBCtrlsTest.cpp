// The data-aware controls in real windows: what they show as the set moves, and what typing,
// Return, Escape and leaving the edit do to the record.
#include "framework/ui/DBCtrls.h"

#include <gtest/gtest.h>

#include "framework/data/MemDataSet.h"
#include "framework/ui/Forms.h"
#include "tests/framework/ui/UiTestHelpers.h"

namespace {

using uitest::Pump;

class DBCtrlsTest : public testing::Test {
protected:
  void SetUp() override {
    set_ = new TMemDataSet(form_.form);
    set_->FieldDefs().Add("ID", ftInteger);
    set_->FieldDefs().Add("NAME", ftString, 20);
    set_->Open();
    for (auto [id, name] : {std::pair{1, "one"}, {2, "two"}, {3, "three"}}) {
      set_->Append();
      set_->FieldByName("ID")->SetAsInteger(id);
      set_->FieldByName("NAME")->SetAsString(name);
      set_->Post();
    }
    set_->First();
    source_ = new TDataSource(form_.form);
    source_->SetDataSet(set_);
    edit_ = uitest::Place<TDBEdit>(form_.form, 10, 10, 150, 24);
    edit_->SetDataSource(source_);
    edit_->SetDataField("NAME");
    other_ = uitest::Place<TDBEdit>(form_.form, 10, 40, 150, 24);
    other_->SetDataSource(source_);
    other_->SetDataField("ID");
    label_ = uitest::Place<TDBText>(form_.form, 10, 70, 150, 20);
    label_->SetDataSource(source_);
    label_->SetDataField("NAME");
    Pump();
  }

  // Focuses the name edit with the caret at the end, then types KEYS with the real keyboard.
  void TypeIntoName(const std::string& keys) {
    edit_->SetFocus();
    SendMessageA(edit_->Handle(), EM_SETSEL, 0x7FFF, 0x7FFF);
    for (char k : keys) uitest::PressKey(static_cast<WORD>(k));
    uitest::PumpUntil([&] { return edit_->Text().size() >= keys.size() || !edit_->Modified(); }, 2000);
    Pump();
  }
  // Pixels of CONTROL's client area on the screen that are darker than mid-grey, and whether
  // its right end shows COLOR.
  int DarkPixels(TWinControl* control) {
    control->Invalidate();
    UpdateWindow(control->Handle());
    Pump();
    RECT r;
    GetClientRect(control->Handle(), &r);
    HDC dc = GetDC(control->Handle());
    int dark = 0;
    for (int y = 0; y < r.bottom; ++y)
      for (int x = 0; x < r.right; ++x) {
        COLORREF c = GetPixel(dc, x, y);
        if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 128) ++dark;
      }
    ReleaseDC(control->Handle(), dc);
    return dark;
  }
  COLORREF RightEnd(TWinControl* control) {
    RECT r;
    GetClientRect(control->Handle(), &r);
    HDC dc = GetDC(control->Handle());
    COLORREF c = GetPixel(dc, r.right - 4, r.bottom / 2);
    ReleaseDC(control->Handle(), dc);
    return c;
  }
  std::string WindowText(TWinControl* control) {
    char text[256] = {};
    GetWindowTextA(control->Handle(), text, sizeof text);
    return text;
  }

  uitest::TShownForm form_{300, 120};
  TMemDataSet* set_ = nullptr;
  TDataSource* source_ = nullptr;
  TDBEdit* edit_ = nullptr;
  TDBEdit* other_ = nullptr;
  TDBText* label_ = nullptr;
};

TEST_F(DBCtrlsTest, TheControlsShowTheCurrentRecordAndFollowTheSet) {
  EXPECT_EQ(WindowText(edit_), "one");
  EXPECT_GT(DarkPixels(edit_), 10) << "the value is drawn";
  EXPECT_EQ(RightEnd(edit_), GetSysColor(COLOR_WINDOW)) << "on the window colour of an edit";
  EXPECT_EQ(WindowText(other_), "1");
  EXPECT_EQ(label_->Caption(), "one");
  set_->Next();
  EXPECT_EQ(WindowText(edit_), "two");
  EXPECT_EQ(label_->Caption(), "two");
  set_->Close();
  EXPECT_EQ(WindowText(edit_), "");
  EXPECT_EQ(DarkPixels(edit_), 0);
  EXPECT_EQ(edit_->Field(), nullptr);
  EXPECT_EQ(label_->Caption(), "");
  set_->Open();
  EXPECT_EQ(WindowText(edit_), "one");
  label_->SetDataField("ID");
  EXPECT_EQ(label_->Caption(), "1");
  source_->SetEnabled(false);
  EXPECT_EQ(WindowText(edit_), "");
}

TEST_F(DBCtrlsTest, TypingEditsTheSetAndLeavingTheEditWritesTheField) {
  TypeIntoName("XY");
  EXPECT_EQ(set_->State(), dsEdit);
  EXPECT_EQ(WindowText(edit_), "onexy");
  EXPECT_TRUE(edit_->Modified());
  EXPECT_EQ(set_->FieldByName("NAME")->AsString(), "one") << "nothing is written while typing";
  other_->SetFocus();
  Pump();
  EXPECT_EQ(set_->FieldByName("NAME")->AsString(), "onexy");
  EXPECT_EQ(label_->Caption(), "onexy") << "the other controls on the field follow";
  EXPECT_FALSE(edit_->Modified());
  set_->Post();
  EXPECT_EQ(set_->Rows()[0][1], TFieldValue(std::string("onexy")));
}

// The windows hold ANSI text (code page 1252 here), the fields UTF-8: a value shows as its
// characters, not its bytes, and what is typed goes back as UTF-8.
TEST_F(DBCtrlsTest, UTF8ValuesShowAsTheirCharactersAndTypedTextGoesBackAsUTF8) {
  set_->Edit();
  set_->FieldByName("NAME")->SetAsString("Z\xC3\xBCrich");
  set_->Post();
  wchar_t shown[32] = {};
  GetWindowTextW(edit_->Handle(), shown, 32);
  EXPECT_EQ(std::wstring(shown), L"Z\u00FCrich");
  EXPECT_EQ(label_->Caption(), "Z\xFCrich") << "the label's caption is ANSI text too";
  TypeIntoName("X");
  other_->SetFocus();
  Pump();
  EXPECT_EQ(set_->FieldByName("NAME")->AsString(), "Z\xC3\xBCrichx");
}

TEST_F(DBCtrlsTest, ReturnWritesTheFieldAndEscapePutsItsValueBack) {
  TypeIntoName("A");
  uitest::PressKey(VK_RETURN);
  Pump();
  EXPECT_EQ(set_->FieldByName("NAME")->AsString(), "onea");
  EXPECT_EQ(set_->State(), dsEdit);
  TypeIntoName("B");
  EXPECT_EQ(WindowText(edit_), "oneab");
  uitest::PressKey(VK_ESCAPE);
  Pump();
  EXPECT_EQ(WindowText(edit_), "onea");
  EXPECT_FALSE(edit_->Modified());
  set_->Cancel();
  EXPECT_EQ(WindowText(edit_), "one");
}

TEST_F(DBCtrlsTest, APostFromElsewhereTakesWhatWasTypedAndABadValueKeepsTheEdit) {
  TypeIntoName("Z");
  set_->Post();  // a navigator's Post, say, while the edit still has the focus
  EXPECT_EQ(set_->State(), dsBrowse);
  EXPECT_EQ(set_->FieldByName("NAME")->AsString(), "onez");

  other_->SetFocus();
  SendMessageA(other_->Handle(), EM_SETSEL, 0, -1);
  uitest::PressKey('Q');
  Pump();
  EXPECT_EQ(WindowText(other_), "q");
  EXPECT_THROW(set_->Post(), EDatabaseError);
  EXPECT_EQ(set_->State(), dsEdit) << "the record stays in edit mode";
  EXPECT_EQ(WindowText(other_), "q") << "what was typed stays for correcting";
  set_->Cancel();
  EXPECT_EQ(WindowText(other_), "1");
}

TEST_F(DBCtrlsTest, ASetOrControlThatCannotEditRefusesTyping) {
  set_->SetReadOnly(true);
  TypeIntoName("K");
  EXPECT_EQ(WindowText(edit_), "one");
  EXPECT_EQ(set_->State(), dsBrowse);
  set_->SetReadOnly(false);
  edit_->SetReadOnly(true);
  TypeIntoName("K");
  EXPECT_EQ(WindowText(edit_), "one");
  EXPECT_EQ(set_->State(), dsBrowse);
  edit_->SetReadOnly(false);
  source_->SetAutoEdit(false);
  TypeIntoName("K");
  EXPECT_EQ(WindowText(edit_), "one");
  set_->Edit();
  TypeIntoName("K");
  EXPECT_EQ(WindowText(edit_), "onek") << "an edit the program started can be typed into";
}

TEST_F(DBCtrlsTest, ControlsLetGoOfASourceThatGoes) {
  delete source_;
  EXPECT_EQ(edit_->DataSource(), nullptr);
  EXPECT_EQ(label_->DataSource(), nullptr);
  EXPECT_EQ(WindowText(edit_), "");
  EXPECT_EQ(label_->Caption(), "");
  set_->Next();  // nothing follows any more, nothing breaks
  TypeIntoName("K");
  EXPECT_EQ(WindowText(edit_), "");
}

}  // namespace
