// Title-bar buttons and sections: pictures cut from the title-button strip, the
// refusals, the control box menu reference, copies and the buttons' window actions.
#include <gtest/gtest.h>

#include <memory>

#include "framework/core/BmpCodec.h"
#include "framework/core/FormReader.h"
#include "skin/KYRClasses.h"
#include "skin/KYRPublic.h"
#include "skin/frame/KYRTitleBar.h"
#include "tests/framework/ui/UiTestHelpers.h"
#include "tests/skin/KYRThemeFileTestSupport.h"

namespace {

// Frame INDEX of 18 of STYLE's built-in title-button strip.
void StripFrame(TkyrUIStyle style, int index, TBitmap& frame) {
  TBitmap strip;
  LoadBuiltinThemeBitmap(style, KYR_THEME_TITLE_BAR_BUTTON_IMAGE, &strip);
  ExtractBitmapFrame(strip, frame, 18, index);
}

::testing::AssertionResult SamePixels(TBitmap& actual, TBitmap& expected) {
  if (actual.Width() != expected.Width() || actual.Height() != expected.Height())
    return ::testing::AssertionFailure() << actual.Width() << "x" << actual.Height() << " instead of "
                                         << expected.Width() << "x" << expected.Height();
  for (int y = 0; y < actual.Height(); ++y)
    for (int x = 0; x < actual.Width(); ++x)
      if (actual.ScanLine(y)[x] != expected.ScanLine(y)[x]) return ::testing::AssertionFailure() << "pixel " << x << "," << y;
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult ShowsFrames(const TkyrTitleBarButton& button, TkyrUIStyle style, int first) {
  TPicture* pictures[] = {button.PicNormal(), button.PicMouseOn(), button.PicMouseDown()};
  for (int i = 0; i < 3; ++i) {
    TBitmap frame;
    StripFrame(style, first + i, frame);
    if (auto result = SamePixels(pictures[i]->Bitmap(), frame); !result) return result << " (frame " << first + i << ")";
  }
  return ::testing::AssertionSuccess();
}

int FrameSize(TkyrUIStyle style) { return style == MacOS ? 17 : style == WinXP ? 21 : 19; }

constexpr TkyrUIStyle kBuiltinStyles[] = {MacOS, WinXP, DeepBlue, Protein, BlueGlass};

// A strip of 18 frames of 2 x 2 pixels, frame N (from 1) coloured 0x0000NN.
Bytes NumberedStrip() {
  TBmpImage strip = MakeBmpImage(36, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 36; ++x) strip.Pixel(x, y) = static_cast<uint32_t>(x / 2 + 1);
  return EncodeBmp(strip, 24);
}

}  // namespace

// ---- pictures ----
TEST(TitleBarButtons, EachTypeShowsTheThreeFramesOfItsSetInEveryStyle) {
  struct Row {
    TkyrTitleBarBtnType type;
    int first;
  };
  const Row rows[] = {{kyrControlBox, 1}, {kyrHelp, 4}, {kyrMax, 7}, {kyrMin, 13}, {kyrClose, 16}};
  TkyrTitleBarButtons buttons(nullptr);  // no bar: no form, so a maximise button looks "maximise"
  for (TkyrUIStyle style : kBuiltinStyles) {
    for (const Row& row : rows) {
      SCOPED_TRACE(::testing::Message() << "style " << int(style) << " type " << int(row.type));
      auto* button = buttons.Add();
      button->SetUIStyle(style);
      button->SetButtonType(row.type);
      EXPECT_EQ(button->PicNormal()->Width(), FrameSize(style));
      EXPECT_EQ(button->PicNormal()->Height(), FrameSize(style));
      EXPECT_TRUE(ShowsFrames(*button, style, row.first));
      EXPECT_EQ(button->Transparent(), GetBuiltinBool(style, KYR_THEME_TITLE_BAR_BUTTON_TRANSPARENT_BOOL));
      EXPECT_EQ(button->Top(), GetBuiltinInt(style, KYR_THEME_TITLE_BAR_BUTTON_TOP_INT));
      delete button;  // one control box per collection
    }
  }
}

TEST(TitleBarButtons, StyleAndTypeReplaceUserPicturesExceptOnCustomButtons) {
  TkyrTitleBarButtons buttons(nullptr);
  TPicture mine;
  mine.Bitmap().SetSize(5, 3);
  auto* custom = buttons.Add();
  EXPECT_EQ(custom->ButtonType(), kyrCustom);
  EXPECT_EQ(custom->Top(), 2);
  custom->SetPicNormal(mine);
  custom->SetTop(9);
  custom->SetUIStyle(BlueGlass);
  EXPECT_EQ(custom->PicNormal()->Width(), 5);
  EXPECT_EQ(custom->Top(), 9);
  EXPECT_TRUE(custom->Transparent());  // Transparent follows the style for every type

  auto* close = buttons.Add();
  close->SetButtonType(kyrClose);
  close->SetPicNormal(mine);
  close->SetUIStyle(WinXP);
  EXPECT_TRUE(ShowsFrames(*close, WinXP, 16));
  close->SetPicNormal(mine);
  close->SetButtonType(kyrClose);
  EXPECT_TRUE(ShowsFrames(*close, WinXP, 16));
}

TEST(TitleBarButtons, MaximiseButtonShowsRestoreWhileItsFormIsMaximised) {
  TForm form(nullptr);  // hidden: the window state is only stored
  auto* bar = new TkyrTitleBar(&form);
  TkyrTitleBarButton* max = bar->Buttons()->Items(2);
  ASSERT_EQ(max->ButtonType(), kyrMax);
  EXPECT_TRUE(ShowsFrames(*max, DeepBlue, 7));  // before it has a parent: the maximise look
  bar->SetParent(&form);
  form.SetWindowState(wsMaximized);
  bar->UpdateMaxButtons();
  EXPECT_TRUE(ShowsFrames(*max, DeepBlue, 10));
  form.SetWindowState(wsNormal);
  bar->UpdateMaxButtons();
  EXPECT_TRUE(ShowsFrames(*max, DeepBlue, 7));
  bar->SetCustom(true);
  form.SetWindowState(wsMaximized);
  bar->UpdateMaxButtons();
  EXPECT_TRUE(ShowsFrames(*max, DeepBlue, 7));
}

// Cut in the order (frame, 18), the theme file would be asked for frame 18 of 7 and give
// nothing. The file's strip numbers its frames, so each picture names the frame it came from.
TEST(TitleBarButtons, ThemeFilePicturesAreCutFrameCountFirst) {
  TempDir dir;
  WriteFileBytes(dir / "buttons.thm", ThemeFileBytes()
                                          .Image("TitleBarButtonImage", NumberedStrip())
                                          .Bool("TitleBarButtonTransparentBool", 1)
                                          .Int("TitleBarButtonTopInt", 7)
                                          .Build());
  WriteFileBytes(dir / "empty.thm", ThemeFileBytes().Int("FormMinWidthInt", 100).Build());
  TComponent elsewhere(nullptr);
  auto* theme = new TkyrFileTheme(&elsewhere);
  theme->SetThemeFile(dir / "buttons.thm");
  TkyrTitleBar bar(nullptr);
  bar.SetUIStyle(FromThemeFile);
  bar.SetFileTheme(theme);
  struct Row {
    int index;
    int first;
  };
  for (const Row& row : {Row{0, 1}, Row{1, 16}, Row{2, 7}, Row{3, 13}}) {
    const TkyrTitleBarButton* button = bar.Buttons()->Items(row.index);
    EXPECT_EQ(button->UIStyle(), FromThemeFile);
    EXPECT_EQ(button->PicNormal()->Bitmap().Canvas().Pixel(0, 0), row.first << 16) << row.index;
    EXPECT_EQ(button->PicMouseOn()->Bitmap().Canvas().Pixel(1, 1), (row.first + 1) << 16) << row.index;
    EXPECT_EQ(button->PicMouseDown()->Bitmap().Canvas().Pixel(0, 1), (row.first + 2) << 16) << row.index;
    EXPECT_TRUE(button->Transparent());
    EXPECT_EQ(button->Top(), 7);
  }
  theme->SetThemeFile(dir / "empty.thm");  // no strip: empty pictures, a button of no size
  bar.SetFileTheme(theme);                  // (the theme tells only the components of its own form)
  EXPECT_TRUE(bar.Buttons()->Items(1)->PicNormal()->Empty());
  delete theme;
  EXPECT_EQ(bar.FileTheme(), nullptr);
  EXPECT_EQ(bar.Buttons()->Items(1)->UIStyle(), DeepBlue);
  EXPECT_TRUE(ShowsFrames(*bar.Buttons()->Items(1), DeepBlue, 16));
}

// ---- refusals ----
TEST(TitleBarButtons, SecondControlBoxAndSecondClientSectionAreRefusedAndChangeNothing) {
  TkyrTitleBar bar(nullptr);
  TkyrTitleBarButtons* buttons = bar.Buttons();
  TkyrTitleBarSections* sections = bar.Sections();
  ASSERT_EQ(sections->Count(), 3);
  struct Row {
    const char* what;
    std::function<void()> set;
    std::function<bool()> unchanged;
    const char* text;
  };
  const char* kButton = "Sorry, only one button's ButtonType property can be \"kyrControlBox\"";
  const char* kSection = "Sorry, only one section's Align property can be \"kyrClient\"";
  const Row rows[] = {
      {"another button", [&] { buttons->Items(1)->SetButtonType(kyrControlBox); },
       [&] { return buttons->Items(1)->ButtonType() == kyrClose; }, kButton},
      {"the control box itself", [&] { buttons->Items(0)->SetButtonType(kyrControlBox); },
       [&] { return buttons->Items(0)->ButtonType() == kyrControlBox; }, kButton},
      {"another section", [&] { sections->Items(0)->SetAlign(kyrClient); },
       [&] { return sections->Items(0)->Align() == kyrLeft && !sections->Items(0)->Stretch(); }, kSection},
      {"the client section again", [&] { sections->Items(2)->SetAlign(kyrClient); },
       [&] { return sections->Items(2)->Align() == kyrClient; }, kSection},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    uitest::TMessageBoxRecorder boxes;
    row.set();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, row.text);
    EXPECT_EQ(boxes.boxes[0].flags, UINT{MB_OK | MB_ICONINFORMATION});
    EXPECT_TRUE(row.unchanged());
  }
}

