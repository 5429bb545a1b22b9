// The file-theme component and the style protocol, with stand-in skinned components.
#include "skin/KYRStyled.h"

#include <gtest/gtest.h>

#include "framework/core/BmpCodec.h"
#include "framework/core/FormReader.h"
#include "framework/ui/StdCtrls.h"
#include "framework/ui/ExtCtrls.h"
#include "framework/ui/Forms.h"
#include "skin/KYRThemeFile.h"
#include "tests/skin/KYRStandIns.h"
#include "tests/skin/KYRThemeFileTestSupport.h"

namespace {

// A form that records the frame-changed requests it receives.
class TRecordingForm : public TForm {
  VANTOR_CLASS(TRecordingForm, TForm)
public:
  explicit TRecordingForm(TComponent* owner) : TForm(owner) {}
  int frameChanges = 0;
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_WINDOWPOSCHANGING && (reinterpret_cast<WINDOWPOS*>(m.LParam)->flags & SWP_FRAMECHANGED))
      ++frameChanges;
    inherited::WndProc(m);
  }
};

// A 6x2 strip of three 2x2 frames: red, green, blue.
Bytes ThreeFrameStrip() {
  TBmpImage strip = MakeBmpImage(6, 2);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 6; ++x) strip.Pixel(x, y) = x < 2 ? 0xFF0000 : x < 4 ? 0x00FF00 : 0x0000FF;
  }
  return EncodeBmp(strip, 24);
}

class FileThemeTest : public ::testing::Test {
protected:
  std::string ThemeFile(const std::string& name, int32_t minWidth) {
    WriteFileBytes(dir_ / name, ThemeFileBytes()
                                    .Int("FormMinWidthInt", minWidth)
                                    .Int("FormBackgroundColor", 0x102030)
                                    .Image("TitleBarButtonImage", ThreeFrameStrip())
                                    .Build());
    return dir_ / name;
  }
  TempDir dir_;
};

TEST(UsingFileTheme, DecidesBetweenTheFileAndABuiltinStyle) {
  TkyrFileTheme unloaded(nullptr);
  TempDir dir;
  WriteFileBytes(dir / "a.thm", ThemeFileBytes().Int("FormMinWidthInt", 1).Build());
  TkyrFileTheme loaded(nullptr);
  loaded.SetThemeFile(dir / "a.thm");
  ASSERT_TRUE(loaded.IsThemeLoaded());
  const struct {
    const TkyrFileTheme* Theme;
    TkyrUIStyle Style;
    bool Using;
    TkyrUIStyle Effective;
  } cases[] = {
      {&loaded, WinXP, false, WinXP},          {nullptr, FromThemeFile, false, DeepBlue},
      {&unloaded, FromThemeFile, false, DeepBlue}, {&loaded, FromThemeFile, true, FromThemeFile},
      {nullptr, MacOS, false, MacOS},
  };
  for (const auto& c : cases) {
    TkyrUIStyle effective = Protein;
    EXPECT_EQ(UsingFileTheme(c.Theme, c.Style, effective), c.Using);
    EXPECT_EQ(effective, c.Effective);
  }
}

TEST(StyleProtocol, AControlTakesItsOwnerFormsStyle) {
  TForm plain(nullptr);
  auto* onPlain = new TkyrProbe(&plain);
  EXPECT_EQ(onPlain->UIStyle(), DeepBlue);
  EXPECT_EQ(onPlain->applied, 1);
  EXPECT_EQ(onPlain->minWidth, 130);
  TForm skinned(nullptr);
  auto* panel = new TkyrPanelStandIn(&skinned);
  panel->SetParent(&skinned);
  panel->SetUIStyle(MacOS);
  auto* onSkinned = new TkyrProbe(&skinned);
  EXPECT_EQ(onSkinned->UIStyle(), MacOS);
  EXPECT_EQ(onSkinned->background, 0xE7E7E7);
}

