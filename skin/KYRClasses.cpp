#include "skin/KYRClasses.h"

#include "framework/core/TypInfo.h"
#include "skin/KYRStyled.h"
#include "skin/controls/KYRButton.h"
#include "skin/controls/KYRDBCtrls.h"
#include "skin/controls/KYRImagePanel.h"
#include "skin/controls/KYRMainMenu.h"
#include "skin/controls/KYRMemo.h"
#include "skin/controls/KYRPopupMenu.h"
#include "skin/controls/KYRScrollBar.h"
#include "skin/controls/KYRToolBar.h"
#include "skin/controls/KYRTrackBar.h"
#include "skin/controls/KYRURLLabel.h"
#include "skin/frame/KYRForm.h"
#include "skin/frame/KYRMDIForm.h"
#include "skin/frame/KYRTitleBar.h"

void RegisterSkinClasses() {
  static const bool done = [] {
    RegisterComponentClass<TkyrFileTheme>();
    RegisterComponentClass<TkyrPopupMenu>();
    RegisterComponentClass<TkyrMainMenu>();
    RegisterComponentClass<TkyrMDIForm>();
    RegisterComponentClass<TkyrTrackBar>();
    RegisterComponentClass<TkyrTitleBar>();
    RegisterComponentClass<TkyrTitleBarPopupMenu>();
    RegisterComponentClass<TkyrImagePanel>();
    RegisterComponentClass<TkyrButton>();
    RegisterComponentClass<TkyrImageButton>();
    RegisterComponentClass<TkyrToolBarSpeedButton>();
    RegisterComponentClass<TkyrURLLabel>();
    RegisterComponentClass<TkyrForm>();
    RegisterComponentClass<TkyrScrollBar>();
    RegisterComponentClass<TkyrMemo>();
    RegisterComponentClass<TkyrDBNavigator>();
    RegisterComponentClass<TkyrToolBar>();
    return true;
  }();
  (void)done;
}
