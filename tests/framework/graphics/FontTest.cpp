#include "framework/graphics/Graphics.h"

#include "framework/core/FormReader.h"
#include "tests/framework/graphics/GraphicsTestSupport.h"

#include <gtest/gtest.h>

TEST(Font, HandleCarriesTheProperties) {
  TFont font;
  font.SetName("Tahoma");
  font.SetHeight(-13);
  font.SetStyle(TFontStyles{fsBold, fsUnderline});
  font.SetCharset(ANSI_CHARSET);
  LOGFONTA lf{};
  ASSERT_EQ(GetObjectA(font.Handle(), sizeof lf, &lf), static_cast<int>(sizeof lf));
  EXPECT_STREQ(lf.lfFaceName, "Tahoma");
  EXPECT_EQ(lf.lfHeight, -13);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_TRUE(lf.lfUnderline);
  EXPECT_FALSE(lf.lfItalic);
  EXPECT_EQ(lf.lfCharSet, ANSI_CHARSET);
}

TEST(Font, SizeAndHeightAreTiedByThePixelsPerInch) {
  TFont font;
  font.SetSize(8);
  EXPECT_EQ(font.Height(), -MulDiv(8, ScreenPixelsPerInch(), 72));
  EXPECT_EQ(font.Size(), 8);
  font.SetHeight(-16);
  EXPECT_EQ(font.Size(), MulDiv(16, 72, ScreenPixelsPerInch()));
}

TEST(Font, ChangesNotifyOnceAndRecreateTheHandle) {
  TFont font;
  int changes = 0;
  TObject* sender = nullptr;
  font.OnChange = [&](TObject* s) { ++changes; sender = s; };
  font.Handle();
  font.SetName(font.Name());  // no change, no notification
  EXPECT_EQ(changes, 0);
  font.SetStyle(TFontStyles{fsItalic});
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(sender, &font);
  LOGFONTA lf{};
  GetObjectA(font.Handle(), sizeof lf, &lf);
  EXPECT_TRUE(lf.lfItalic);
  font.SetColor(clRed);
  EXPECT_EQ(changes, 2);
}

TEST(Font, OldHandleStaysValidDuringTheNotification) {
  TFont font;
  HFONT before = font.Handle();
  DWORD typeDuringChange = 0;
  font.OnChange = [&](TObject*) { typeDuringChange = GetObjectType(before); };
  font.SetHeight(-20);
  EXPECT_EQ(typeDuringChange, static_cast<DWORD>(OBJ_FONT));
  EXPECT_EQ(GetObjectType(before), 0u);  // freed right after
}

TEST(Font, AssignCopiesEveryProperty) {
  TFont a;
  a.SetName("Courier New");
  a.SetHeight(-9);
  a.SetStyle(TFontStyles{fsStrikeOut});
  a.SetColor(clTeal);
  a.SetCharset(SYMBOL_CHARSET);
  a.SetPitch(fpFixed);
  TFont b;
  b.Assign(a);
  EXPECT_EQ(b.Name(), "Courier New");
  EXPECT_EQ(b.Height(), -9);
  EXPECT_EQ(b.Style(), TFontStyles{fsStrikeOut});
  EXPECT_EQ(b.Color(), clTeal);
  EXPECT_EQ(b.Charset(), SYMBOL_CHARSET);
  EXPECT_EQ(b.Pitch(), fpFixed);
  TPen pen;
  EXPECT_THROW(b.Assign(pen), EConvertError);
}

TEST(Font, PublishedPropertiesAcceptStoredValues) {
  TFont font;
  SetPropText(font, "Charset", "DEFAULT_CHARSET");
  SetPropText(font, "Color", "clTeal");
  SetPropText(font, "Height", "-11");
  SetPropText(font, "Name", "Tahoma");
  SetPropText(font, "Style", "[fsBold,fsItalic]");
  EXPECT_EQ(font.Charset(), DEFAULT_CHARSET);
  EXPECT_EQ(font.Color(), clTeal);
  EXPECT_EQ(font.Height(), -11);
  EXPECT_EQ(font.Name(), "Tahoma");
  EXPECT_EQ(font.Style(), (TFontStyles{fsBold, fsItalic}));
  SetPropText(font, "Size", "12");
  EXPECT_EQ(font.Size(), 12);
  SetPropText(font, "Color", "$000000FF");
  EXPECT_EQ(font.Color(), clRed);
  EXPECT_TRUE(HasPublishedProperty(&font, "Name"));
  EXPECT_FALSE(HasPublishedProperty(&font, "Handle"));
}

TEST(Font, PenAndBrushHandlesFollowTheirProperties) {
  THandleBaseline baseline;
  {
    TPen pen;
    pen.SetColor(clBlue);
    pen.SetWidth(3);
    LOGPEN lp{};
    GetObjectA(pen.Handle(), sizeof lp, &lp);
    EXPECT_EQ(lp.lopnColor, RGB(0, 0, 255));
    EXPECT_EQ(lp.lopnWidth.x, 3);
    pen.SetStyle(psClear);
    GetObjectA(pen.Handle(), sizeof lp, &lp);
    EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_NULL));

    TBrush brush;
    brush.SetColor(clLime);
    LOGBRUSH lb{};
    GetObjectA(brush.Handle(), sizeof lb, &lb);
    EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(lb.lbColor, RGB(0, 255, 0));
    brush.SetStyle(bsCross);
    GetObjectA(brush.Handle(), sizeof lb, &lb);
    EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_HATCHED));
    brush.SetStyle(bsClear);
    EXPECT_EQ(brush.Handle(), GetStockObject(NULL_BRUSH));
  }
  baseline.ExpectUnchanged();
}

namespace {

// A component with a font, as controls publish theirs.
class TFontHolder : public TComponent {
  VANTOR_CLASS(TFontHolder, TComponent)
public:
  explicit TFontHolder(TComponent* owner) : TComponent(owner) {}
  TFont* Font() { return &font_; }
  TColor Color() const { return color_; }
  void SetColor(TColor value) { color_ = value; }
  static void DeclarePublished(TPublished<TFontHolder>& p) {
    p.Color("Color", &TFontHolder::Color, &TFontHolder::SetColor);
    p.Object("Font", &TFontHolder::Font);
  }

private:
  TFont font_;
  TColor color_ = clBlack;
};

}  // namespace

TEST(Font, StoredDescriptionsSetFontAndColourNames) {
  TFontHolder holder(nullptr);
  ReadComponentText(
      "object Holder1: TFontHolder\n"
      "  Color = clTeal\n"
      "  Font.Charset = ANSI_CHARSET\n"
      "  Font.Color = clHighlight\n"
      "  Font.Height = -13\n"
      "  Font.Name = 'Tahoma'\n"
      "  Font.Style = [fsBold, fsUnderline]\n"
      "end\n",
      holder);
  EXPECT_EQ(holder.Color(), clTeal);
  EXPECT_EQ(holder.Font()->Charset(), ANSI_CHARSET);
  EXPECT_EQ(holder.Font()->Color(), clHighlight);
  EXPECT_EQ(holder.Font()->Height(), -13);
  EXPECT_EQ(holder.Font()->Name(), "Tahoma");
  EXPECT_EQ(holder.Font()->Style(), (TFontStyles{fsBold, fsUnderline}));
  EXPECT_THROW(ReadComponentText("object Holder1: TFontHolder\n  Font.Color = clTealish\nend\n", holder), Exception);
}
