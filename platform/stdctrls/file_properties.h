#pragma once
// The properties window of one file, as the desktop's file managers show it: name, folder, size, the
// time of its last change and who may read, write and run it.
#include <string>
#include <utility>
#include <vector>

#include "platform/vcl/form.h"

class TButton;
class TLabel;

class TFilePropertiesForm : public TForm {
public:
    TFilePropertiesForm(TComponent* AOwner, const std::string& File);
    std::string ClassName() const override { return "TFilePropertiesForm"; }

    // The captions and values shown, in their order.
    std::vector<std::pair<TLabel*, TLabel*>> Rows;
    TButton* btnOK = nullptr;
};

namespace stdctrls_detail {
// The rows of the window: "Name:", "Folder:", "Size:", "Modified:", "Permissions:" and their texts;
// for a file that cannot be read, its name and folder and a row saying so.
std::vector<std::pair<std::string, std::string>> FilePropertyRows(const std::string& file);
} // namespace stdctrls_detail
