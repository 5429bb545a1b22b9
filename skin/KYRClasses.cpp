#include "skin/KYRClasses.h"

#include "framework/core/TypInfo.h"
#include "skin/KYRMgr.h"
#include "skin/controls/KYRPopupMenu.h"

void RegisterSkinClasses() {
  static const bool done = [] {
    RegisterComponentClass<TkyrFileTheme>();
    RegisterComponentClass<TkyrPopupMenu>();
    return true;
  }();
  (void)done;
}
