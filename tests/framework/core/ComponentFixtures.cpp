#include "tests/framework/core/ComponentFixtures.h"

#include <map>

void RegisterGadgetClasses() {
  RegisterComponentClass<TGadget>();
  RegisterComponentClass<TPlainGadget>();
  RegisterComponentClass<TWideGadget>();
  RegisterComponentClass<TOtherThing>();
  RegisterComponentClass<TGadgetForm>();
  static const std::map<std::string, int64_t> colours = {{"clTeal", 0x808000}, {"clBtnFace", 0x8000000F}};
  RegisterIntegerConsts(
      "TColor",
      [](std::string_view ident, int64_t& value) {
        for (const auto& [name, v] : colours)
          if (SameText(name, ident)) {
            value = v;
            return true;
          }
        return false;
      },
      [](int64_t value, std::string& ident) {
        for (const auto& [name, v] : colours)
          if (v == value) {
            ident = name;
            return true;
          }
        return false;
      });
}
