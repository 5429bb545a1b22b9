#include <gtest/gtest.h>

#include "framework/core/TypInfo.h"
#include "tests/framework/core/ComponentFixtures.h"

namespace {

class TypInfoTest : public ::testing::Test {
protected:
  void SetUp() override {
    RegisterGadgetClasses();
    EventLog().clear();
  }
  TComponent owner{nullptr};
};

std::vector<std::string> PropertyNames(const TClassInfo& info) {
  std::vector<std::string> names;
  for (const TPropInfo* p : info.Properties()) names.push_back(p->Name);
  return names;
}

const std::vector<std::string> GadgetProps = {"Name",    "Tag",   "Width", "Enabled", "Style", "Options",
                                              "Caption", "Color", "Buddy", "Font",    "Lines", "Items",
                                              "Data",    "OnClick"};

TEST_F(TypInfoTest, TableListsInheritedPropertiesFirstInDeclarationOrder) {
  EXPECT_EQ(PropertyNames(TGadget::StaticClassInfo()), GadgetProps);
  EXPECT_EQ(PropertyNames(TComponent::StaticClassInfo()), (std::vector<std::string>{"Name", "Tag"}));
  EXPECT_TRUE(PropertyNames(TObject::StaticClassInfo()).empty());
}

TEST_F(TypInfoTest, ClassWithoutDeclarationsHasExactlyItsParentsTable) {
  EXPECT_EQ(PropertyNames(TPlainGadget::StaticClassInfo()), GadgetProps);
  TPlainGadget g(&owner);
  EXPECT_STREQ(g.ClassName(), "TPlainGadget");
  EXPECT_TRUE(g.InheritsFrom(TGadget::StaticClassInfo()));
  EXPECT_FALSE(g.InheritsFrom(TOtherThing::StaticClassInfo()));
}

TEST_F(TypInfoTest, RedeclaredPropertyKeepsItsPlaceAndUsesTheNewSetter) {
  std::vector<std::string> expected = GadgetProps;
  expected.push_back("Margin");
  EXPECT_EQ(PropertyNames(TWideGadget::StaticClassInfo()), expected);
  TWideGadget wide(&owner);
  SetOrdProp(wide, "Width", 7);
  EXPECT_EQ(wide.Width(), 14);
  TGadget plain(&owner);
  SetOrdProp(plain, "Width", 7);
  EXPECT_EQ(plain.Width(), 7);
}

TEST_F(TypInfoTest, HasPublishedPropertyAnswersForOwnInheritedAndMissing) {
  TWideGadget wide(&owner);
  TGadget gadget(&owner);
  struct Case {
    const TObject* obj;
    const char* name;
    bool expected;
  } cases[] = {
      {&wide, "Margin", true},  {&wide, "Width", true},     {&wide, "Name", true},
      {&wide, "margin", true},  {&gadget, "Margin", false}, {&gadget, "UIStyle", false},
      {&gadget, "", false},     {nullptr, "Name", false},   {&gadget, "Font.Name", false},
  };
  for (const Case& c : cases) EXPECT_EQ(HasPublishedProperty(c.obj, c.name), c.expected) << c.name;
}

TEST_F(TypInfoTest, SetByNameRunsTheClassSetterForEveryOrdinalKind) {
  TGadget g(&owner);
  SetOrdProp(g, "Width", -5);
  EXPECT_EQ(g.Width(), 0);  // the setter clamps
  SetPropText(g, "Width", "$20");
  EXPECT_EQ(GetOrdProp(g, "Width"), 32);
  SetPropText(g, "Enabled", "false");
  EXPECT_FALSE(g.Enabled());
  EXPECT_EQ(GetEnumProp(g, "Enabled"), "False");
  SetEnumProp(g, "Style", "gsTeal");
  EXPECT_EQ(g.Style(), gsTeal);
  EXPECT_EQ(g.Color(), 0x808000);  // the setter's side effect
  EXPECT_EQ(GetEnumProp(g, "Style"), "gsTeal");
  SetSetProp(g, "Options", "[goFirst, goThird]");
  EXPECT_EQ(g.Options(), (TGadgetOptions{goFirst, goThird}));
  EXPECT_EQ(GetSetProp(g, "Options"), "[goFirst,goThird]");
  SetSetProp(g, "Options", "[]");
  EXPECT_TRUE(g.Options().Empty());
}

TEST_F(TypInfoTest, ColoursAcceptNumbersAndRegisteredNames) {
  TGadget g(&owner);
  SetPropText(g, "Color", "clBtnFace");
  EXPECT_EQ(static_cast<uint32_t>(g.Color()), 0x8000000Fu);
  SetPropText(g, "Color", "$000000FF");
  EXPECT_EQ(g.Color(), 0xFF);
  SetPropText(g, "Color", "CLTEAL");
  EXPECT_EQ(g.Color(), 0x808000);
  std::string ident;
  EXPECT_TRUE(IntegerToIdent("TColor", 0x808000, ident));
  EXPECT_EQ(ident, "clTeal");
  EXPECT_THROW(SetPropText(g, "Color", "clNoSuchColour"), EPropertyError);
  EXPECT_THROW(SetPropText(g, "Width", "clTeal"), EPropertyError);  // Integer has no such map
}

TEST_F(TypInfoTest, StringsReferencesObjectsListsAndBytesByName) {
  TGadget g(&owner), other(&owner);
  SetStrProp(g, "Caption", "Convert");
  EXPECT_EQ(GetStrProp(g, "Caption"), "Convert");
  SetComponentProp(g, "Buddy", &other);
  EXPECT_EQ(g.Buddy(), &other);
  EXPECT_EQ(GetObjectProp(g, "Buddy"), &other);
  SetComponentProp(g, "Buddy", nullptr);
  EXPECT_EQ(g.Buddy(), nullptr);
  EXPECT_EQ(GetObjectProp(g, "Font"), g.Font());
  SetStrProp(*g.Font(), "Name", "Tahoma");
  EXPECT_EQ(g.Font()->Name(), "Tahoma");
  const TPropInfo& lines = RequirePropInfo(*g.Lines(), "Strings");
  lines.SetList(*g.Lines(), {"a", "b"});
  EXPECT_EQ(g.Lines()->Text(), "a\r\nb\r\n");
  const TPropInfo& data = RequirePropInfo(g, "Data");
  data.SetBytes(g, {1, 2, 255});
  EXPECT_EQ(data.GetBytes(g), (std::vector<uint8_t>{1, 2, 255}));
}

TEST_F(TypInfoTest, ComponentOfAnotherClassIsRefused) {
  TGadget g(&owner);
  TOtherThing thing(&owner);
  thing.SetName("Thing");
  EXPECT_THROW(SetComponentProp(g, "Buddy", &thing), EPropertyError);
  EXPECT_EQ(g.Buddy(), nullptr);
}

TEST_F(TypInfoTest, EventsBindToHandlerMethodsOfTheRightType) {
  TGadgetForm form;
  TGadget* g = new TGadget(&form);
  g->SetName("G");
  const TMethodInfo* handler = form.ClassInfo().FindMethod("gadget1click");
  ASSERT_NE(handler, nullptr);
  SetMethodProp(*g, "OnClick", handler->Bind(form));
  EXPECT_TRUE(RequirePropInfo(*g, "OnClick").HasMethod(*g));
  g->Click();
  EXPECT_EQ(form.clicks, (std::vector<std::string>{"1:G"}));
  const TMethodInfo* wrong = form.ClassInfo().FindMethod("WrongSignature");
  ASSERT_NE(wrong, nullptr);
  EXPECT_THROW(SetMethodProp(*g, "OnClick", wrong->Bind(form)), EPropertyError);
  SetMethodProp(*g, "OnClick", std::any());
  EXPECT_FALSE(RequirePropInfo(*g, "OnClick").HasMethod(*g));
  EXPECT_EQ(form.ClassInfo().FindMethod("Missing"), nullptr);
}

TEST_F(TypInfoTest, WrongNamesKindsAndValuesRaise) {
  TGadget g(&owner);
  EXPECT_THROW(SetOrdProp(g, "Missing", 1), EPropertyError);
  EXPECT_THROW(SetOrdProp(g, "Caption", 1), EPropertyError);
  EXPECT_THROW(SetStrProp(g, "Width", "1"), EPropertyError);
  EXPECT_THROW(SetEnumProp(g, "Style", "gsNone"), EPropertyError);
  EXPECT_THROW(SetSetProp(g, "Options", "[goFourth]"), EPropertyError);
  EXPECT_THROW(SetPropText(g, "Width", "12x"), EPropertyError);
  EXPECT_THROW(SetPropText(g, "Font", "x"), EPropertyError);
  EXPECT_EQ(g.Style(), gsPlain);
  try {
    SetOrdProp(g, "Missing", 1);
  } catch (const EPropertyError& e) {
    EXPECT_EQ(e.Message(), "Class TGadget has no property Missing");
  }
}

TEST_F(TypInfoTest, RegistryCreatesComponentsByClassName) {
  TComponent* c = CreateComponentByClassName("twidegadget", &owner);
  EXPECT_STREQ(c->ClassName(), "TWideGadget");
  EXPECT_EQ(c->Owner(), &owner);
  EXPECT_EQ(FindComponentClass("TGadget"), &TGadget::StaticClassInfo());
  EXPECT_EQ(FindComponentClass("TNope"), nullptr);
  EXPECT_THROW(CreateComponentByClassName("TNope", &owner), EClassNotFound);
  EXPECT_EQ(owner.ComponentCount(), 1);
}

TEST(EnumInfoTest, NamesAndOrdinals) {
  int64_t v = -1;
  EXPECT_TRUE(GadgetStyleInfo.ValueOf("GSBOLD", v));
  EXPECT_EQ(v, 1);
  EXPECT_FALSE(GadgetStyleInfo.ValueOf("gsBol", v));
  EXPECT_EQ(GadgetStyleInfo.NameOf(2), "gsTeal");
  EXPECT_EQ(GadgetStyleInfo.NameOf(3), "");
  EXPECT_EQ(GadgetStyleInfo.NameOf(-1), "");
}

}  // namespace
