// The profile options window: its pages as the form resource lays them out.
#include "app/site_map_options_form.h"

#include "app/colorpicker/color_picker_button.h"
#include "app/dialog_texts.h"
#include "controls/frame_controller.h"
#include "controls/placed.h"
#include "controls/rz_buttons.h"
#include "controls/rz_edits.h"
#include "controls/rz_list_controls.h"
#include "controls/rz_page_control.h"
#include "controls/rz_spin_edit.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/label.h"
#include "platform/stdctrls/panels.h"

namespace {

TRzTabSheet* Sheet(TForm* Owner, TRzPageControl* Pages, const char* Name, const char* Caption) {
    auto* sheet = new TRzTabSheet(Owner);
    sheet->SetName(Name);
    sheet->SetPageControl(Pages);
    sheet->SetCaption(Caption);
    return sheet;
}

TRzBitBtn* Button(TForm* Owner, TWinControl* Parent, const char* Name, const char* Caption, int Left, int Top,
                  int Width, int Tag) {
    auto* button = Placed<TRzBitBtn>(Owner, Parent, Name, Left, Top, Width, 25);
    button->SetCaption(Caption);
    button->SetTag(Tag);
    return button;
}

} // namespace

TfrmSiteMapOptions::TfrmSiteMapOptions(TComponent* AOwner) : TForm(AOwner) {
    SetName("frmSiteMapOptions");
    SetCaption("Profile Options");
    SetBorderStyle(bsDialog);
    SetPosition(poOwnerFormCenter);
    SetClientWidth(631);
    SetClientHeight(354);
    frcOptions = new TRzFrameController(this);
    frcOptions->SetName("frcOptions");

    pcMain = Placed<TRzPageControl>(this, this, "pcMain", 8, 8, 615, 306);
    tsFiles = Sheet(this, pcMain, "tsFiles", "&Files and Folders");
    tsColors = Sheet(this, pcMain, "tsColors", "Page &Colors");
    tsFtp = Sheet(this, pcMain, "tsFtp", "FTP Upload");
    tsOutput = Sheet(this, pcMain, "tsOutput", "Output Options");
    tsQueries = Sheet(this, pcMain, "tsQueries", "Queries to Ignore");
    BuildFilesPage();
    BuildColorsPage();
    BuildFtpPage();
    BuildOutputPage();
    BuildQueriesPage();
    pcMain->SetActivePageIndex(0);

    btnOk = Placed<TButton>(this, this, "btnOk", 467, 321, 75, 25);
    btnOk->SetCaption("OK");
    btnOk->SetModalResult(mrOk);
    // Neither button takes Enter or Escape for the window: Enter belongs to the page's own controls
    // (the query edit adds its text), and a stray key must not end the editing of every page.
    btnCancel = Placed<TButton>(this, this, "btnCancel", 548, 321, 75, 25);
    btnCancel->SetCaption("Cancel");
    btnCancel->SetModalResult(mrCancel);
    DoCreate();
}

void TfrmSiteMapOptions::BuildFilesPage() {
    TWinControl* page = tsFiles;
    lblFileTypes = PlacedLabel(this, page, "lblFileTypes",
                               "File &Types to include: Format = *.ext1;*.ext2;*.ext3;", 10, 8, 500);
    editFileTypes = Placed<TRzEdit>(this, page, "editFileTypes", 10, 26, 498, 24);
    lblFileTypes->SetFocusControl(editFileTypes);
    btnResetFileTypes = Button(this, page, "btnResetFileTypes", "Rese&t...", 514, 25, 80, 8);
    btnResetFileTypes->OnClick = [this](TObject* s) { btnResetFileTypesClick(s); };

    lblIgnoreFolders = PlacedLabel(this, page, "lblIgnoreFolders", "Sub Folders to &Ignore:", 10, 58, 286);
    lstIgnoreFolders = Placed<TRzListBox>(this, page, "lstIgnoreFolders", 10, 76, 286, 112);
    lblIgnoreFolders->SetFocusControl(lstIgnoreFolders);
    btnAddFolder = Button(this, page, "btnAddFolder", "&Add...", 10, 192, 75, 6);
    btnRemoveFolder = Button(this, page, "btnRemoveFolder", "&Remove", 91, 192, 75, 7);
    lblIgnoreFiles = PlacedLabel(this, page, "lblIgnoreFiles", "Files to Igno&re:", 308, 58, 286);
    lstIgnoreFiles = Placed<TRzListBox>(this, page, "lstIgnoreFiles", 308, 76, 286, 112);
    lblIgnoreFiles->SetFocusControl(lstIgnoreFiles);
    btnFileAdd = Button(this, page, "btnFileAdd", "A&dd...", 308, 192, 75, 15);
    btnFileRemove = Button(this, page, "btnFileRemove", "R&emove", 389, 192, 75, 16);
    for (TRzListBox* list : {lstIgnoreFolders, lstIgnoreFiles}) {
        list->SetMultiSelect(true);
        list->SetExtendedSelect(true);
        list->SetFrameController(frcOptions);
        list->OnClick = [this](TObject*) { UpdateRemoveButtons(); };
        list->OnKeyDown = [this, list](TObject*, WORD& key, TShiftState) { ListKeyDown(*list, key); };
    }
    btnAddFolder->OnClick = [this](TObject* s) { btnAddFolderClick(s); };
    btnRemoveFolder->OnClick = [this](TObject* s) { btnRemoveFolderClick(s); };
    btnFileAdd->OnClick = [this](TObject* s) { btnFileAddClick(s); };
    btnFileRemove->OnClick = [this](TObject* s) { btnFileRemoveClick(s); };

    grpOptions = Placed<TGroupBox>(this, page, "grpOptions", 10, 224, 584, 48);
    grpOptions->SetCaption(" Options ");
    chkUsePageTitles = Placed<TRzCheckBox>(this, grpOptions, "chkUsePageTitles", 12, 20, 270, 20);
    chkUsePageTitles->SetCaption("&Use Page Titles from TITLE Tags");
    chkLoadLast = Placed<TRzCheckBox>(this, grpOptions, "chkLoadLast", 290, 20, 286, 20);
    chkLoadLast->SetCaption("&Load Last Saved Profile on next Startup");
    editFileTypes->SetFrameController(frcOptions);
}