// A refused value in a stored description: the box is shown, and the description still loads to
// its end, even when showing the box fails.
TEST(TitleBarButtons, RefusalWhileLoadingNeverStopsTheLoading) {
  RegisterSkinClasses();
  const char* text =
      "object Form: TForm\n"
      "  object Bar: TkyrTitleBar\n"
      "    Buttons = <\n"
      "      item ButtonType = kyrControlBox end\n"
      "      item ButtonType = kyrControlBox Visible = False end>\n"
      "    Caption = 'After'\n"
      "  end\n"
      "end\n";
  for (bool boxFails : {false, true}) {
    SCOPED_TRACE(boxFails);
    std::vector<std::string> shown;
    const TMessageBoxHook previous = SetMessageBoxHook([&](HWND, const std::string& t, const std::string&, UINT flags) {
      shown.push_back(t);
      if (boxFails && (flags & MB_ICONINFORMATION)) throw Exception("no box today");
      return IDOK;
    });
    TForm form(nullptr);
    EXPECT_NO_THROW(ReadComponentText(text, form));
    SetMessageBoxHook(previous);
    auto* bar = dynamic_cast<TkyrTitleBar*>(form.FindComponent("Bar"));
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->Buttons()->Count(), 2);
    EXPECT_EQ(bar->Buttons()->Items(1)->ButtonType(), kyrCustom);
    EXPECT_FALSE(bar->Buttons()->Items(1)->Visible());
    EXPECT_EQ(bar->Caption(), "After");
    EXPECT_FALSE(bar->InState(csLoading));
    ASSERT_EQ(shown.size(), boxFails ? 2u : 1u);  // the failure is reported, not thrown
    EXPECT_EQ(shown[0], "Sorry, only one button's ButtonType property can be \"kyrControlBox\"");
  }
}

