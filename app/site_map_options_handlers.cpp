// The profile options window's rules: colours and their preview, the ignore lists, the queries, the
// server list, and the values it takes from and gives back to the profile.
#include <memory>

#include "app/colorpicker/color_picker_button.h"
#include "app/core/ignore_entries.h"
#include "app/core/lm_files.h"
#include "app/core/map_profile.h"
#include "app/core/profile_texts.h"
#include "app/dialog_texts.h"
#include "app/site_map_options_form.h"
#include "controls/rz_buttons.h"
#include "controls/rz_edits.h"
#include "controls/rz_list_controls.h"
#include "controls/rz_page_control.h"
#include "controls/rz_spin_edit.h"
#include "platform/gui/keys.h"
#include "platform/rtl/files.h"
#include "platform/rtl/string_list.h"
#include "platform/rtl/strings.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/label.h"
#include "platform/stdctrls/panels.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"

namespace {

constexpr TColor kNoColor = static_cast<TColor>(-1);
// What a browser shows for a colour the page leaves out, in the order of TPageColor.
constexpr TColor kBrowserColors[pcCount] = {static_cast<TColor>(0xFFFFFF), static_cast<TColor>(0x000000),
                                            static_cast<TColor>(0xFF0000), static_cast<TColor>(0x800080),
                                            static_cast<TColor>(0x0000FF)};

} // namespace

TColorPickerButton* TfrmSiteMapOptions::Picker(TPageColor Which) const {
    TColorPickerButton* const pickers[pcCount] = {cpbBackground, cpbText, cpbLink, cpbVisited, cpbActive};
    return pickers[Which];
}

TPageColor TfrmSiteMapOptions::PickerColor(TObject* Sender) const {
    for (int i = 0; i < pcCount; ++i)
        if (Picker(static_cast<TPageColor>(i)) == Sender) return static_cast<TPageColor>(i);
    return pcCount;
}

void TfrmSiteMapOptions::ShowColor(TPageColor Which, TColor Value) {
    TColorPickerButton* picker = Picker(Which);
    if (Value == kNoColor) {
        ColorPickerDefaultSelect(picker);
        // An unchanged selection reports no change: the colour is set here.
        colors_[Which] = kNoColor;
    } else {
        picker->SetCaption("");
        picker->SetSelectionColor(Value);
        colors_[Which] = Value;
    }
    UpdatePreview();
}

void TfrmSiteMapOptions::ColorPickerDefaultSelect(TObject* Sender) {
    auto* picker = dynamic_cast<TColorPickerButton*>(Sender);
    if (!picker) return;
    takingDefault_ = true;
    picker->SetCaption(picker->DefaultText());
    picker->SetSelectionColor(clBtnFace);
    takingDefault_ = false;
    const TPageColor which = PickerColor(Sender);
    if (which == pcCount) return;
    colors_[which] = kNoColor;
    UpdatePreview();
}

void TfrmSiteMapOptions::ColorPickerChange(TObject* Sender) {
    const TPageColor which = PickerColor(Sender);
    if (which == pcCount) return;
    TColorPickerButton* picker = Picker(which);
    if (takingDefault_) {
        colors_[which] = kNoColor;
        return;
    }
    // A colour chosen after "None" takes the caption's place again.
    picker->SetCaption("");
    colors_[which] = picker->SelectionColor();
    UpdatePreview();
}

void TfrmSiteMapOptions::UpdatePreview() {
    auto shown = [this](TPageColor which) {
        return colors_[which] == kNoColor ? kBrowserColors[which] : colors_[which];
    };
    // The panel is the page: its background is the page's.
    pnlPreview->SetColor(shown(pcBackground));
    pnlPreview->Font().SetColor(shown(pcText));
    lblPage->Font().SetColor(shown(pcText));
    lblLink->Font().SetColor(shown(pcLink));
    lblVisited->Font().SetColor(shown(pcVisited));
    lblActive->Font().SetColor(shown(pcActive));
}

void TfrmSiteMapOptions::btnResetColorsClick(TObject*) {
    for (int i = 0; i < pcCount; ++i)
        ShowColor(static_cast<TPageColor>(i), kBrowserColors[i]);
}

void TfrmSiteMapOptions::btnResetFileTypesClick(TObject*) {
    if (MessageBox(Handle(),
                   std::string(dialog_text::ResetFileTypesQuestion) + profile_text::DefaultFileTypes,
                   dialog_text::ResetFileTypesCaption, MB_YESNO | MB_ICONQUESTION) == IDYES)
        editFileTypes->SetText(profile_text::DefaultFileTypes);
}

