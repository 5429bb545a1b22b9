#include "tests/app/DescriptionTable.h"

#include <gtest/gtest.h>

#include "framework/core/TypInfo.h"
#include "framework/ui/Menus.h"

namespace apptest {

std::string PropText(const TObject& object, std::string_view path) {
  const size_t dot = path.find('.');
  if (dot != std::string_view::npos)
    return PropText(*GetObjectProp(object, path.substr(0, dot)), path.substr(dot + 1));
  const TPropInfo& prop = RequirePropInfo(object, path);
  switch (prop.Kind) {
    case tkBoolean:
    case tkEnumeration: return GetEnumProp(object, path);
    case tkSet: return GetSetProp(object, path);
    case tkString: return GetStrProp(object, path);
    case tkComponent: {
      const auto* target = dynamic_cast<const TComponent*>(GetObjectProp(object, path));
      return target ? target->Name() : "nil";
    }
    case tkMethod: return prop.HasMethod(object) ? "assigned" : "nil";
    default: {
      const int64_t value = GetOrdProp(object, path);
      std::string ident;
      return IntegerToIdent(prop.TypeName, value, ident) ? ident : std::to_string(value);
    }
  }
}

void ExpectValues(const TObject& object, const TValues& values) {
  for (const auto& [property, expected] : values) EXPECT_EQ(PropText(object, property), expected) << property;
}

std::vector<TValues> MainTitleBarButtons() {
  return {
      {{"ButtonType", "kyrClose"}, {"UIStyle", "MacOS"}, {"Top", "4"}, {"Visible", "True"}, {"Transparent", "False"}},
      {{"ButtonType", "kyrMin"}, {"UIStyle", "MacOS"}, {"Top", "4"}, {"Visible", "True"}, {"Transparent", "False"}},
      {{"ButtonType", "kyrControlBox"}, {"UIStyle", "DeepBlue"}, {"Top", "5"}, {"Visible", "True"},
       {"Transparent", "False"}},
  };
}

std::vector<TValues> MainTitleBarSections() {
  return {
      {{"Align", "kyrLeft"}, {"AutoSize", "True"}, {"Width", "48"}, {"Stretch", "False"}},
      {{"Align", "kyrRight"}, {"AutoSize", "True"}, {"Width", "48"}, {"Stretch", "False"}},
      {{"Align", "kyrClient"}, {"AutoSize", "False"}, {"Width", "10"}, {"Stretch", "True"}},
  };
}

namespace {

// The items of COLLECTION (title-bar buttons, sections), each with the values of its row.
void ExpectItems(const char* what, const TCollection& collection, const std::vector<TValues>& rows) {
  ASSERT_EQ(collection.Count(), static_cast<int>(rows.size()));
  for (size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(what + (" " + std::to_string(i)));
    ExpectValues(*collection.Items(static_cast<int>(i)), rows[i]);
  }
}

// Whose child COMPONENT is: a control's parent, a menu item's menu; "" for neither.
std::string ParentName(const TComponent& component) {
  if (const auto* control = dynamic_cast<const TControl*>(&component))
    return control->Parent() ? control->Parent()->Name() : "";
  if (const auto* item = dynamic_cast<const TMenuItem*>(&component))
    return item->GetParentMenu() ? item->GetParentMenu()->Name() : "";
  return "";
}

}  // namespace

void ExpectTitleBar(const TkyrForm& panel, const std::vector<TValues>& buttons, const std::vector<TValues>& sections) {
  ExpectItems("title-bar button", *panel.TitleBarButtons(), buttons);
  ExpectItems("title-bar section", *panel.TitleBarSections(), sections);
}

void ExpectComponents(TCustomForm& form, const std::vector<TComponentRow>& rows) {
  std::vector<std::string> owned, expected;
  for (int i = 0; i < form.ComponentCount(); ++i) owned.push_back(form.Components(i)->Name());
  for (size_t i = 1; i < rows.size(); ++i) expected.push_back(rows[i].name);
  EXPECT_EQ(owned, expected) << "the window's components, in the order of its description";

  for (const TComponentRow& row : rows) {
    SCOPED_TRACE(row.name);
    TComponent* component = row.name == form.Name() ? &form : form.FindComponent(row.name);
    ASSERT_NE(component, nullptr);
    EXPECT_STREQ(component->ClassName(), row.className);
    EXPECT_EQ(ParentName(*component), row.parent);
    if (row.bounds) {
      const auto& control = dynamic_cast<const TControl&>(*component);
      const TBounds b = *row.bounds;
      EXPECT_EQ((std::vector<int>{control.Left(), control.Top(), control.Width(), control.Height()}),
                (std::vector<int>{b.left, b.top, b.width, b.height}));
    }
    ExpectValues(*component, row.values);
  }
}

}  // namespace apptest
