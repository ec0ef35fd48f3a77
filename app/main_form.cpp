// The main window's life: creation, showing, the first activation, closing and destruction.
#include "app/main_form.h"
#include "app/console_message.h"
#include "controls/frame_controller.h"
#include "controls/rz_animator.h"
#include "controls/rz_buttons.h"
#include "controls/rz_edits.h"
#include "controls/rz_page_control.h"
#include "controls/rz_progress_bar.h"
#include "controls/rz_status_bar.h"

#include <algorithm>
#include <iostream>
#include <optional>

#include "app/back_splash_form.h"
#include "app/command_line.h"
#include "app/core/form_placement.h"
#include "app/core/map_profile.h"
#include "app/core/profile_file.h"
#include "app/core/site_map_settings.h"
#include "app/dialog_texts.h"
#include "app/main_texts.h"
#include "app/picture_resources.h"
#include "app/results/result_tree.h"
#include "app/site_map_item_prop_form.h"
#include "app/site_map_run.h"
#include "app/wizard_run_view.h"
#include "bars/core/bar_manager.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/image_list.h"
#include "platform/graphics/picture.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/placement.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/registry.h"
#include "platform/rtl/regular_file.h"
#include "platform/rtl/string_list.h"
#include "platform/stdctrls/bars.h"
#include "platform/stdctrls/bit_btn.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/edit.h"
#include "platform/stdctrls/image.h"
#include "platform/stdctrls/label.h"
#include "platform/stdctrls/page_control.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/screen.h"
#include "shellcontrols/rz_tree_view.h"

TfrmSiteMapMain* frmSiteMapMain = nullptr;

namespace {

constexpr int kGlobeFrames = 11;
constexpr WORD kKeyF1 = 112;
// Posted to itself by a window that runs without being shown.
constexpr UINT kRunUnseen = WM_APP + 1;

} // namespace

TfrmSiteMapMain::TfrmSiteMapMain(TComponent* AOwner) : TForm(AOwner) {
    BuildControls();
    BuildBars();
    OnCreate = [this](TObject* sender) { FormCreate(sender); };
    OnShow = [this](TObject* sender) { FormShow(sender); };
    OnActivate = [this](TObject* sender) { FormActivate(sender); };
    OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
    OnClose = [this](TObject* sender, TCloseAction& action) { FormClose(sender, action); };
    OnKeyUp = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyUp(sender, key, shift); };
    DoCreate();
}

TfrmSiteMapMain::~TfrmSiteMapMain() {
    // The window and its controls are going: they handle no more messages, so the result tree's nodes
    // are freed without a message each to a window that goes anyway.
    Destroying();
    // Runs here rather than from the base class, while every member is still alive.
    FormDestroy(this);
    if (frmSiteMapMain == this) frmSiteMapMain = nullptr;
}

void TfrmSiteMapMain::FormCreate(TObject*) {
    FirstActivate_ = true;
    PageIndex_ = 0;
    AutoMode_ = false;
    CommandLineProfile_.clear();
    IgnoreFolderList_ = std::make_unique<TStringList>();
    IgnoreFileList_ = std::make_unique<TStringList>();
    Profile_ = std::make_unique<TMapProfile>();
    ApplyNewProfileDefaults(*Profile_);
    run_ = std::make_unique<TSiteMapRun>(*tvMap, *Profile_, *IgnoreFolderList_, *IgnoreFileList_, this);
    runView_ = std::make_unique<mainwin::WizardRunView>(*this);
    run_->SetView(runView_.get());
    results::TResultTree& resultTree = run_->Tree();
    resultTree.OnOutputReset = [this] { ResetOutputDone(); };
    resultTree.OnStatusText = [this](const std::string& text) { lblLinkFileName->SetCaption(text); };
    resultTree.OnPopupMenu = [this](POINT, const results::ResultMenuState& state) { ResultMenuPopup(state); };
    resultTree.OnShowProperties = [](results::NodeProperties& props, bool) {
        uint8_t freq = props.ChangeFreq;
        const bool ok = EditItemProperties(props.URL, props.Text, props.Loc, props.OnlyDefaults,
                                           props.ApplyToChildren, props.Priority, freq);
        props.ChangeFreq = static_cast<ChangeFreqType>(std::min<uint8_t>(freq, cfNever));
        return ok;
    };

    sbMain = new TRzStatusBar(this);
    sbMain->SetName("sbMain");
    sbMain->SetParent(this);
    // Below the bars' bottom site as the form aligns them: a toolbar the stored layout docked at the
    // bottom stands above the status bar.
    sbMain->SetTop(ClientHeight());
    sbMain->SetAlign(alBottom);
    sbMain->SetVisible(true);
    spNotice = new TRzStatusPane(sbMain);
    spNotice->SetName("spNotice");
    spNotice->SetParent(sbMain);
    spNotice->SetVisible(true);
    spNotice->SetAlign(alClient);
    spNotice->SetCaption(main_text::StatusNotice);
    for (TRzBitBtn* button : {btnBack, btnNext, btnCancel})
        button->SetTop(ClientHeight() - sbMain->Height() - barsBottom_ - button->Height() - 10);
    pcMain->SetHeight(btnNext->Top() - pcMain->Top() - 6);
    AnchorControls();

    ShowPage();
    SetCaptionFromProfile();
    LoadLogo();
    LoadTreeImages();
}