bool TfrmSiteMapOptions::AddUnique(TRzListBox& List, const std::string& Entry, bool SayDuplicate) {
    // Paths on this system differ by letter case; addresses typed for a site compare as the list does.
    int at = -1;
    if (LocalMode) {
        for (int i = 0; i < List.Items().Count() && at < 0; ++i)
            if (List.Items()[i] == Entry) at = i;
    } else {
        at = List.IndexOf(Entry);
    }
    if (at < 0) {
        List.Items().Add(Entry);
        UpdateRemoveButtons();
        return true;
    }
    if (SayDuplicate) {
        MessageBox(Handle(), dialog_text::FolderInList, Caption(), MB_OK | MB_ICONINFORMATION);
        List.ClearSelection();
        List.SetSelected(at, true);
        List.SetItemIndex(at);
        UpdateRemoveButtons();
    }
    return false;
}

void TfrmSiteMapOptions::AddWebsiteEntry(TRzListBox& List, bool Folder) {
    std::string typed;
    if (!InputQuery(Folder ? dialog_text::IgnoreFolderCaption : dialog_text::IgnoreFileCaption,
                    Folder ? dialog_text::IgnoreFolderPrompt : dialog_text::IgnoreFilePrompt, typed))
        return;
    if (Trim(typed).empty()) return;
    const std::string entry = WebsiteIgnoreEntry(typed, Folder);
    if (entry.empty()) {
        MessageBox(Handle(), dialog_text::NotWebAddress, Caption(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    AddUnique(List, entry, Folder);
}

void TfrmSiteMapOptions::btnAddFolderClick(TObject*) {
    if (!LocalMode) return AddWebsiteEntry(*lstIgnoreFolders, true);
    const std::string start = IndexPage.empty() ? std::string() : ExtractFilePath(IndexPage);
    if (start.empty() || !DirectoryExists(start)) {
        MessageBox(Handle(), dialog_text::IndexFirst, dialog_text::IndexFirstCaption,
                   MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    // The browser keeps the root it was first given for as long as the window is open.
    if (folderRoot_.empty()) folderRoot_ = start;
    std::string chosen = start;
    if (!SelectDirectory(dialog_text::SelectIgnoreFolder, folderRoot_, chosen) || chosen.empty()) return;
    AddUnique(*lstIgnoreFolders, IncludeBackslash(chosen), true);
}

void TfrmSiteMapOptions::btnFileAddClick(TObject*) {
    if (!LocalMode) return AddWebsiteEntry(*lstIgnoreFiles, false);
    const std::string folder = IndexPage.empty() ? std::string() : ExtractFilePath(IndexPage);
    TOpenDialog dialog(nullptr);
    dialog.SetInitialDir(!folder.empty() && DirectoryExists(folder) ? folder : ProgramFolder());
    dialog.SetFilter("All Files (*.*)|*.*");
    dialog.SetOptions(
        TOpenOptions{ofHideReadOnly, ofAllowMultiSelect, ofPathMustExist, ofFileMustExist, ofEnableSizing});
    if (!dialog.Execute()) return;
    // Kept in their own letter case: the scan compares file paths exactly.
    for (int i = 0; i < dialog.Files().Count(); ++i)
        AddUnique(*lstIgnoreFiles, dialog.Files()[i], false);
}

namespace {

void DeleteSelected(TRzListBox& List) {
    for (int i = List.Items().Count() - 1; i >= 0; --i)
        if (List.Selected(i)) List.Items().Delete(i);
}

} // namespace

void TfrmSiteMapOptions::btnRemoveFolderClick(TObject*) {
    DeleteSelected(*lstIgnoreFolders);
    UpdateRemoveButtons();
}

void TfrmSiteMapOptions::btnFileRemoveClick(TObject*) {
    DeleteSelected(*lstIgnoreFiles);
    UpdateRemoveButtons();
}

void TfrmSiteMapOptions::UpdateRemoveButtons() {
    btnRemoveFolder->SetEnabled(lstIgnoreFolders->SelCount() > 0);
    btnFileRemove->SetEnabled(lstIgnoreFiles->SelCount() > 0);
}

void TfrmSiteMapOptions::ListKeyDown(TRzListBox& List, WORD& Key) {
    if (Key != VK_DELETE) return;
    TRzBitBtn* remove = &List == lstIgnoreFolders ? btnRemoveFolder : btnFileRemove;
    if (remove->Enabled()) remove->Click();
}

void TfrmSiteMapOptions::editQueryAddChange(TObject*) {
    btnQueryAdd->SetEnabled(!Trim(editQueryAdd->Text()).empty());
}

void TfrmSiteMapOptions::btnQueryAddClick(TObject*) {
    // An empty text is found in every query: as an entry it would stop every link with a query.
    const std::string query = Trim(editQueryAdd->Text());
    if (!query.empty()) lstQueries->Items().Add(query);
    editQueryAdd->SetText("");
}

void TfrmSiteMapOptions::btnQueryRemoveClick(TObject*) {
    DeleteSelected(*lstQueries);
    btnQueryRemove->SetEnabled(lstQueries->SelCount() > 0);
}

void TfrmSiteMapOptions::chkAddImagesClick(TObject*) {
    chkNoFolderImages->SetEnabled(chkAddImages->Checked());
}

void TfrmSiteMapOptions::FillServers(const std::string& Selected) {
    std::string lines;
    if (Servers.ServerNames)
        for (const std::string& name : Servers.ServerNames())
            lines += name + '\n';
    cboServer->Items().SetText(lines);
    int at = -1;
    for (int i = 0; i < cboServer->Items().Count() && at < 0; ++i)
        if (SameText(cboServer->Items()[i], Selected)) at = i;
    cboServer->SetItemIndex(at);
}

void TfrmSiteMapOptions::btnEditServerClick(TObject*) {
    if (!Servers.SelectServer) return;
    std::string name = cboServer->Text();
    if (Servers.SelectServer(name) == 1) FillServers(name);
}

bool ShowProfileOptions(TMapProfile& Profile, bool& LoadLast, bool LocalMode, int PageIndex,
                        const TServerDirectory& Servers) {
    std::unique_ptr<TfrmSiteMapOptions> form(new TfrmSiteMapOptions(Application));
    TfrmSiteMapOptions& f = *form;
    f.LocalMode = LocalMode;
    f.Servers = Servers;
    f.IndexPage = Profile.IndexPage();
    f.editFileTypes->SetText(Profile.FileTypes());
    f.lstIgnoreFolders->Items().SetText(Profile.IgnoreFolders());
    f.lstIgnoreFiles->Items().SetText(Profile.IgnoreFiles());
    f.chkUsePageTitles->SetChecked(Profile.UsePageTitles());
    f.chkLoadLast->SetChecked(LoadLast);
    f.chkAddImages->SetChecked(Profile.AddImages());
    f.chkNoFolderImages->SetEnabled(Profile.AddImages());
    f.chkNoFolderImages->SetChecked(Profile.NoFolderImages());
    f.FillServers(Profile.ServerName());
    f.RzBitBtn1->SetEnabled(static_cast<bool>(Servers.SelectServer));
    f.editRemoteUploadDir->SetText(Profile.ServerDir());
    f.cboChangeFreq->SetItemIndex(Profile.DefFreq());
    f.spinPriority->SetValue(Profile.DefPri());
    f.lstQueries->Items().SetText(Profile.FollowQueryPartsList().Text());
    const TColor colors[pcCount] = {Profile.clrBackground(), Profile.clrText(), Profile.clrLink(),
                                    Profile.clrVisited(), Profile.clrActive()};
    for (int i = 0; i < pcCount; ++i)
        f.ShowColor(static_cast<TPageColor>(i), colors[i]);
    f.UpdateRemoveButtons();
    if (PageIndex >= 0 && PageIndex < f.pcMain->PageCount()) f.pcMain->SetActivePageIndex(PageIndex);

    if (f.ShowModal() != mrOk) return false;
    Profile.SetclrBackground(f.EditedColor(pcBackground));
    Profile.SetclrText(f.EditedColor(pcText));
    Profile.SetclrLink(f.EditedColor(pcLink));
    Profile.SetclrVisited(f.EditedColor(pcVisited));
    Profile.SetclrActive(f.EditedColor(pcActive));
    Profile.SetFileTypes(NormalFileTypes(f.editFileTypes->Text()));
    Profile.SetIgnoreFolders(f.lstIgnoreFolders->Items().Text());
    Profile.SetIgnoreFiles(f.lstIgnoreFiles->Items().Text());
    Profile.SetUsePageTitles(f.chkUsePageTitles->Checked());
    Profile.SetDefPri(static_cast<double>(f.spinPriority->Value()));
    const int freq = f.cboChangeFreq->ItemIndex();
    Profile.SetDefFreq(static_cast<ChangeFreqType>(freq < 0 || freq > cfNever ? 0 : freq));
    LoadLast = f.chkLoadLast->Checked();
    Profile.SetServerName(f.cboServer->Text());
    Profile.SetServerDir(f.editRemoteUploadDir->Text());
    Profile.SetAddImages(f.chkAddImages->Checked());
    Profile.SetNoFolderImages(f.chkNoFolderImages->Checked());
    Profile.SetFollowQueryText(f.lstQueries->Items().Text());
    return true;
}
