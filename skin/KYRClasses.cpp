#include "skin/KYRClasses.h"

#include "framework/core/TypInfo.h"
#include "skin/KYRMgr.h"
#include "skin/controls/KYRImagePanel.h"
#include "skin/controls/KYRPopupMenu.h"

void RegisterSkinClasses() {
  static const bool done = [] {
    RegisterComponentClass<TkyrFileTheme>();
    RegisterComponentClass<TkyrPopupMenu>();
    RegisterComponentClass<TkyrImagePanel>();
    return true;
  }();
  (void)done;
}