// ---- sections ----
TEST(TitleBarSections, AutoSizeAlignAndStretch) {
  TkyrTitleBarSections sections(nullptr);
  auto* section = sections.Add();
  EXPECT_EQ(section->Width(), 10);
  TPicture picture;
  picture.Bitmap().SetSize(33, 4);
  section->SetPicture(picture);
  EXPECT_EQ(section->Width(), 10);  // AutoSize off
  section->SetAutoSize(false);      // ... still takes the picture's width
  EXPECT_EQ(section->Width(), 33);
  section->SetWidth(50);
  section->SetAutoSize(true);
  picture.Bitmap().SetSize(12, 4);
  section->SetPicture(picture);
  EXPECT_EQ(section->Width(), 12);
  section->Picture()->Bitmap().SetSize(20, 4);  // in place, as a stored Picture.Data
  EXPECT_EQ(section->Width(), 20);

  section->SetStretch(false);
  EXPECT_FALSE(section->Stretch());
  section->SetAlign(kyrClient);
  EXPECT_TRUE(section->Stretch());
  section->SetStretch(false);
  EXPECT_TRUE(section->Stretch());
  section->SetAlign(kyrRight);
  section->SetStretch(false);
  EXPECT_FALSE(section->Stretch());
}

// ---- references and copies ----
// The bar holds the buttons' menu references (the buttons are no components).
TEST(TitleBarButtons, ControlBoxMenuOnAnotherFormIsForgottenWhenFreed) {
  TComponent otherForm(nullptr);
  auto* menu = new TPopupMenu(&otherForm);
  TkyrTitleBar bar(nullptr);
  auto* first = bar.Buttons()->Add();
  auto* second = bar.Buttons()->Add();
  first->SetControlBoxMenu(menu);
  second->SetControlBoxMenu(menu);
  EXPECT_EQ(first->ControlBoxMenu(), menu);
  delete second;  // a button that goes stops watching; the other still does
  delete menu;
  EXPECT_EQ(first->ControlBoxMenu(), nullptr);

  // A bar freed before the menu leaves the menu nothing to tell.
  auto* later = new TPopupMenu(&otherForm);
  {
    TkyrTitleBar shortLived(nullptr);
    shortLived.Buttons()->Items(0)->SetControlBoxMenu(later);
  }
  delete later;

  // A button of no bar could never open it: the value is dropped.
  TkyrTitleBarButtons loose(nullptr);
  auto* third = new TPopupMenu(&otherForm);
  loose.Add()->SetControlBoxMenu(third);
  EXPECT_EQ(loose.Items(0)->ControlBoxMenu(), nullptr);
}