void TfrmSiteMapMain::LoadLogo() {
    // A missing or damaged picture leaves the place empty; the program starts all the same.
    TryLoadPNGResource("QMPWLOGO", imgLogo->Picture());
}

void TfrmSiteMapMain::LoadGlobeFrames() {
    auto* frames = new TImageList(this);
    frames->SetName("ilAnimate");
    frames->SetWidth(48);
    frames->SetHeight(48);
    frames->SetBkColor(static_cast<TColor>(0xFF00FF));
    frames->SetDrawingStyle(dsTransparent);
    try {
        TBitmap mask;
        mask.LoadFromResourceName(nullptr, "QMPWWORLDMASK");
        for (int i = 0; i < kGlobeFrames; ++i) {
            TBitmap frame;
            frame.LoadFromResourceName(nullptr, "QMPWWORLD" + std::to_string(i));
            frames->Add(&frame, &mask);
        }
    } catch (const Exception& e) {
        mainwin::PrintMessage(std::cerr, e.Message());
    }
    aniSearch->SetImageList(frames);
}

void TfrmSiteMapMain::LoadTreeImages() {
    // Folder, page and picture, by the image indices the result tree gives its nodes.
    auto* images = new TImageList(this);
    images->SetName("ilTV");
    images->SetWidth(12);
    images->SetHeight(12);
    try {
        for (const char* name : {"QMPWTREEFOLDER", "QMPWTREEPAGE", "QMPWTREEIMAGE"}) {
            TBitmap image;
            image.LoadFromResourceName(nullptr, name);
            images->AddMasked(&image, static_cast<TColor>(0xFF00FF));
        }
    } catch (const Exception& e) {
        std::cerr << "pathweaver: " << e.Message() << '\n';
    }
    tvMap->SetImages(images);
}

int TfrmSiteMapMain::GlobeFrameCount() const {
    int count = 0;
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* list = dynamic_cast<TImageList*>(Components(i)); list && list->Name() == "ilAnimate")
            count += list->Count();
    return count;
}

void TfrmSiteMapMain::SetCaptionFromProfile() {
    SetCaption(std::string(main_text::CaptionPrefix) + Profile_->FileName());
}

void TfrmSiteMapMain::FormShow(TObject*) {
    Application->SetTitle(main_text::AppTitle);
    const mainwin::TCommandLine line = mainwin::ParseCommandLine(args_);
    if (line.Auto) {
        AutoMode_ = true;
        SetAutoRun(true);
    }
    CommandLineProfile_ = line.Profile;
    RestorePlacement();
}

void TfrmSiteMapMain::RunUnseen() {
    PostMessage(Handle(), kRunUnseen, 0, 0);
}

void TfrmSiteMapMain::WndProc(TMessage& Message) {
    if (Message.Msg != kRunUnseen) return TForm::WndProc(Message);
    Unseen_ = true;
    // Nobody saw or moved the bars, nor measured them headless: the stored layout stays as it was.
    dxBarManager1->SetStoreInRegistry(false);
    FormShow(this);
    FormActivate(this);
}