void TfrmSiteMapOptions::BuildColorsPage() {
    TWinControl* page = tsColors;
    grpColors = Placed<TGroupBox>(this, page, "grpColors", 10, 8, 260, 222);
    grpColors->SetCaption(" Output Page Colors ");
    struct Row {
        TColorPickerButton* TfrmSiteMapOptions::*Field;
        const char* Name;
        const char* Caption;
    };
    const Row rows[] = {
        {&TfrmSiteMapOptions::cpbBackground, "cpbBackground", "Background"},
        {&TfrmSiteMapOptions::cpbText, "cpbText", "Text"},
        {&TfrmSiteMapOptions::cpbLink, "cpbLink", "Link"},
        {&TfrmSiteMapOptions::cpbVisited, "cpbVisited", "Visited Link"},
        {&TfrmSiteMapOptions::cpbActive, "cpbActive", "Active Link"},
    };
    int top = 26;
    for (const Row& row : rows) {
        PlacedLabel(this, grpColors, (std::string("lblClr") + (row.Name + 3)).c_str(), row.Caption, 14,
                    top + 4, 100);
        auto* picker = Placed<TColorPickerButton>(this, grpColors, row.Name, 120, top, 124, 26);
        picker->SetCustomText("More Colors");
        picker->SetDefaultText("None");
        picker->OnChange = [this](TObject* s) { ColorPickerChange(s); };
        picker->OnDefaultSelect = [this](TObject* s) { ColorPickerDefaultSelect(s); };
        this->*row.Field = picker;
        top += 38;
    }
    btnResetColors = Button(this, page, "btnResetColors", "Reset Colors To Defaults", 10, 240, 260, 13);
    btnResetColors->OnClick = [this](TObject* s) { btnResetColorsClick(s); };

    lblPreview = PlacedLabel(this, page, "lblPreview", "Page Preview:", 286, 8, 300);
    pnlPreview = Placed<TPanel>(this, page, "pnlPreview", 286, 26, 308, 204);
    pnlPreview->SetBevelOuter(bvLowered);
    pnlPreview->SetCaption("");
    const std::pair<TLabel * TfrmSiteMapOptions::*, const char*> samples[] = {
        {&TfrmSiteMapOptions::lblPage, "Page Text will look like this!"},
        {&TfrmSiteMapOptions::lblLink, "Links will look like this!"},
        {&TfrmSiteMapOptions::lblVisited, "Visited Links will look like this!"},
        {&TfrmSiteMapOptions::lblActive, "Active Links will look like this!"},
    };
    const char* names[] = {"lblPage", "lblLink", "lblVisited", "lblActive"};
    top = 30;
    for (size_t i = 0; i < 4; ++i) {
        TLabel* label = PlacedLabel(this, pnlPreview, names[i], samples[i].second, 20, top, 270);
        label->SetTransparent(true);
        if (i > 0) label->Font().SetStyle(TFontStyles{fsUnderline});
        this->*samples[i].first = label;
        top += 40;
    }
}