TEST(TitleBarButtons, CopiesEqualTheirSource) {
  TComponent owner(nullptr);
  auto* menu = new TPopupMenu(&owner);
  TkyrTitleBar from(nullptr), to(nullptr);
  TkyrTitleBarButton* custom = from.Buttons()->Add();
  custom->SetUIStyle(WinXP);
  custom->SetTransparent(true);
  custom->SetTop(11);
  custom->SetVisible(false);
  TPicture mine;
  mine.Bitmap().SetSize(6, 6);
  custom->SetPicMouseDown(mine);
  from.Buttons()->Items(0)->SetControlBoxMenu(menu);
  to.SetButtons(*from.Buttons());
  ASSERT_EQ(to.Buttons()->Count(), 5);
  for (int i = 0; i < 5; ++i) {
    const TkyrTitleBarButton* a = from.Buttons()->Items(i);
    const TkyrTitleBarButton* b = to.Buttons()->Items(i);
    SCOPED_TRACE(i);
    EXPECT_EQ(b->ButtonType(), a->ButtonType());
    EXPECT_EQ(b->UIStyle(), a->UIStyle());
    EXPECT_EQ(b->Transparent(), a->Transparent());
    EXPECT_EQ(b->Top(), a->Top());
    EXPECT_EQ(b->Visible(), a->Visible());
    EXPECT_EQ(b->ControlBoxMenu(), a->ControlBoxMenu());
    EXPECT_EQ(b->PicMouseDown()->Width(), a->PicMouseDown()->Width());
  }
  to.SetSections(*from.Sections());
  EXPECT_EQ(to.Sections()->Count(), 3);
  EXPECT_EQ(to.Sections()->Items(2)->Align(), kyrClient);
}

// ---- window actions on a real form (no skinned frame) ----
TEST(TitleBarButtons, MaximiseRestoreMinimiseAndCloseTheBarsForm) {
  uitest::TShownForm shown;
  TForm* form = shown.form;
  auto* bar = new TkyrTitleBar(form);
  bar->SetParent(form);
  TkyrTitleBarButton* max = bar->Buttons()->Items(2);
  max->ClickAction();
  uitest::Pump();
  EXPECT_TRUE(IsZoomed(form->Handle()));
  RECT work{};
  GetWorkAreaRect(work);
  const RECT expected{work.left - 4, work.top - 4, work.right + 4, work.bottom - 1};
  RECT window{};
  GetWindowRect(form->Handle(), &window);
  EXPECT_TRUE(EqualRect(&window, &expected));
  EXPECT_TRUE(ShowsFrames(*max, DeepBlue, 10));
  max->ClickAction();
  uitest::Pump();
  EXPECT_FALSE(IsZoomed(form->Handle()));
  EXPECT_TRUE(ShowsFrames(*max, DeepBlue, 7));

  bar->Buttons()->Items(3)->ClickAction();  // not the main form: only this window
  uitest::Pump();
  EXPECT_TRUE(IsIconic(form->Handle()));
  form->SetWindowState(wsNormal);
  bar->Buttons()->Items(1)->ClickAction();
  uitest::Pump();
  EXPECT_FALSE(form->Visible());
}