TEST(StyleProtocol, SettingUIStyleReReadsFromTheBuiltinTables) {
  TForm form(nullptr);
  auto* probe = new TkyrProbe(&form);
  probe->SetUIStyle(BlueGlass);
  EXPECT_EQ(probe->minWidth, 270);
  EXPECT_EQ(probe->effective, BlueGlass);
  probe->SetUIStyle(FromThemeFile);  // no theme: drawn as DeepBlue, stored as asked
  EXPECT_EQ(probe->UIStyle(), FromThemeFile);
  EXPECT_EQ(probe->effective, DeepBlue);
  EXPECT_FALSE(probe->fromFile);
  EXPECT_EQ(probe->minWidth, 130);
  EXPECT_EQ(probe->applied, 3);
}

TEST_F(FileThemeTest, AssigningAFileReAppliesItToTheControlsThatUseIt) {
  TForm form(nullptr);
  auto* theme = new TkyrFileTheme(&form);
  auto* probe = new TkyrProbe(&form);
  probe->SetUIStyle(FromThemeFile);
  probe->SetFileTheme(theme);
  EXPECT_EQ(probe->effective, DeepBlue);  // nothing loaded yet
  const int before = probe->applied;
  theme->SetThemeFile(ThemeFile("a.thm", 321));
  EXPECT_EQ(probe->applied, before + 1);
  EXPECT_TRUE(probe->fromFile);
  EXPECT_EQ(probe->effective, FromThemeFile);
  EXPECT_EQ(probe->minWidth, 321);
  EXPECT_EQ(probe->background, 0x102030);
  ASSERT_EQ(probe->buttons.Width(), 2);  // frame 2 of 3: green
  EXPECT_EQ(probe->buttons.ScanLine(1)[1], 0x00FF00u);
  EXPECT_EQ(probe->UIStyle(), FromThemeFile);
}

class TKyrCased : public TkyrProbe {
  VANTOR_CLASS(TKyrCased, TkyrProbe)
public:
  using TkyrProbe::TkyrProbe;
};

class TSkinnedOther : public TkyrProbe {
  VANTOR_CLASS(TSkinnedOther, TkyrProbe)
public:
  using TkyrProbe::TkyrProbe;
};

class TkyrUnpublished : public TkyrStyled<TCustomControl> {
  VANTOR_CLASS(TkyrUnpublished, TkyrStyled<TCustomControl>)
public:
  explicit TkyrUnpublished(TComponent* owner) : TkyrStyled(owner) { InitUIStyle(); }
  int applied = 0;

protected:
  void ApplyUIStyle(const TkyrStyleSource&) override { ++applied; }
};

class TkyrForgetful : public TkyrStyled<TComponent> {
  VANTOR_CLASS(TkyrForgetful, TkyrStyled<TComponent>)
public:
  using TkyrStyled::TkyrStyled;
  int applied = 0;
  TkyrUIStyle effective = FromThemeFile;

protected:
  void ApplyUIStyle(const TkyrStyleSource& s) override {
    ++applied;
    effective = s.EffectiveStyle();
  }
};

// A skinned control over a system class (EDIT): its window is made by the system's procedure
// and subclassed afterwards, so it never sees its own WM_NCCREATE.
class TkyrForgetfulMemo : public TkyrStyled<TCustomMemo> {
  VANTOR_CLASS(TkyrForgetfulMemo, TkyrStyled<TCustomMemo>)
public:
  using TkyrStyled::TkyrStyled;
  int applied = 0;

protected:
  void ApplyUIStyle(const TkyrStyleSource&) override { ++applied; }
};

// Components are told by the "Tkyr" prefix of their class name (letter case counts) and a
// published FileTheme; being a skinned component is not enough.
TEST_F(FileThemeTest, OnlyTkyrClassesThatPublishFileThemeAreTold) {
  TForm form(nullptr);
  auto* theme = new TkyrFileTheme(&form);
  auto* told = new TkyrProbe(&form);
  auto* cased = new TKyrCased(&form);
  auto* other = new TSkinnedOther(&form);
  auto* unpublished = new TkyrUnpublished(&form);
  for (IkyrSkinned* c : std::initializer_list<IkyrSkinned*>{told, cased, other, unpublished}) {
    c->SetUIStyle(FromThemeFile);
    c->SetFileTheme(theme);
  }
  const int before[] = {told->applied, cased->applied, other->applied, unpublished->applied};
  theme->SetThemeFile(ThemeFile("a.thm", 321));
  EXPECT_EQ(told->applied, before[0] + 1);
  EXPECT_EQ(told->minWidth, 321);
  EXPECT_EQ(cased->applied, before[1]);
  EXPECT_EQ(other->applied, before[2]);
  EXPECT_EQ(unpublished->applied, before[3]);
}

