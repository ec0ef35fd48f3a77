#pragma once
// Registration of each window class of the library; InitCommonControls calls them all.
namespace pw::commctrl {
void RegisterStaticClass();
void RegisterButtonClass();
void RegisterEditClass();
void RegisterListBoxClass();
void RegisterComboBoxClass();
void RegisterTreeViewClass();
void RegisterListViewClass();
void RegisterTabControlClass();
void RegisterStatusBarClass();
void RegisterProgressClass();
} // namespace pw::commctrl