void TfrmSiteMapMain::FormActivate(TObject*) {
    if (!FirstActivate_) return;
    FirstActivate_ = false;
    LoadSettings();
    if (args_.empty() && Settings_->LoadLast() && FileExists(Settings_->LastFile())) {
        if (!LoadProfile(Settings_->LastFile())) ShowProfile();
    } else {
        // The defaults, shown also while a named profile is opened below, so that a profile that
        // cannot be read leaves one mode chosen and every field filled.
        ShowProfile();
    }
    FocusWhenShown(optLocal->Checked() ? static_cast<TWinControl*>(editIndex) : editWebsite);
    // Decoding eleven pictures for an animation nobody would see is a noticeable part of a short run.
    if (!Unseen_) LoadGlobeFrames();
    if (!CommandLineProfile_.empty()) {
        OpenCommandLineProfile();
    } else if (AutoMode_) {
        MessageBox(nullptr, main_text::NoProfileToRun, main_text::AppTitle, MB_OK | MB_ICONERROR);
        FailAutoRun();
    }
}

void TfrmSiteMapMain::OpenCommandLineProfile() {
    const std::string problem = RegularFileProblem(CommandLineProfile_);
    if (!problem.empty()) {
        MessageBox(nullptr, Format(main_text::ProfileCannotOpen, CommandLineProfile_, problem),
                   main_text::ProfileCannotOpenCaption, MB_OK | MB_ICONERROR);
        if (AutoMode_) FailAutoRun();
        return;
    }
    // A profile that cannot be read leaves the defaults, still untitled, so that no save replaces it.
    if (LoadProfile(CommandLineProfile_)) return;
    ShowProfile();
    if (AutoMode_) FailAutoRun();
}

void TfrmSiteMapMain::SetAutoRun(bool Value) {
    autoRun_ = Value;
    if (run_) run_->SetUnattended(Value);
}

results::TResultTree& TfrmSiteMapMain::ResultTree() {
    return run_->Tree();
}

const std::string& TfrmSiteMapMain::XmlFileName() const {
    return run_->XmlFileName();
}

const std::vector<std::string>& TfrmSiteMapMain::UploadList() const {
    return run_->UploadList();
}

TQuillFTP& TfrmSiteMapMain::FtpUploader() {
    return run_->Ftp();
}

TWorkPace& TfrmSiteMapMain::Pace() {
    return run_->Pace();
}

bool TfrmSiteMapMain::OutputFailed() const {
    return run_->OutputFailed();
}

void TfrmSiteMapMain::FailAutoRun() {
    autoFailed_ = true;
    AutoMode_ = false;
    if (OnAutoRunFailed) OnAutoRunFailed();
    Close();
}

void TfrmSiteMapMain::FormCloseQuery(TObject*, bool& CanClose) {
    if (busy_ > 0) {
        // The running loop still walks the tree and the window; close once it has unwound.
        closeAfterRun_ = true;
        run_->Cancel();
        CanClose = false;
        return;
    }
    if (autoRun_) {
        // Nobody is there to answer; the run saved what it wrote.
        CanClose = true;
    } else {
        CanClose = AskSaveProfile();
    }
    if (CanClose) {
        closing_ = true;
        // A window nobody saw has no place to keep: the bounds it has were fitted to a screen that
        // does not exist, and would move the user's window at the next start.
        if (!Unseen_) StorePlacement();
    }
}

void TfrmSiteMapMain::FormClose(TObject*, TCloseAction&) {
    // An unattended run ends without it, and without a screen nobody could close it.
    if (autoRun_ || Application->Headless()) return;
    ShowExitWindow(dialog_text::ExitHostingRedirect, dialog_text::ExitSalesPage);
}

void TfrmSiteMapMain::FormDestroy(TObject*) {
    SaveSettings();
    // At the program's end a large tree's memory goes with the process: freeing it record by record
    // took a good part of a large scan's time. Everything is on disk by now.
    if (run_ && Application->Ending())
        run_->Tree().AbandonTree();
    else if (run_)
        run_->Tree().ReleaseTree();
    run_.reset();
}

