#include "platform/commctrl/class_registry.h"
#include "platform/commctrl/common_controls.h"

void InitCommonControls() {
    static const bool done = [] {
        using namespace pw::commctrl;
        RegisterStaticClass();
        RegisterButtonClass();
        RegisterEditClass();
        RegisterListBoxClass();
        RegisterComboBoxClass();
        RegisterTreeViewClass();
        RegisterListViewClass();
        RegisterTabControlClass();
        RegisterStatusBarClass();
        RegisterProgressClass();
        return true;
    }();
    (void)done;
}
