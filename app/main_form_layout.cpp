// The controls of the main window, placed as the form resource places them.
#include "app/main_form.h"
#include "app/main_texts.h"
#include "controls/frame_controller.h"
#include "controls/rz_animator.h"
#include "controls/rz_buttons.h"
#include "controls/rz_edits.h"
#include "controls/rz_page_control.h"
#include "controls/rz_progress_bar.h"
#include "controls/rz_status_bar.h"
#include "platform/stdctrls/bars.h"
#include "platform/stdctrls/bit_btn.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/edit.h"
#include "platform/stdctrls/image.h"
#include "platform/stdctrls/label.h"
#include "platform/stdctrls/page_control.h"
#include "shellcontrols/rz_tree_view.h"

namespace {

constexpr int kClientWidth = 600;
constexpr int kClientHeight = 470;
constexpr int kPageTop = 64;
constexpr int kButtonRow = 400;

template <class T>
T* Make(TComponent* owner, TWinControl* parent, const char* name, int left, int top, int width, int height) {
    auto* control = new T(owner);
    control->SetName(name);
    control->SetParent(parent);
    control->SetBounds(left, top, width, height);
    return control;
}

TLabel* MakeLabel(TComponent* owner, TWinControl* parent, const char* name, const std::string& caption,
                  int left, int top, int width) {
    auto* label = Make<TLabel>(owner, parent, name, left, top, width, 17);
    label->SetAutoSize(false);
    label->SetCaption(caption);
    return label;
}

TRzTabSheet* MakeSheet(TComponent* owner, TRzPageControl* pages, const char* name) {
    auto* sheet = new TRzTabSheet(owner);
    sheet->SetName(name);
    sheet->SetPageControl(pages);
    sheet->SetTabVisible(false);
    return sheet;
}

} // namespace

void TfrmSiteMapMain::BuildControls() {
    SetName(main_text::PlacementName);
    SetCaption(main_text::AppTitle);
    SetBounds(0, 0, kClientWidth + 16, kClientHeight + 38);
    SetClientWidth(kClientWidth);
    SetClientHeight(kClientHeight);
    SetKeyPreview(true);
    frcMain = new TRzFrameController(this);
    frcMain->SetName("frcMain");

    imgLogo = Make<TImage>(this, this, "imgLogo", 8, 6, 200, 52);
    imgLogo->SetCenter(false);
    lblHeader = MakeLabel(this, this, "lblHeader", main_text::HeaderInformation, 220, 22, 370);
    lblHeader->SetAlignment(taRightJustify);
    lblHeader->Font().SetSize(12);
    lblHeader->Font().SetStyle(TFontStyles{fsBold});
    lblHeader->SetHeight(24);

    pcMain = Make<TRzPageControl>(this, this, "pcMain", 0, kPageTop, kClientWidth, kButtonRow - kPageTop - 6);
    // Its tabs are hidden: with the focus it would show none.
    pcMain->SetTabStop(false);
    tsInformation = MakeSheet(this, pcMain, "tsInformation");
    tsStatus = MakeSheet(this, pcMain, "tsStatus");
    tsResults = MakeSheet(this, pcMain, "tsResults");
    tsOutputSettings = MakeSheet(this, pcMain, "tsOutputSettings");
    tsOutputStatus = MakeSheet(this, pcMain, "tsOutputStatus");
    BuildPageInformation();
    BuildPageStatus();
    BuildPageResults();
    BuildPageOutput();
    for (TRzEdit* edit : {editIndex, editWebsite, editOutputFile})
        edit->SetFrameController(frcMain);
    for (TRzMemo* memo : {memoFiles, memoGenerated})
        memo->SetFrameController(frcMain);

    auto wizardButton = [this](const char* name, const char* caption, int left, int tag) {
        auto* button = Make<TRzBitBtn>(this, this, name, left, kButtonRow, 90, 28);
        button->SetCaption(caption);
        button->SetTag(tag);
        button->OnClick = [this](TObject* sender) { ButtonClick(sender); };
        return button;
    };
    btnBack = wizardButton("btnBack", "< &Back", 306, 2);
    btnNext = wizardButton("btnNext", main_text::Next, 402, 1);
    btnCancel = wizardButton("btnCancel", main_text::Close, 502, 3);
}

