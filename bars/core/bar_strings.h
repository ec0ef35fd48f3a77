#pragma once
// The texts the toolbar library shows, by their string-table ids. Each is passed through the text
// replacements before it is shown.
#include <string>
#include <vector>

namespace barstr {
inline constexpr int MenuAnimations = 65072;
inline constexpr int AnimationNone = 65073;
inline constexpr int AnimationRandom = 65074;
inline constexpr int AnimationUnfold = 65075;
inline constexpr int AnimationSlide = 65076;
inline constexpr int AnimationFade = 65077;
inline constexpr int AddCategory = 65088;
inline constexpr int InsertCategory = 65089;
inline constexpr int RenameCategory = 65090;
inline constexpr int AddToolbar = 65091;
inline constexpr int RenameToolbar = 65092;
inline constexpr int CategoryName = 65093;
inline constexpr int ToolbarName = 65094;
inline constexpr int Modify = 65095;
inline constexpr int PersonalizedHeading = 65096;
inline constexpr int RecentlyUsedFirst = 65097;
inline constexpr int FullMenusAfterDelay = 65098;
inline constexpr int ResetUsageData = 65099;
inline constexpr int OtherHeading = 65100;
inline constexpr int LargeIcons = 65101;
inline constexpr int ShowToolTips = 65102;
inline constexpr int ShowShortCutsInToolTips = 65103;
inline constexpr int NewToolbar = 65104;
inline constexpr int RenameToolbarButton = 65105;
inline constexpr int DeleteToolbar = 65106;
inline constexpr int ResetToolbarButton = 65107;
inline constexpr int Close = 65108;
inline constexpr int Customize = 65109;
inline constexpr int Categories = 65110;
inline constexpr int Commands = 65111;
inline constexpr int Description = 65112;
inline constexpr int CustomizeCommand = 65113;
inline constexpr int AddOrRemoveButtons = 65114;
inline constexpr int MoreButtons = 65115;
inline constexpr int ResetToolbar = 65116;
inline constexpr int Expand = 65117;
inline constexpr int DragToFloat = 65118;
inline constexpr int CustomToolbarPrefix = 65119;
inline constexpr int Add = 65120;
inline constexpr int Rename = 65121;
inline constexpr int Delete = 65122;
inline constexpr int Clear = 65123;
inline constexpr int Visible = 65124;
inline constexpr int Ok = 65125;
inline constexpr int Cancel = 65126;
inline constexpr int SubMenuEditorCommand = 65127;
inline constexpr int SubMenuEditorCaption = 65128;
inline constexpr int Insert = 65129;
inline constexpr int MoveUp = 65130;
inline constexpr int MoveDown = 65131;
inline constexpr int ToolbarsPage = 65132;
inline constexpr int CommandsPage = 65133;
inline constexpr int OptionsPage = 65134;
inline constexpr int Toolbars = 65135;
inline constexpr int DefaultCategory = 65136;
inline constexpr int AddSubItem = 65137;
inline constexpr int AddButton = 65138;
inline constexpr int AddItem = 65139;
inline constexpr int DeleteBar = 65140;
inline constexpr int ResetLink = 65141;
inline constexpr int DeleteLink = 65142;
inline constexpr int NameLabel = 65143;
inline constexpr int CaptionLabel = 65144;
inline constexpr int DefaultStyle = 65145;
inline constexpr int TextOnlyAlways = 65146;
inline constexpr int TextOnlyInMenus = 65147;
inline constexpr int ImageAndText = 65148;
inline constexpr int BeginAGroup = 65149;
inline constexpr int VisibleCommand = 65150;
inline constexpr int MostRecentlyUsed = 65151;
inline constexpr int ConfirmResetToolbar = 65156;
inline constexpr int ConfirmResetUsageData = 65157;
inline constexpr int OneManagerPerForm = 65158;
inline constexpr int OwnerMustBeForm = 65159;
inline constexpr int NoManagers = 65160;
inline constexpr int ConfirmDeleteToolbar = 65161;
inline constexpr int ConfirmDeleteCategory = 65162;
inline constexpr int ConfirmClearCategory = 65163;
inline constexpr int RecursiveSubItems = 65164;
inline constexpr int BlankCommandName = 65165;
inline constexpr int DuplicateToolbarName = 65166;
inline constexpr int RecursiveGroups = 65167;
} // namespace barstr

// The text of Id, as replaced for display; empty for an id that is not in the table.
std::string LoadBarString(int Id);
// The text of Id with its "%s" filled with Argument.
std::string FormatBarString(int Id, const std::string& Argument);
// Every id of the table, in order.
std::vector<int> BarStringIds();