void TfrmSiteMapMain::FormKeyUp(TObject*, WORD& Key, TShiftState) {
    if (Key == kKeyF1) OpenHelpFile();
}

void TfrmSiteMapMain::LoadSettings() {
    Settings_ = std::make_unique<TSiteMapSettings>();
    try {
        ::LoadSettings(*Settings_);
    } catch (const Exception& e) {
        ReportIgnoredSettings(e);
    }
    // Said where the user looks, not only on stderr as the window goes and its layout cannot be stored.
    if (!dxBarManager1->StoreInRegistry()) return;
    if (const std::string problem = TRegistry().StoreProblem(); !problem.empty())
        MessageBox(nullptr, Format(main_text::StoreUnreadable, problem), main_text::AppTitle,
                   MB_OK | MB_ICONWARNING);
}

void TfrmSiteMapMain::ReportIgnoredSettings(const Exception& E) {
    // A warning, not a failure: an unattended run goes on as well.
    MessageBox(nullptr, Format(main_text::SettingsIgnored, E.Message()), main_text::AppTitle,
               MB_OK | MB_ICONWARNING);
}

void TfrmSiteMapMain::SaveSettings() {
    if (!Settings_) return;
    std::string error;
    if (!TrySaveSettings(*Settings_, error)) mainwin::PrintMessage(std::cerr, error);
}

void TfrmSiteMapMain::RestorePlacement() {
    const TRect current = BoundsRect();
    const RECT bounds{current.left, current.top, current.right, current.bottom};
    const TRect work = Screen->WorkAreaRect();
    const RECT workArea{work.left, work.top, work.right, work.bottom};
    RECT target = CenteredBounds(bounds, workArea);
    std::optional<TFormPlacement> stored;
    try {
        stored = ReadFormPlacement(PlacementFilePath(), main_text::PlacementName);
    } catch (const Exception& e) {
        ReportIgnoredSettings(e);
    }
    if (stored) {
        std::vector<TMonitorArea> monitors;
        for (int i = 0; i < Screen->MonitorCount(); ++i) {
            TMonitor* monitor = Screen->Monitors(i);
            const TRect b = monitor->BoundsRect();
            const TRect w = monitor->WorkareaRect();
            monitors.push_back(
                {RECT{b.left, b.top, b.right, b.bottom}, RECT{w.left, w.top, w.right, w.bottom}});
        }
        // The monitor the window is on now stands in when no monitor holds the stored place.
        const TMonitor* here = Screen->MonitorFromPoint(TPoint{current.left, current.top});
        const RECT area = PlacementWorkArea(monitors, here ? here->MonitorNum() : 0, true,
                                            POINT{stored->NormalBounds.left, stored->NormalBounds.top});
        const RECT fitted = FitIntoWorkArea(stored->NormalBounds, area);
        target = RestoredBounds(bounds, fitted, false);
        SetBounds(target.left, target.top, target.right - target.left, target.bottom - target.top);
        // The window may not take the stored size: it never gets smaller than the wizard and the docks
        // beside it need. What it took is what must lie on the work area, with the title bar and borders
        // the window manager puts round it.
        const TRect taken = BoundsRect();
        target = FitFramedIntoWorkArea(RECT{taken.left, taken.top, taken.right, taken.bottom},
                                       pw::gui::WindowManagerFrame(Handle()), area);
    }
    SetBounds(target.left, target.top, target.right - target.left, target.bottom - target.top);
}

void TfrmSiteMapMain::StorePlacement() {
    TFormPlacement placement;
    const TWindowState state = WindowState();
    placement.State = state == wsMaximized ? psMaximized : state == wsMinimized ? psMinimized : psNormal;
    const TRect normal = NormalBounds();
    placement.NormalBounds = RECT{normal.left, normal.top, normal.right, normal.bottom};
    try {
        SaveFormPlacement(PlacementFilePath(), main_text::PlacementName, placement);
    } catch (const Exception& e) {
        mainwin::PrintMessage(std::cerr, e.Message());
    }
}