// A constructor that forgets InitUIStyle: the owner form's style is reported at once and its
// elements are read before the control is used, exactly once.
TEST(StyleProtocol, AForgottenInitialisationIsMadeUpBeforeFirstUse) {
  TForm form(nullptr);
  (new TkyrPanelStandIn(&form, Protein))->SetParent(&form);
  auto* windowed = new TkyrProbe(&form, false);
  EXPECT_EQ(windowed->UIStyle(), Protein);
  EXPECT_EQ(windowed->applied, 0);
  windowed->SetParent(&form);
  windowed->HandleNeeded();
  EXPECT_EQ(windowed->applied, 1);
  EXPECT_EQ(windowed->effective, Protein);
  EXPECT_EQ(windowed->background, 0xFBFBFB);
  windowed->Repaint();
  EXPECT_EQ(windowed->applied, 1);

  auto* memo = new TkyrForgetfulMemo(&form);
  memo->SetParent(&form);
  memo->HandleNeeded();
  EXPECT_EQ(memo->applied, 1);

  // A style set before first use wins, and is the only application.
  auto* set = new TkyrProbe(&form, false);
  set->SetUIStyle(WinXP);
  set->SetParent(&form);
  set->HandleNeeded();
  EXPECT_EQ(set->applied, 1);
  EXPECT_EQ(set->effective, WinXP);
}

TEST(StyleProtocol, AForgottenInitialisationIsMadeUpWhenADescriptionLoads) {
  RegisterComponentClass<TkyrForgetful>();
  TForm form(nullptr);
  ReadComponentText("object Form: TForm\n object Forgetful: TkyrForgetful\n end\nend\n", form);
  auto* forgetful = dynamic_cast<TkyrForgetful*>(form.FindComponent("Forgetful"));
  ASSERT_NE(forgetful, nullptr);
  EXPECT_EQ(forgetful->applied, 1);
  EXPECT_EQ(forgetful->effective, DeepBlue);
}

// Look-ups never raise: an image entry whose data is no bitmap reads as no image, and the
// rest of the style change goes on.
TEST_F(FileThemeTest, ACorruptImageReadsAsNoImage) {
  Bytes garbage(64, 0x5A);
  garbage[0] = 'B';
  garbage[1] = 'M';
  WriteFileBytes(dir_ / "corrupt.thm", ThemeFileBytes()
                                           .Int("FormMinWidthInt", 222)
                                           .Image("TitleBarButtonImage", garbage)
                                           .Image("ButtonImage", Bytes{1, 2, 3})
                                           .Build());
  TForm form(nullptr);
  auto* theme = new TkyrFileTheme(&form);
  theme->SetThemeFile(dir_ / "corrupt.thm");
  ASSERT_TRUE(theme->IsThemeLoaded());
  auto* probe = new TkyrProbe(&form);
  probe->SetFileTheme(theme);
  EXPECT_NO_THROW(probe->SetUIStyle(FromThemeFile));
  EXPECT_EQ(probe->minWidth, 222);
  EXPECT_TRUE(probe->buttons.Empty());
  TBitmap kept(5, 3);
  EXPECT_NO_THROW(theme->GetBitmap(KYR_THEME_BUTTON_IMAGE, &kept));
  EXPECT_EQ(kept.Width(), 5);
  TBitmap frame(5, 3);
  EXPECT_NO_THROW(theme->GetBitmap(KYR_THEME_TITLE_BAR_BUTTON_IMAGE, &frame, 3, 1));
  EXPECT_TRUE(frame.Empty());
}

TEST_F(FileThemeTest, AControlUsingAnotherThemeIsNotTouched) {
  TForm form(nullptr);
  auto* mine = new TkyrFileTheme(&form);
  auto* other = new TkyrFileTheme(&form);
  auto* probe = new TkyrProbe(&form);
  probe->SetFileTheme(other);
  probe->SetUIStyle(FromThemeFile);
  const int before = probe->applied;
  mine->SetThemeFile(ThemeFile("a.thm", 1));
  EXPECT_EQ(probe->applied, before);
  EXPECT_EQ(probe->effective, DeepBlue);
}

