// The Windows look-ups of the style unit: built-in bitmaps and the owner form's style.
#include "skin/KYRThemes.h"

#include <gtest/gtest.h>

#include "framework/graphics/Graphics.h"
#include "framework/ui/ExtCtrls.h"
#include "framework/ui/Forms.h"
#include "skin/KYRStyled.h"
#include "tests/skin/KYRStandIns.h"

namespace {

bool HasSkinResources() { return FindResourceA(nullptr, "MACOS_TITLEBTN", MAKEINTRESOURCEA(2)) != nullptr; }

TEST(GetBuiltinBitmap, NeutralCasesLeaveTheBitmapUnchanged) {
  TBitmap bitmap(3, 4);
  LoadBuiltinThemeBitmap(FromThemeFile, KYR_THEME_BUTTON_IMAGE, &bitmap);
  LoadBuiltinThemeBitmap(MacOS, KYR_THEME_FORM_MIN_WIDTH_INT, &bitmap);     // not an image
  LoadBuiltinThemeBitmap(MacOS, KYR_THEME_FORM_LEFT_BORDER_IMAGE, &bitmap);  // no built-in bitmap
  LoadBuiltinThemeBitmap(MacOS, 0, &bitmap);
  GetBuiltinBitmap(static_cast<TkyrUIStyle>(9), KYR_THEME_BUTTON_IMAGE, &bitmap, 18, 1);
  GetBuiltinBitmap(WinXP, KYR_THEME_FORM_ROUND_CORNER_INT, &bitmap, 0, 1);
  EXPECT_EQ(bitmap.Width(), 3);
  EXPECT_EQ(bitmap.Height(), 4);
  LoadBuiltinThemeBitmap(MacOS, KYR_THEME_BUTTON_IMAGE, nullptr);
  GetBuiltinBitmap(MacOS, KYR_THEME_BUTTON_IMAGE, nullptr, 18, 1);
  TIcon icon;
  GetBuiltinBitmap(MacOS, KYR_THEME_BUTTON_IMAGE, &icon, 0, 1);  // not a bitmap: nothing
  EXPECT_TRUE(icon.Empty());
}

TEST(GetBuiltinBitmap, LoadsResourcesWholeOrByFrame) {
  if (!HasSkinResources()) GTEST_SKIP() << "this executable has no skin resources linked";
  TBitmap bitmap;
  GetBuiltinBitmap(MacOS, KYR_THEME_TITLE_BAR_BUTTON_IMAGE, &bitmap, 18, 1);
  EXPECT_EQ(bitmap.Width(), 17);
  EXPECT_EQ(bitmap.Height(), 17);
  GetBuiltinBitmap(MacOS, KYR_THEME_TITLE_BAR_BUTTON_IMAGE, &bitmap, 0, 1);
  EXPECT_EQ(bitmap.Width(), 306);
  LoadBuiltinThemeBitmap(WinXP, KYR_THEME_TITLE_BAR_LEFT_IMAGE, &bitmap);
  EXPECT_EQ(bitmap.Width(), 35);
  EXPECT_EQ(bitmap.Height(), 29);
}

// Every bitmap the tables name is a resource of the program.
TEST(GetBuiltinBitmap, EveryNamedCellLoads) {
  if (!HasSkinResources()) GTEST_SKIP() << "this executable has no skin resources linked";
  for (TkyrUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
    for (int e = 1; e <= KYR_THEME_ELEMENT_COUNT; ++e) {
      if (!*GetBuiltinImageName(style, e)) continue;
      SCOPED_TRACE(GetBuiltinImageName(style, e));
      TBitmap bitmap;
      EXPECT_NO_THROW(LoadBuiltinThemeBitmap(style, e, &bitmap));
      EXPECT_FALSE(bitmap.Empty());
    }
  }
}

TEST(GetOwnerFormUIStyle, TakesTheFirstSkinnedFormPanelAmongTheFormsControls) {
  TForm form(nullptr);
  EXPECT_EQ(GetOwnerFormUIStyle(&form), DeepBlue);  // no panel
  auto* plain = new TCustomPanel(&form);
  plain->SetParent(&form);
  auto* unparented = new TkyrPanelStandIn(&form, Protein);  // owned but not a child control
  EXPECT_EQ(GetOwnerFormUIStyle(&form), DeepBlue);
  auto* first = new TkyrPanelStandIn(&form, MacOS);
  first->SetParent(&form);
  auto* second = new TkyrPanelStandIn(&form, WinXP);
  second->SetParent(&form);
  EXPECT_EQ(GetOwnerFormUIStyle(&form), MacOS);
  first->SetUIStyle(BlueGlass);
  EXPECT_EQ(GetOwnerFormUIStyle(&form), BlueGlass);
  (void)unparented;
}

// Named like the skinned form panel and publishing UIStyle, but no frame panel.
class TkyrForm : public TCustomPanel {
  VANTOR_CLASS(TkyrForm, TCustomPanel)
public:
  using TCustomPanel::TCustomPanel;
  TkyrUIStyle UIStyle() const { return MacOS; }
  void SetUIStyle(TkyrUIStyle) {}
  static void DeclarePublished(TPublished<TkyrForm>& p) {
    p.Enumeration("UIStyle", TkyrUIStyleInfo, &TkyrForm::UIStyle, &TkyrForm::SetUIStyle);
  }
};

// The panel is found by type: the class name does not matter, a look-alike name does not count.
TEST(GetOwnerFormUIStyle, FindsThePanelByTypeNotByName) {
  TForm form(nullptr);
  (new TkyrForm(&form))->SetParent(&form);
  EXPECT_EQ(GetOwnerFormUIStyle(&form), DeepBlue);
  (new TkyrPanelStandIn(&form, Protein))->SetParent(&form);
  EXPECT_EQ(GetOwnerFormUIStyle(&form), Protein);
}

TEST(GetOwnerFormUIStyle, IsDeepBlueForOwnersThatAreNoForm) {
  TComponent owner(nullptr);
  EXPECT_EQ(GetOwnerFormUIStyle(&owner), DeepBlue);
  EXPECT_EQ(GetOwnerFormUIStyle(nullptr), DeepBlue);
  TForm form(nullptr);
  auto* host = new TCustomPanel(&form);
  host->SetParent(&form);
  auto* nested = new TkyrPanelStandIn(&form, MacOS);
  nested->SetParent(host);  // a grandchild is not one of the form's own controls
  EXPECT_EQ(GetOwnerFormUIStyle(&form), DeepBlue);
  EXPECT_EQ(GetOwnerFormUIStyle(host), DeepBlue);
}

}  // namespace
