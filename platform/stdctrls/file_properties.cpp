#include "platform/stdctrls/file_properties.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>

#include "platform/gui/keys.h"
#include "platform/rtl/files.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/label.h"
#include "platform/stdctrls/shell_menu.h"
#include "platform/vcl/application.h"

namespace {

// 1234567 as "1,234,567".
std::string Grouped(unsigned long long n) {
    std::string digits = std::to_string(n);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<size_t>(at), ",");
    return digits;
}

std::string SizeText(unsigned long long bytes) {
    const std::string exact = Grouped(bytes) + (bytes == 1 ? " byte" : " bytes");
    if (bytes < 1000) return exact;
    const char* units[] = {"kB", "MB", "GB", "TB"};
    double value = static_cast<double>(bytes);
    int unit = -1;
    while (value >= 1000 && unit < 3) {
        value /= 1000;
        ++unit;
    }
    char shortText[32];
    std::snprintf(shortText, sizeof shortText, "%.1f %s", value, units[unit]);
    return std::string(shortText) + " (" + exact + ")";
}

std::string AccessOf(mode_t mode, mode_t read, mode_t write, mode_t run) {
    std::string text = (mode & read) && (mode & write) ? "read and write"
                       : (mode & read)                 ? "read only"
                       : (mode & write)                ? "write only"
                                                       : "no access";
    if (mode & run) text += ", run";
    return text;
}

std::string PermissionsText(mode_t mode) {
    std::string bits;
    for (mode_t bit : {S_IRUSR, S_IWUSR, S_IXUSR, S_IRGRP, S_IWGRP, S_IXGRP, S_IROTH, S_IWOTH, S_IXOTH})
        bits += (mode & bit) ? "rwx"[bits.size() % 3] : '-';
    return bits + "  (owner: " + AccessOf(mode, S_IRUSR, S_IWUSR, S_IXUSR) +
           "; group: " + AccessOf(mode, S_IRGRP, S_IWGRP, S_IXGRP) +
           "; others: " + AccessOf(mode, S_IROTH, S_IWOTH, S_IXOTH) + ")";
}

} // namespace

namespace stdctrls_detail {

std::vector<std::pair<std::string, std::string>> FilePropertyRows(const std::string& file) {
    const std::string absolute = ExpandFileName(file);
    std::vector<std::pair<std::string, std::string>> rows{{"Name:", ExtractFileName(absolute)},
                                                          {"Folder:", ExtractFileDir(absolute)}};
    struct stat st {};
    if (stat(absolute.c_str(), &st) != 0) {
        rows.emplace_back("Error:", std::strerror(errno));
        return rows;
    }
    rows.emplace_back("Size:", SizeText(static_cast<unsigned long long>(st.st_size)));
    std::tm local{};
    localtime_r(&st.st_mtime, &local);
    char when[40];
    std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &local);
    rows.emplace_back("Modified:", when);
    rows.emplace_back("Permissions:", PermissionsText(st.st_mode));
    return rows;
}

} // namespace stdctrls_detail

TFilePropertiesForm::TFilePropertiesForm(TComponent* AOwner, const std::string& File) : TForm(AOwner) {
    const auto rows = stdctrls_detail::FilePropertyRows(File);
    SetCaption(ExtractFileName(ExpandFileName(File)) + " Properties");
    SetBorderStyle(bsDialog);
    SetPosition(poOwnerFormCenter);
    constexpr int kRow = 24, kCaptionWidth = 80, kValueWidth = 330;
    int y = 14;
    for (const auto& [caption, value] : rows) {
        auto* name = new TLabel(this);
        name->SetParent(this);
        name->SetBounds(12, y, kCaptionWidth, kRow);
        name->SetCaption(caption);
        auto* text = new TLabel(this);
        text->SetParent(this);
        text->SetShowAccelChar(false);
        text->SetAutoSize(false);
        text->SetWordWrap(caption == "Permissions:" || caption == "Folder:");
        text->SetBounds(12 + kCaptionWidth, y, kValueWidth, caption == "Permissions:" ? 2 * kRow : kRow);
        text->SetCaption(value);
        Rows.emplace_back(name, text);
        y += caption == "Permissions:" ? 2 * kRow : kRow;
    }
    btnOK = new TButton(this);
    btnOK->SetParent(this);
    btnOK->SetCaption("OK");
    btnOK->SetBounds(12 + kCaptionWidth + kValueWidth - 80, y + 8, 80, 25);
    btnOK->SetDefault(true);
    btnOK->SetCancel(true);
    btnOK->SetModalResult(mrOk);
    SetClientWidth(12 + kCaptionWidth + kValueWidth + 12);
    SetClientHeight(y + 8 + 25 + 12);
    // Escape leaves it as any dialog.
    SetKeyPreview(true);
    OnKeyDown = [this](TObject*, WORD& Key, TShiftState Shift) {
        if (Key != VK_ESCAPE || !Shift.Empty()) return;
        Key = 0;
        SetModalResult(mrCancel);
    };
    DoCreate();
}

void pw::stdctrls::ShowFileProperties(const std::string& file) {
    std::unique_ptr<TFilePropertiesForm> form(new TFilePropertiesForm(Application, file));
    form->ShowModal();
}