TEST_F(FileThemeTest, RemovingTheThemeTurnsItsControlsDeepBlue) {
  TForm form(nullptr);
  auto* theme = new TkyrFileTheme(&form);
  theme->SetThemeFile(ThemeFile("a.thm", 321));
  auto* probe = new TkyrProbe(&form);
  probe->SetUIStyle(WinXP);
  probe->SetFileTheme(theme);
  delete theme;
  EXPECT_EQ(probe->FileTheme(), nullptr);
  EXPECT_EQ(probe->UIStyle(), DeepBlue);
  EXPECT_EQ(probe->minWidth, 130);
  // Across owners too: the control asked to be told.
  auto* foreign = new TkyrFileTheme(nullptr);
  probe->SetUIStyle(MacOS);
  probe->SetFileTheme(foreign);
  delete foreign;
  EXPECT_EQ(probe->FileTheme(), nullptr);
  EXPECT_EQ(probe->UIStyle(), DeepBlue);
}

TEST_F(FileThemeTest, TheFrameIsRedrawnOnlyWhenAFileReplacesAnother) {
  TRecordingForm form(nullptr);
  form.Handle();
  auto* theme = new TkyrFileTheme(&form);
  auto* panel = new TkyrPanelStandIn(&form);
  panel->SetParent(&form);
  panel->SetFileTheme(theme);
  const int appliedBefore = panel->applied, framesBefore = form.frameChanges;
  theme->SetThemeFile(ThemeFile("a.thm", 1));
  EXPECT_EQ(panel->applied, appliedBefore + 1);
  EXPECT_EQ(form.frameChanges, framesBefore);
  theme->SetThemeFile(ThemeFile("b.thm", 2));
  EXPECT_EQ(form.frameChanges, framesBefore + 1);
  EXPECT_EQ(theme->GetInt(KYR_THEME_FORM_MIN_WIDTH_INT), 2);
  // Without a panel that uses the theme there is no frame to redraw.
  panel->SetFileTheme(nullptr);
  theme->SetThemeFile(ThemeFile("c.thm", 3));
  EXPECT_EQ(form.frameChanges, framesBefore + 1);
}

TEST_F(FileThemeTest, TheSameNameTwiceLoadsOnce) {
  TkyrFileTheme theme(nullptr);
  const std::string path = ThemeFile("a.thm", 5);
  theme.SetThemeFile(path);
  const TkyrThemeFileReader* reader = theme.ThemeMgr().Reader();
  ASSERT_NE(reader, nullptr);
  theme.SetThemeFile(path);
  EXPECT_EQ(theme.ThemeMgr().Reader(), reader);
  EXPECT_EQ(theme.ThemeFile(), path);
}

TEST_F(FileThemeTest, ABareNameIsFoundInTheExecutablesFolder) {
  char exe[MAX_PATH] = {};
  std::string folder(exe, GetModuleFileNameA(nullptr, exe, MAX_PATH));
  folder.resize(folder.find_last_of('\\') + 1);
  const std::string name = "h5-found-" + std::to_string(GetCurrentProcessId()) + ".thm";
  WriteFileBytes(folder + name, ThemeFileBytes().Int("FormMinWidthInt", 77).Build());
  // Run elsewhere, or the bare name would be found in the current folder as it stands.
  char current[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, current);
  SetCurrentDirectoryA(dir_.Path().c_str());
  TkyrFileTheme theme(nullptr);
  theme.SetThemeFile(name);
  SetCurrentDirectoryA(current);
  DeleteFileA((folder + name).c_str());
  EXPECT_EQ(theme.ThemeFile(), folder + name);
  EXPECT_TRUE(theme.IsThemeLoaded());
  EXPECT_EQ(theme.GetInt(KYR_THEME_FORM_MIN_WIDTH_INT), 77);
}

TEST_F(FileThemeTest, ANameFoundNowhereChangesNothing) {
  TkyrFileTheme theme(nullptr);
  theme.SetThemeFile("h5-nowhere-at-all.thm");
  EXPECT_EQ(theme.ThemeFile(), "");
  EXPECT_FALSE(theme.IsThemeLoaded());
  const std::string path = ThemeFile("a.thm", 5);
  theme.SetThemeFile(path);
  theme.SetThemeFile(dir_ / "missing.thm");
  EXPECT_EQ(theme.ThemeFile(), path);
  EXPECT_EQ(theme.GetInt(KYR_THEME_FORM_MIN_WIDTH_INT), 5);
}

