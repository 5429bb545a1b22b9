#include "framework/ui/ComponentClasses.h"

#include "framework/graphics/ImgList.h"
#include "framework/ui/ComCtrls.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/ExtCtrls.h"
#include "framework/ui/Forms.h"
#include "framework/ui/Menus.h"
#include "framework/ui/StdCtrls.h"

void RegisterFrameworkClasses() {
  static const bool done = [] {
    RegisterComponentClass<TForm>();
    RegisterComponentClass<TPanel>();
    RegisterComponentClass<TLabel>();
    RegisterComponentClass<TButton>();
    RegisterComponentClass<TMemo>();
    RegisterComponentClass<TTimer>();
    RegisterComponentClass<TMainMenu>();
    RegisterComponentClass<TPopupMenu>();
    RegisterComponentClass<TMenuItem>();
    RegisterComponentClass<TOpenDialog>();
    RegisterComponentClass<TSaveDialog>();
    RegisterComponentClass<TApplicationEvents>();
    RegisterComponentClass<TImageList>();
    RegisterComponentClass<TToolBar>();
    RegisterComponentClass<TToolButton>();
    return true;
  }();
  (void)done;
}
