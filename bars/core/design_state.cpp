// The usage reset: a copy of the manager as the form was designed, read from the form's stored
// definition, gives every link back its designed most-recently-used mark.
#include <memory>
#include <string>
#include <vector>

#include "bars/core/bar_manager.h"
#include "bars/core/bar_strings.h"
#include "bars/core/bar_unit.h"
#include "bars/core/item_links.h"
#include "bars/core/sub_item.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "platform/rtl/component_stream.h"
#include "platform/rtl/object_text.h"
#include "platform/rtl/resource_stream.h"
#include "platform/rtl/stream.h"
#include "platform/rtl/string_stream.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/form.h"
#include "platform/vcl/screen.h"

namespace {

// The root of a design-state copy: an empty form with nothing of its own.
class TdxBarTempForm : public TForm {
public:
    TdxBarTempForm() : TForm(nullptr) {}
    std::string ClassName() const override { return "TdxBarTempForm"; }
};

std::vector<std::string> Lines(const std::string& Text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < Text.size()) {
        size_t end = Text.find('\n', start);
        if (end == std::string::npos) end = Text.size();
        std::string line = Text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::string Trimmed(const std::string& S) {
    size_t b = 0, e = S.size();
    while (b < e && static_cast<unsigned char>(S[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(S[e - 1]) <= ' ')
        --e;
    return S.substr(b, e - b);
}

bool StartsWith(const std::string& S, const std::string& Prefix) {
    return S.compare(0, Prefix.size(), Prefix) == 0;
}

// Restores the screen cursor, the reading flag and the class registration on every path out.
class DesignStateScope {
public:
    explicit DesignStateScope(TCursor Old) : cursor_(Old) {}
    ~DesignStateScope() {
        bars::SetReadingDesignState(false);
        if (!registered_.empty()) UnRegisterClass(registered_);
        if (Screen != nullptr) Screen->SetCursor(cursor_);
    }
    DesignStateScope(const DesignStateScope&) = delete;
    DesignStateScope& operator=(const DesignStateScope&) = delete;
    // Registers the class for reading unless it is known already: only what was registered here is
    // unregistered afterwards, so the program's own registration stays.
    void Register(const std::string& ClassName) {
        if (FindClass(ClassName) != nullptr) return;
        RegisterComponentClass<TdxBarManager>(ClassName);
        registered_ = ClassName;
    }

private:
    TCursor cursor_;
    std::string registered_;
};

} // namespace

std::unique_ptr<TCustomForm> TdxBarManager::CreateDesignStateForm() {
    TCustomForm* form = ParentForm();
    if (form == nullptr) return nullptr;
    const uint8_t* data = nullptr;
    size_t size = 0;
    if (!FindResourceData(form->ClassName(), RT_RCDATA, data, size)) return nullptr;
    DesignStateScope scope(Screen != nullptr ? Screen->Cursor() : crDefault);
    if (Screen != nullptr) Screen->SetCursor(crHourGlass);

    TMemoryStream binary;
    binary.WriteBuffer(data, static_cast<int64_t>(size));
    binary.SetPosition(0);
    TStringStream text;
    ObjectBinaryToText(binary, text);
    const std::vector<std::string> lines = Lines(text.DataString());

    // The form's own size: its first two size lines, indented by exactly two.
    std::vector<std::string> result;
    for (size_t i = 1; i < lines.size() && result.size() < 2; ++i) {
        const std::string rest = lines[i].size() > 2 ? lines[i].substr(2) : std::string();
        if (!StartsWith(lines[i], "  ") || rest.empty() || rest[0] == ' ') continue;
        for (const char* name : {"Width =", "Height =", "ClientWidth =", "ClientHeight ="})
            if (StartsWith(rest, name)) {
                result.push_back(lines[i]);
                break;
            }
    }
    // The manager's block, searched from the first property on: a form with few properties of its
    // own has the manager within its first lines.
    const std::string header = "object " + Name() + ": " + ClassName();
    size_t at = lines.size();
    for (size_t i = 1; i < lines.size(); ++i)
        if (Trimmed(lines[i]) == header) {
            at = i;
            break;
        }
    if (at == lines.size()) return nullptr;
    const std::string endLine = lines[at].substr(0, lines[at].find('o')) + "end";
    for (size_t i = at; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        // Events name the designed form's methods, which the copy has none of.
        const std::string left = line.substr(std::min(line.find_first_not_of(' '), line.size()));
        if (!StartsWith(left, "On")) result.push_back(line);
        if (line == endLine) break;
    }
    result.insert(result.begin(), "object TempForm: TdxBarTempForm");
    result.push_back("end");

    std::string copyText;
    for (const std::string& line : result)
        copyText += line + "\n";
    TStringStream copyStream(copyText);
    TMemoryStream copyBinary;
    ObjectTextToBinary(copyStream, copyBinary);
    copyBinary.SetPosition(0);

    auto copy = std::make_unique<TdxBarTempForm>();
    scope.Register(ClassName());
    bars::SetReadingDesignState(true);
    ReadComponent(copyBinary, copy.get());
    bars::SetReadingDesignState(false);
    if (auto* manager = dynamic_cast<TdxBarManager*>(copy->FindComponent(Name()))) {
        manager->SetStoreInIniFile(false);
        manager->SetStoreInRegistry(false);
    }
    return copy;
}

void TdxBarManager::ConfirmResetToDesignState() {
    if (Application == nullptr) return;
    const int answer =
        Application->MessageBox(LoadBarString(barstr::ConfirmResetUsageData), Application->Title(),
                                MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
    if (answer != IDYES) return;
    ResetToDesignState();
    NoteUserChange();
}

void TdxBarManager::ResetToDesignState() {
    struct Lock {
        TdxBarManager* manager;
        bool old;
        ~Lock() { manager->SetLockUpdate(old); }
    } lock{this, lockUpdate_};
    SetLockUpdate(true);
    std::unique_ptr<TCustomForm> form = CreateDesignStateForm();
    if (form == nullptr) return;
    auto* copy = dynamic_cast<TdxBarManager*>(form->FindComponent(Name()));
    if (copy == nullptr) return;
    for (TdxBarItem* item : std::vector<TdxBarItem*>(items_))
        if (auto* subItem = dynamic_cast<TCustomdxBarSubItem*>(item))
            if (auto* design = dynamic_cast<TCustomdxBarSubItem*>(form->FindComponent(subItem->Name())))
                subItem->ItemLinks()->AssignRecentStateByName(design->ItemLinks());
    // Bars are matched by name: a bar the user added, or one whose place in the list changed, never
    // takes another bar's marks.
    for (int i = 0; i < bars_->Count(); ++i) {
        TdxBar* bar = bars_->Items(i);
        TdxBar* design = bar->Name().empty() ? nullptr : copy->BarByName(bar->Name());
        if (design != nullptr) bar->ItemLinks()->AssignRecentStateByName(design->ItemLinks());
    }
}