TEST_F(FileThemeTest, AFileWithoutTheMagicIsRefused) {
  TkyrFileTheme theme(nullptr);
  const std::string path = ThemeFile("a.thm", 5);
  theme.SetThemeFile(path);
  WriteFileText(dir_ / "plain.txt", "not a theme file, only text");
  try {
    theme.SetThemeFile(dir_ / "plain.txt");
    ADD_FAILURE() << "accepted";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Invalid skin file for Tessarn!");
  }
  EXPECT_EQ(theme.ThemeFile(), path);
  EXPECT_EQ(theme.GetInt(KYR_THEME_FORM_MIN_WIDTH_INT), 5);
}

TEST_F(FileThemeTest, AFileTheReaderRefusesLeavesNoReader) {
  TkyrFileTheme theme(nullptr);
  theme.SetThemeFile(ThemeFile("a.thm", 5));
  Bytes bad = ThemeFileBytes().Int("FormMinWidthInt", 9).Build();
  ThemeFileBytes::Put32(bad, 12, 30);
  WriteFileBytes(dir_ / "bad.thm", bad);
  EXPECT_THROW(theme.SetThemeFile(dir_ / "bad.thm"), EkyrThemeFileError);
  EXPECT_EQ(theme.ThemeFile(), dir_ / "bad.thm");
  EXPECT_TRUE(theme.IsThemeLoaded());  // keeps its earlier value
  EXPECT_EQ(theme.GetColor(KYR_THEME_FORM_BACKGROUND_COLOR), 0);
  EXPECT_FALSE(theme.GetBool(KYR_THEME_BUTTON_TRANSPARENT_BOOL));
}

TEST_F(FileThemeTest, GettersBeforeAndAfterLoading) {
  TkyrFileTheme theme(nullptr);
  EXPECT_EQ(theme.GetColor(KYR_THEME_MENU_BAR_COLOR), 0);
  theme.SetThemeFile(ThemeFile("a.thm", 5));
  EXPECT_EQ(theme.GetColor(KYR_THEME_MENU_BAR_COLOR), -1);  // absent from the file
  EXPECT_EQ(theme.GetColor(KYR_THEME_FORM_BACKGROUND_COLOR), 0x102030);
  EXPECT_TRUE(theme.CheckThemeFile(theme.ThemeFile()));
}

TEST_F(FileThemeTest, BitmapsWholeByFrameAndAbsent) {
  TkyrFileTheme theme(nullptr);
  theme.SetThemeFile(ThemeFile("a.thm", 5));
  TBitmap whole, frame, kept(4, 4), emptied(4, 4);
  theme.GetBitmap(KYR_THEME_TITLE_BAR_BUTTON_IMAGE, &whole);
  EXPECT_EQ(whole.Width(), 6);
  EXPECT_EQ(whole.Height(), 2);
  theme.GetBitmap(KYR_THEME_TITLE_BAR_BUTTON_IMAGE, &frame, 3, 3);
  ASSERT_EQ(frame.Width(), 2);
  EXPECT_EQ(frame.ScanLine(0)[0], 0x0000FFu);
  theme.GetBitmap(KYR_THEME_BUTTON_IMAGE, &kept);
  EXPECT_EQ(kept.Width(), 4);
  theme.GetBitmap(KYR_THEME_BUTTON_IMAGE, &emptied, 3, 1);
  EXPECT_EQ(emptied.Width(), 0);
  EXPECT_EQ(emptied.Height(), 0);
}

TEST_F(FileThemeTest, ThemeFileIsAPublishedProperty) {
  TkyrFileTheme theme(nullptr);
  const std::string path = ThemeFile("a.thm", 8);
  SetStrProp(theme, "ThemeFile", path);
  EXPECT_EQ(GetStrProp(theme, "ThemeFile"), path);
  EXPECT_EQ(theme.GetInt(KYR_THEME_FORM_MIN_WIDTH_INT), 8);
}

}  // namespace
