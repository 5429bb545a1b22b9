#include <gtest/gtest.h>

#include "framework/core/FormReader.h"
#include "tests/framework/core/ComponentFixtures.h"

namespace {

class FormReaderTest : public ::testing::Test {
protected:
  void SetUp() override {
    RegisterGadgetClasses();
    EventLog().clear();
  }
  // Reads TEXT into a fresh form and returns the parser error's line (0 when none).
  int ErrorLine(const std::string& text, std::string* message = nullptr) {
    TGadgetForm f;
    try {
      ReadComponentText(text, f);
    } catch (const EParserError& e) {
      if (message) *message = e.Message();
      EXPECT_EQ(f.ComponentCount(), 0) << "a failed read must free what it created";
      EXPECT_FALSE(f.InState(csLoading));
      return e.Line();
    }
    return 0;
  }
  TGadget* Gadget(const char* name) { return dynamic_cast<TGadget*>(form.FindComponent(name)); }
  TGadgetForm form;
};

const char* const FullDescription = R"(object Form1: TGadgetForm
  Tag = 3
  object Gadget1: TGadget
    Width = 120
    Enabled = False
    Style = gsBold
    Options = [goSecond, goThird]
    Caption = 'It''s'#13#10'two' +
      ' lines'
    Color = clBtnFace
    Buddy = Gadget2
    Font.Name = 'Tahoma'
    Font.Height = -11
    Lines.Strings = (
      'first'
      'second')
    Items = <
      item
        Caption = 'A'
        Width = 40
        Font.Name = 'Arial'
      end
      item
        Caption = 'B'
      end>
    Data = {
      00FF7f
      10}
    OnClick = Gadget1Click
    object Inner: TWideGadget
      Margin = 4
    end
  end
  object Gadget2: TPlainGadget // a comment
    Buddy = Form1Gadget
    OnClick = OtherClick
  end
  object Form1Gadget: TGadget
    Buddy = nil
  end
end
)";

TEST_F(FormReaderTest, ReadsEveryKindOfValue) {
  ReadComponentText(FullDescription, form);
  EXPECT_EQ(form.Name(), "Form1");
  EXPECT_EQ(form.Tag(), 3);
  ASSERT_EQ(form.ComponentCount(), 4);
  TGadget* g = form.Gadget1;
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->Width(), 120);
  EXPECT_FALSE(g->Enabled());
  EXPECT_EQ(g->Style(), gsBold);
  EXPECT_EQ(g->Options(), (TGadgetOptions{goSecond, goThird}));
  EXPECT_EQ(g->Caption(), "It's\r\ntwo lines");
  EXPECT_EQ(static_cast<uint32_t>(g->Color()), 0x8000000Fu);
  EXPECT_EQ(g->Font()->Name(), "Tahoma");
  EXPECT_EQ(g->Font()->Height(), -11);
  EXPECT_EQ(g->Lines()->ToVector(), (std::vector<std::string>{"first", "second"}));
  ASSERT_EQ(g->Items()->Count(), 2);
  EXPECT_EQ(g->Items()->Items(0)->Caption(), "A");
  EXPECT_EQ(g->Items()->Items(0)->Width(), 40);
  EXPECT_EQ(g->Items()->Items(0)->Font()->Name(), "Arial");
  EXPECT_EQ(g->Items()->Items(1)->Caption(), "B");
  EXPECT_EQ(g->Items()->Items(1)->Width(), 10);
  EXPECT_EQ(g->Data(), (std::vector<uint8_t>{0x00, 0xFF, 0x7F, 0x10}));
  auto* inner = dynamic_cast<TWideGadget*>(form.FindComponent("Inner"));
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(inner->Margin(), 4);
  EXPECT_EQ(inner->Owner(), &form);  // every created component is owned by the root
}

TEST_F(FormReaderTest, ReferencesResolveForwardAndEventsCallTheRootsHandlers) {
  ReadComponentText(FullDescription, form);
  TGadget* g1 = Gadget("Gadget1");
  TGadget* g2 = Gadget("Gadget2");
  TGadget* g3 = Gadget("Form1Gadget");
  EXPECT_EQ(g1->Buddy(), g2);  // declared after Gadget1
  EXPECT_EQ(g2->Buddy(), g3);
  EXPECT_EQ(g3->Buddy(), nullptr);
  EXPECT_EQ(form.Gadget2, g2);
  g1->Click();
  g2->Click();
  EXPECT_EQ(form.clicks, (std::vector<std::string>{"1:Gadget1", "other:Gadget2"}));
}

TEST_F(FormReaderTest, NestedObjectsGetTheirParentBeforeTheirProperties) {
  ReadComponentText(R"(object F: TGadgetForm
  object Outer: TGadget
    Width = 1
    object Inner: TGadget
      Width = 2
    end
  end
end)",
                    form);
  EXPECT_EQ(Gadget("Outer")->GetParentComponent(), &form);
  EXPECT_EQ(Gadget("Inner")->GetParentComponent(), Gadget("Outer"));
  EXPECT_EQ(Gadget("Inner")->parentAtFirstSet, Gadget("Outer"));
  std::vector<std::string> expected = {"parent Outer=F",  "Outer.Width",  "parent Inner=Outer",
                                       "Inner.Width",     "loaded Outer", "loaded Inner",
                                       "loaded F"};
  EXPECT_EQ(EventLog(), expected);
}

TEST_F(FormReaderTest, StoredOrderDecidesWhichValueWins) {
  ReadComponentText(R"(object F: TGadgetForm
  object StyleFirst: TGadget
    Style = gsTeal
    Color = $0000FF
  end
  object ColorFirst: TGadget
    Color = $0000FF
    Style = gsTeal
  end
end)",
                    form);
  EXPECT_EQ(Gadget("StyleFirst")->Color(), 0x0000FF);
  EXPECT_EQ(Gadget("ColorFirst")->Color(), 0x808000);
}