void TfrmSiteMapMain::BuildPageInformation() {
    TWinControl* page = tsInformation;
    lblIntro = MakeLabel(this, page, "lblIntro",
                         "Choose where the pages of your site come from, then press Next.", 16, 12, 560);
    optLocal = Make<TRzRadioButton>(this, page, "optLocal", 16, 44, 280, 20);
    optLocal->SetCaption("Scan the site's folder on this computer");
    optWebsite = Make<TRzRadioButton>(this, page, "optWebsite", 16, 68, 280, 20);
    optWebsite->SetCaption("Crawl the site on the web");
    optLocal->OnClick = [this](TObject* sender) { optSpiderTypeClick(sender); };
    optWebsite->OnClick = [this](TObject* sender) { optSpiderTypeClick(sender); };

    lblIndexPage = MakeLabel(this, page, "lblIndexPage", "Index page of the site's folder:", 16, 102, 400);
    editIndex = Make<TRzEdit>(this, page, "editIndex", 16, 122, 470, 24);
    editIndex->OnChange = [this](TObject* sender) { editIndexChange(sender); };
    btnBrowseIndex = Make<TRzBitBtn>(this, page, "btnBrowseIndex", 492, 121, 90, 26);
    btnBrowseIndex->SetCaption("Browse...");
    btnBrowseIndex->SetTag(9);

    lblWebsite = MakeLabel(this, page, "lblWebsite", "Website address:", 16, 158, 400);
    editWebsite = Make<TRzEdit>(this, page, "editWebsite", 16, 178, 470, 24);
    editWebsite->OnChange = [this](TObject* sender) { editWebsiteChange(sender); };

    auto profileButton = [this, page](const char* name, const char* caption, int left, int tag) {
        auto* button = Make<TRzBitBtn>(this, page, name, left, 250, 110, 28);
        button->SetCaption(caption);
        button->SetTag(tag);
        return button;
    };
    btnOpenProfile = profileButton("btnOpenProfile", "&Open Profile...", 16, 4);
    btnSaveProfile = profileButton("btnSaveProfile", "Save Profile", 132, 5);
    btnSaveProfileAs = profileButton("btnSaveProfileAs", "Save Profile As...", 248, 12);
    btnProfileOptions = profileButton("btnProfileOptions", "O&ptions...", 364, 0);
    for (TRzBitBtn* button : {btnBrowseIndex, btnOpenProfile, btnSaveProfile, btnSaveProfileAs})
        button->OnClick = [this](TObject* sender) { ButtonClick(sender); };
    btnProfileOptions->OnClick = [this](TObject* sender) { miOptionsClick(sender); };
    btnFtpOptions = profileButton("btnFtpOptions", "FTP S&ettings...", 480, 0);
    btnFtpOptions->SetWidth(102);
    btnFtpOptions->OnClick = [this](TObject*) {
        if (busy_ == 0) ShowOptions(2);
    };
}

void TfrmSiteMapMain::BuildPageStatus() {
    TWinControl* page = tsStatus;
    lblStatusTitle = MakeLabel(this, page, "lblStatusTitle", main_text::Searching, 16, 12, 500);
    lblStatusTitle->Font().SetStyle(TFontStyles{fsBold});
    aniSearch = Make<TRzAnimator>(this, page, "aniSearch", 530, 8, 48, 48);
    lblCurrentURL = MakeLabel(this, page, "lblCurrentURL", main_text::FileLabel, 16, 44, 90);
    lblLookingIn = MakeLabel(this, page, "lblLookingIn", "", 110, 44, 410);
    lblUrlsFound = MakeLabel(this, page, "lblUrlsFound", main_text::FilesFoundLabel, 16, 64, 90);
    lblFileCount = MakeLabel(this, page, "lblFileCount", "", 110, 64, 200);
    lblFileFound = MakeLabel(this, page, "lblFileFound", "", 16, 84, 560);
    memoFiles = Make<TRzMemo>(this, page, "memoFiles", 16, 108, 566, 190);
    memoFiles->SetReadOnly(true);
    memoFiles->SetScrollBars(ssVertical);
    lblTotalFiles = MakeLabel(this, page, "lblTotalFiles", "", 16, 306, 560);
}

