#include "bars/core/bar_strings.h"

#include <algorithm>
#include <iterator>

#include "lookandfeel/localizer.h"

namespace {

struct Entry {
    int id;
    const char* text;
};

// Blanks at the ends belong to the texts: page captions carry one on each side, headings two after.
constexpr Entry kStrings[] = {
    {65072, "&Menu animations:"},
    {65073, "(None)"},
    {65074, "Random"},
    {65075, "Unfold"},
    {65076, "Slide"},
    {65077, "Fade"},
    {65088, "Add Category"},
    {65089, "Insert Category"},
    {65090, "Rename Category"},
    {65091, "Add Toolbar"},
    {65092, "Rename Toolbar"},
    {65093, "&Category name:"},
    {65094, "&Toolbar name:"},
    {65095, "... modify"},
    {65096, "Personalized Menus and Toolbars  "},
    {65097, "Me&nus show recently used commands first"},
    {65098, "Show f&ull menus after a short delay"},
    {65099, "&Reset my usage data"},
    {65100, "Other  "},
    {65101, "&Large icons"},
    {65102, "Show Tool&Tips on toolbars"},
    {65103, "Show s&hortcut keys in ToolTips"},
    {65104, "&New..."},
    {65105, "R&ename..."},
    {65106, "&Delete"},
    {65107, "&Reset..."},
    {65108, "Close"},
    {65109, "Customize"},
    {65110, "Cate&gories:"},
    {65111, "Comman&ds:"},
    {65112, "Description  "},
    {65113, "&Customize..."},
    {65114, "&Add or Remove Buttons"},
    {65115, "More Buttons"},
    {65116, "&Reset Toolbar"},
    {65117, "Expand (Ctrl-Down)"},
    {65118, "Drag to make this menu float"},
    {65119, "Custom "},
    {65120, "Add..."},
    {65121, "Rename..."},
    {65122, "Delete"},
    {65123, "Clear"},
    {65124, "Visible"},
    {65125, "OK"},
    {65126, "Cancel"},
    {65127, "SubMenu Editor..."},
    {65128, "Kestrelo SubMenu Editor"},
    {65129, "Insert..."},
    {65130, "Move Up"},
    {65131, "Move Down"},
    {65132, " Toolbars "},
    {65133, " Commands "},
    {65134, " Options "},
    {65135, "Toolb&ars:"},
    {65136, "Default"},
    {65137, "Add &SubItem"},
    {65138, "Add &Button"},
    {65139, "Add &Item"},
    {65140, "Delete Bar"},
    {65141, "&Reset"},
    {65142, "&Delete"},
    {65143, "&Name:"},
    {65144, "&Caption:"},
    {65145, "Defa&ult style"},
    {65146, "&Text Only (Always)"},
    {65147, "Text &Only (in Menus)"},
    {65148, "Image &and Text"},
    {65149, "Begin a &Group"},
    {65150, "&Visible"},
    {65151, "&Most recently used"},
    {65156, "Are you sure you want to reset the changes made to the '%s' toolbar?"},
    {65157, "This will delete the record of the commands you've used in this application and restore the "
            "default set of visible commands to the menus and toolbars. It will not undo any explicit "
            "customizations.   Are you sure you want to proceed?"},
    {65158, "A Form should contain only a single TdxBarManager"},
    {65159, "TdxBarManager should have as its Owner - TForm (TCustomForm)"},
    {65160, "There are no TdxBarManagers available"},
    {65161, "Are you sure you want to delete the '%s' toolbar?"},
    {65162, "Are you sure you want to delete the '%s' category?"},
    {65163, "Are you sure you want to delete all commands in the '%s' category?"},
    {65164, "You cannot create recursive subitems"},
    {65165, "A command name cannot be blank. Please enter a name."},
    {65166, "A toolbar named '%s' already exists. Type another name."},
    {65167, "You cannot create recursive groups"},
};

} // namespace

std::string LoadBarString(int Id) {
    auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), Id,
                               [](const Entry& entry, int id) { return entry.id < id; });
    if (it == std::end(kStrings) || it->id != Id) return {};
    return LocalizeString(it->text);
}

std::string FormatBarString(int Id, const std::string& Argument) {
    std::string text = LoadBarString(Id);
    const size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, Argument);
    return text;
}

std::vector<int> BarStringIds() {
    std::vector<int> ids;
    for (const Entry& entry : kStrings)
        ids.push_back(entry.id);
    return ids;
}