TEST_F(FormReaderTest, SettersSeeLoadingAndLoadedClearsIt) {
  ReadComponentText("object F: TGadgetForm\n object G: TGadget\n  Width = 5\n end\nend", form);
  TGadget* g = Gadget("G");
  EXPECT_TRUE(g->sawLoading);
  EXPECT_TRUE(g->sawReading);
  EXPECT_FALSE(g->InState(csLoading));
  EXPECT_FALSE(g->InState(csReading));
  EXPECT_FALSE(form.InState(csLoading));
}

TEST_F(FormReaderTest, ItemListReplacesEarlierItems) {
  ReadComponentText(R"(object F: TGadgetForm
  object G: TGadget
    Items = <item Caption = 'a' end item Caption = 'b' end>
    Items = <item Caption = 'c' end>
  end
  object H: TGadget
    Items = <item Caption = 'x' end>
    Items = <>
  end
end)",
                    form);
  ASSERT_EQ(Gadget("G")->Items()->Count(), 1);
  EXPECT_EQ(Gadget("G")->Items()->Items(0)->Caption(), "c");
  EXPECT_EQ(Gadget("H")->Items()->Count(), 0);
}

TEST_F(FormReaderTest, StringListTakesItsLinesDirectly) {
  ReadComponentText("object F: TGadgetForm\n object G: TGadget\n  Lines = ('a' '' 'c')\n end\nend", form);
  EXPECT_EQ(Gadget("G")->Lines()->ToVector(), (std::vector<std::string>{"a", "", "c"}));
}

TEST_F(FormReaderTest, UnnamedObjectsAreAllowed) {
  ReadComponentText("object TGadgetForm\n object TGadget\n  Width = 9\n end\nend", form);
  ASSERT_EQ(form.ComponentCount(), 1);
  EXPECT_EQ(static_cast<TGadget*>(form.Components(0))->Width(), 9);
  EXPECT_EQ(form.Name(), "");
}

TEST_F(FormReaderTest, ErrorsNameTheirLine) {
  struct Case {
    const char* text;
    int line;
    const char* fragment;
  } cases[] = {
      {"object F: TGadgetForm\n object G: TNoSuchClass\n end\nend", 2, "Class TNoSuchClass not found"},
      {"object F: TGadgetForm\n object G: TGadget\n  Wdth = 1\n end\nend", 3, "Unknown property Wdth"},
      {"object F: TGadgetForm\n object G: TGadget\n  Width 1\n end\nend", 3, "'=' expected"},
      {"object F: TGadgetForm\n object G: TGadget\n  Style = gsNope\n end\nend", 3, "gsNope"},
      {"object F: TGadgetForm\n object G: TGadget\n  Width = 'x'\n end\nend", 3, "Invalid value"},
      {"object F: TGadgetForm\n object G: TGadget\n  Caption = 'open\n end\nend", 3, "Unterminated string"},
      {"object F: TGadgetForm\n object G: TGadget\n  Data = {ABC}\n end\nend", 3, "Odd number"},
      {"object F: TGadgetForm\n object G: TGadget\n  Data = {0G}\n end\nend", 3, "hex digit"},
      {"object F: TGadgetForm\n object G: TGadget\n\n  Buddy = Nobody\n end\nend", 4, "Nobody not found"},
      {"object F: TGadgetForm\n object G: TGadget\n  Buddy = T\n end\n object T: TOtherThing\n end\nend", 3,
       "does not fit"},
      {"object F: TGadgetForm\n object G: TGadget\n  OnClick = Missing\n end\nend", 3, "Handler Missing"},
      {"object F: TGadgetForm\n object G: TGadget\n  OnClick = WrongSignature\n end\nend", 3, "does not match"},
      {"object F: TGadgetForm\n object G: TGadget\n end\n object g: TGadget\n end\nend", 4, "already exists"},
      {"object F: TGadgetForm\n object Gadget1: TOtherThing\n end\nend", 2, "does not fit"},
      {"object F: TGadget\nend", 1, "cannot be read into"},
      {"object F: TGadgetForm\nend\nend", 3, "Text after the end"},
      {"object F: TGadgetForm\n object G: TGadget\n", 3, "expected"},
      {"object F: TGadgetForm\n Tag = 99999999999999999999\nend", 2, "too large"},
      {"object F: TGadgetForm\n object G: TGadget\n  Items = <thing end>\n end\nend", 3, "'item' expected"},
      {"object F: TGadgetForm\n object G: TGadget\n  Font = 'x'\n end\nend", 3, "sub-properties"},
      {"object F: TGadgetForm\n object G: TGadget\n  Caption.Text = 'x'\n end\nend", 3, "no sub-properties"},
      {"object F: TGadgetForm\n @\nend", 2, "Unexpected character"},
  };
  for (const Case& c : cases) {
    std::string message;
    EXPECT_EQ(ErrorLine(c.text, &message), c.line) << c.text;
    EXPECT_NE(message.find(c.fragment), std::string::npos) << message;
    EXPECT_EQ(message.rfind("Line " + std::to_string(c.line) + ": ", 0), 0u) << message;
  }
}

TEST_F(FormReaderTest, FailedReadCallsNoLoaded) {
  EXPECT_EQ(ErrorLine("object F: TGadgetForm\n object G: TGadget\n  Width = 1\n end\n object H: TNone\n end\nend"), 5);
  for (const std::string& entry : EventLog()) EXPECT_EQ(entry.rfind("loaded", 0), std::string::npos) << entry;
  EXPECT_NE(std::find(EventLog().begin(), EventLog().end(), "free G"), EventLog().end());
}

}  // namespace
