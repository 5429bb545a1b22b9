// The file-theme component and the style protocol, with stand-in skinned components.
#include "skin/KYRMgr.h"

#include <gtest/gtest.h>

#include "framework/core/BmpCodec.h"
#include "framework/ui/ExtCtrls.h"
#include "framework/ui/Forms.h"
#include "skin/KYRThemeFile.h"
#include "tests/skin/KYRThemeFileTestSupport.h"

namespace {

// A skinned control that records every style application and caches two elements.
class TkyrProbe : public TkyrStyled<TCustomControl> {
  VANTOR_CLASS(TkyrProbe, TkyrStyled<TCustomControl>)
public:
  explicit TkyrProbe(TComponent* owner) : TkyrStyled(owner) { InitUIStyle(); }
  static void DeclarePublished(TPublished<TkyrProbe>& p) {
    p.Enumeration("UIStyle", TkyrUIStyleInfo, &TkyrProbe::UIStyle, &TkyrProbe::SetUIStyle);
    p.Component("FileTheme", &TkyrProbe::FileTheme, &TkyrProbe::SetFileTheme);
  }

  int applied = 0;
  TkyrUIStyle effective = FromThemeFile;
  bool fromFile = false;
  int32_t minWidth = 0, background = 0;
  TBitmap buttons;

protected:
  void ApplyUIStyle(const TkyrStyleSource& s) override {
    ++applied;
    effective = s.EffectiveStyle();
    fromFile = s.FromFile();
    minWidth = s.Int(KYR_THEME_FORM_MIN_WIDTH_INT);
    background = s.Color(KYR_THEME_FORM_BACKGROUND_COLOR);
    if (s.FromFile()) s.Bitmap(KYR_THEME_TITLE_BAR_BUTTON_IMAGE, &buttons, 3, 2);
  }
};

// The skinned form panel as the theme component sees it: FileTheme and UIStyle published.
class TkyrForm : public TkyrStyled<TCustomPanel> {
  VANTOR_CLASS(TkyrForm, TkyrStyled<TCustomPanel>)
public:
  explicit TkyrForm(TComponent* owner) : TkyrStyled(owner) { InitUIStyle(); }
  static void DeclarePublished(TPublished<TkyrForm>& p) {
    p.Enumeration("UIStyle", TkyrUIStyleInfo, &TkyrForm::UIStyle, &TkyrForm::SetUIStyle);
    p.Component("FileTheme", &TkyrForm::FileTheme, &TkyrForm::SetFileTheme);
  }
  int applied = 0;

protected:
  void ApplyUIStyle(const TkyrStyleSource&) override { ++applied; }
};

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
  auto* panel = new TkyrForm(&skinned);
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
  auto* panel = new TkyrForm(&form);
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