void TfrmSiteMapMain::BuildPageResults() {
    TWinControl* page = tsResults;
    tvMap = Make<TRzTreeView>(this, page, "tvMap", 8, 8, 584, 170);
    tvMap->SetFrameController(frcMain);
    lblLinkFileName = MakeLabel(this, page, "lblLinkFileName", "", 8, 182, 584);
    rbOutputFile = Make<TRzRadioButton>(this, page, "rbOutputFile", 8, 204, 200, 20);
    rbOutputFile->SetCaption("Save the site map to this file:");
    rbOutputFile->OnClick = [this](TObject* sender) { rbOutputClick(sender); };
    editOutputFile = Make<TRzEdit>(this, page, "editOutputFile", 8, 226, 484, 24);
    editOutputFile->OnChange = [this](TObject* sender) { editOutputFileChange(sender); };
    btnOutputFileBrowse = Make<TRzBitBtn>(this, page, "btnOutputFileBrowse", 498, 225, 90, 26);
    btnOutputFileBrowse->SetCaption("Browse...");
    btnOutputFileBrowse->SetTag(10);
    chkGoogle = Make<TRzCheckBox>(this, page, "chkGoogle", 8, 256, 300, 20);
    chkGoogle->SetCaption("Also write an XML sitemap for search engines");
    chkGoogle->OnClick = [this](TObject* sender) { chkGoogleClick(sender); };
    btnViewOutputFile = Make<TRzBitBtn>(this, page, "btnViewOutputFile", 316, 254, 90, 24);
    btnViewOutputFile->SetCaption("&View");
    btnViewOutputFile->SetTag(14);
    btnFTPFiles = Make<TRzBitBtn>(this, page, "btnFTPFiles", 412, 254, 90, 24);
    btnFTPFiles->SetCaption("FTP Upload...");
    btnFTPFiles->SetTag(18);
    btnCopyToClipboard = Make<TRzBitBtn>(this, page, "btnCopyToClipboard", 508, 254, 80, 24);
    btnCopyToClipboard->SetCaption("Copy");
    btnCopyToClipboard->SetTag(17);
    for (TRzBitBtn* button : {btnOutputFileBrowse, btnViewOutputFile, btnFTPFiles, btnCopyToClipboard}) {
        button->OnClick = [this](TObject* sender) { ButtonClick(sender); };
        button->SetEnabled(button == btnOutputFileBrowse);
    }
    lblGenerationStatus = MakeLabel(this, page, "lblGenerationStatus", "", 8, 282, 584);
    lblGenerationFile = MakeLabel(this, page, "lblGenerationFile", "", 8, 300, 584);
    lblGenerationFile->SetHeight(34);
    lblGenerationFile->SetWordWrap(true);
}

void TfrmSiteMapMain::BuildPageOutput() {
    lblOutputStatus = MakeLabel(this, tsOutputStatus, "lblOutputStatus", "", 16, 12, 560);
    lblGeneratingType = MakeLabel(this, tsOutputStatus, "lblGeneratingType", "", 16, 36, 560);
    pbOutput = Make<TRzProgressBar>(this, tsOutputStatus, "pbOutput", 16, 60, 566, 18);
    memoGenerated = Make<TRzMemo>(this, tsOutputStatus, "memoGenerated", 16, 88, 566, 220);
    memoGenerated->SetReadOnly(true);
    memoGenerated->SetScrollBars(ssBoth);
}

void TfrmSiteMapMain::AnchorControls() {
    // The window as laid out is the smallest that shows every control whole; larger, the edits, the
    // lists and the tree take the room and the buttons stay at the bottom right.
    Constraints().SetMinWidth(Width());
    Constraints().SetMinHeight(Height());
    const TAnchors wide{akLeft, akTop, akRight};
    const TAnchors all{akLeft, akTop, akRight, akBottom};
    const TAnchors topRight{akTop, akRight};
    const TAnchors bottomLeft{akLeft, akBottom};
    const TAnchors bottomRight{akRight, akBottom};
    const TAnchors bottomWide{akLeft, akRight, akBottom};
    struct Rule {
        TControl* control;
        TAnchors anchors;
    };
    const Rule rules[] = {
        {lblHeader, wide},
        {pcMain, all},
        {btnBack, bottomRight},
        {btnNext, bottomRight},
        {btnCancel, bottomRight},
        {lblIntro, wide},
        {editIndex, wide},
        {btnBrowseIndex, topRight},
        {editWebsite, wide},
        {lblStatusTitle, wide},
        {aniSearch, topRight},
        {lblLookingIn, wide},
        {lblFileCount, wide},
        {lblFileFound, wide},
        {memoFiles, all},
        {lblTotalFiles, bottomWide},
        {tvMap, all},
        {lblLinkFileName, bottomWide},
        {rbOutputFile, bottomLeft},
        {editOutputFile, bottomWide},
        {btnOutputFileBrowse, bottomRight},
        {chkGoogle, bottomLeft},
        {btnViewOutputFile, bottomRight},
        {btnFTPFiles, bottomRight},
        {btnCopyToClipboard, bottomRight},
        {lblGenerationStatus, bottomWide},
        {lblGenerationFile, bottomWide},
        {lblOutputStatus, wide},
        {lblGeneratingType, wide},
        {pbOutput, wide},
        {memoGenerated, all},
    };
    for (const Rule& rule : rules)
        rule.control->SetAnchors(rule.anchors);
}