void TfrmSiteMapOptions::BuildFtpPage() {
    TWinControl* page = tsFtp;
    lblServer = PlacedLabel(this, page, "lblServer", "Server to Upload SiteMap to:", 10, 12, 400);
    cboServer = Placed<TRzComboBox>(this, page, "cboServer", 10, 30, 300, 24);
    cboServer->SetStyle(csDropDownList);
    cboServer->SetFrameController(frcOptions);
    RzBitBtn1 = Button(this, page, "RzBitBtn1", "Edit/Add Server", 318, 29, 130, 0);
    RzBitBtn1->OnClick = [this](TObject* s) { btnEditServerClick(s); };
    lblRemoteDir = PlacedLabel(this, page, "lblRemoteDir",
                               "Remote Folder to upload to: (If different from initial host folder) IE: "
                               "public_html/sitemap/",
                               10, 70, 590);
    lblRemoteDir->SetShowAccelChar(false);
    editRemoteUploadDir = Placed<TRzEdit>(this, page, "editRemoteUploadDir", 10, 88, 438, 24);
    editRemoteUploadDir->SetFrameController(frcOptions);
}

void TfrmSiteMapOptions::BuildOutputPage() {
    TWinControl* page = tsOutput;
    grpOutput = Placed<TGroupBox>(this, page, "grpOutput", 10, 8, 584, 160);
    grpOutput->SetCaption(" Output Options ");
    chkAddImages = Placed<TRzCheckBox>(this, grpOutput, "chkAddImages", 14, 24, 300, 20);
    chkAddImages->SetCaption("Add Images for Items");
    chkAddImages->OnClick = [this](TObject* s) { chkAddImagesClick(s); };
    chkNoFolderImages = Placed<TRzCheckBox>(this, grpOutput, "chkNoFolderImages", 34, 48, 300, 20);
    chkNoFolderImages->SetCaption("Don't include images for folders");
    lblChangeFreq = PlacedLabel(this, grpOutput, "lblChangeFreq", "Default &Change Frequency:", 14, 88, 170);
    cboChangeFreq = Placed<TRzComboBox>(this, grpOutput, "cboChangeFreq", 190, 84, 140, 24);
    cboChangeFreq->SetStyle(csDropDownList);
    cboChangeFreq->Items().SetText(dialog_text::ChangeFrequencies);
    cboChangeFreq->SetFrameController(frcOptions);
    lblChangeFreq->SetFocusControl(cboChangeFreq);
    lblPriority = PlacedLabel(this, grpOutput, "lblPriority", "Default &Priority:", 14, 122, 170);
    spinPriority = Placed<TRzSpinEdit>(this, grpOutput, "spinPriority", 190, 118, 70, 24);
    spinPriority->SetMax(1);
    spinPriority->SetIntegersOnly(false);
    spinPriority->SetDecimals(1);
    spinPriority->SetIncrement(0.1L);
    spinPriority->SetFrameController(frcOptions);
    lblPriority->SetFocusControl(spinPriority);
}

void TfrmSiteMapOptions::BuildQueriesPage() {
    TWinControl* page = tsQueries;
    lblQueryInfo = Placed<TLabel>(this, page, "lblQueryInfo", 10, 8, 584, 52);
    lblQueryInfo->SetAutoSize(false);
    lblQueryInfo->SetWordWrap(true);
    lblQueryInfo->SetShowAccelChar(false);
    lblQueryInfo->SetCaption(dialog_text::QueryInfo);
    lblQueries =
        PlacedLabel(this, page, "lblQueries", "Ignore queries containing the following text:", 10, 66, 400);
    lstQueries = Placed<TRzListBox>(this, page, "lstQueries", 10, 84, 420, 150);
    lstQueries->SetMultiSelect(true);
    lstQueries->SetExtendedSelect(true);
    lstQueries->SetFrameController(frcOptions);
    lstQueries->OnClick = [this](TObject*) { btnQueryRemove->SetEnabled(lstQueries->SelCount() > 0); };
    editQueryAdd = Placed<TRzEdit>(this, page, "editQueryAdd", 10, 242, 338, 24);
    editQueryAdd->SetFrameController(frcOptions);
    editQueryAdd->OnChange = [this](TObject* s) { editQueryAddChange(s); };
    editQueryAdd->OnKeyPress = [this](TObject* s, char& key) {
        if (key != '\r') return;
        key = 0;
        btnQueryAddClick(s);
    };
    btnQueryAdd = Button(this, page, "btnQueryAdd", "Add", 355, 241, 75, 0);
    btnQueryAdd->SetEnabled(false);
    btnQueryAdd->OnClick = [this](TObject* s) { btnQueryAddClick(s); };
    btnQueryRemove = Button(this, page, "btnQueryRemove", "Remove", 440, 84, 75, 0);
    btnQueryRemove->SetEnabled(false);
    btnQueryRemove->OnClick = [this](TObject* s) { btnQueryRemoveClick(s); };
}
