#pragma once
// The wizard main window: the pages of a site map run, the profile it works on, and the start-up and
// closing steps of the program around it.
#include "platform/vcl/form.h"
#include <functional>
#include <memory>
#include <string>
#include <vector>

class Exception;
class TRzBitBtn;
class TRzCheckBox;
class TRzEdit;
class TFileFetcher;
class TImage;
class TLabel;
class TMapProfile;
class TRzMemo;
class TRzPageControl;
class TRzProgressBar;
class TRzRadioButton;
class TRzTreeView;
class TSiteMapSettings;
class TRzStatusBar;
class TRzAnimator;
class TRzFrameController;
class TRzStatusPane;
class TStringList;
class TRzTabSheet;
class TSiteMapRun;
class TWorkPace;
class TdxBar;
class TdxBarButton;
class TdxBarManager;
class TdxBarPopupMenu;
class TdxBarSubItem;

namespace results {
class TResultTree;
struct ResultMenuState;
} // namespace results

namespace mainwin {
class WizardRunView;

// Where the main window keeps the user's layout of its bars, in the program's settings store beside
// the FTP server profiles.
inline constexpr const char* kBarsRegistryPath = "Software\\Quillmark Software\\Pathweaver\\Bars";
} // namespace mainwin

// The wizard pages by their index.
enum TWizardPage { wpInformation = 0, wpStatus = 1, wpResults = 2, wpOutputSettings = 3, wpOutputStatus = 4 };

class TQuillFTP;
class TfrmSiteMapMain : public TForm {
public:
    explicit TfrmSiteMapMain(TComponent* AOwner);
    ~TfrmSiteMapMain() override;
    std::string ClassName() const override { return "TfrmSiteMapMain"; }

    // Form events.
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormActivate(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormDestroy(TObject* Sender);
    void FormKeyUp(TObject* Sender, WORD& Key, TShiftState Shift);

    // Wizard.
    void ButtonClick(TObject* Sender);
    void ShowPage();
    bool CheckGatheringInput();
    void RunGathering();
    void ResetOutputDone();
    void ClearIgnoreLists();
    void GenerateSiteMap();
    void UploadOutputFiles();
    bool AutoUploadOutputFiles();
    void OpenHelpFile();
    void ShowOptions(int Page);

    // Profiles and settings.
    bool LoadProfile(const std::string& FileName);
    void ShowProfile();
    bool SaveCurrentProfile();
    bool SaveProfileAs();
    void OpenProfile();
    void LoadSettings();
    void SaveSettings();

    // Page 0 and page 2 control handlers.
    void optSpiderTypeClick(TObject* Sender);
    void editIndexChange(TObject* Sender);
    void editWebsiteChange(TObject* Sender);
    void BrowseIndexPage();
    void BrowseOutputFile();
    void rbOutputClick(TObject* Sender);
    void editOutputFileChange(TObject* Sender);
    void chkGoogleClick(TObject* Sender);

    // Command handlers the menus bind.
    void miOpenClick(TObject* Sender);
    void miSaveClick(TObject* Sender);
    void miSaveAsClick(TObject* Sender);
    void miExitClick(TObject* Sender);
    void miOptionsClick(TObject* Sender);
    void miFTPClick(TObject* Sender);
    void miHelpClick(TObject* Sender);
    void miHelpOnlineClick(TObject* Sender);
    void miSupportClick(TObject* Sender);
    void miAboutClick(TObject* Sender);

    // State the tests and the program entry read.
    int PageIndex() const { return PageIndex_; }
    bool AutoMode() const { return AutoMode_; }
    bool Busy() const { return busy_ > 0; }
    const std::string& CommandLineProfile() const { return CommandLineProfile_; }
    TMapProfile& Profile() { return *Profile_; }
    TSiteMapSettings* Settings() { return Settings_.get(); }
    TStringList& IgnoreFolderList() { return *IgnoreFolderList_; }
    TStringList& IgnoreFileList() { return *IgnoreFileList_; }
    TSiteMapRun& Run() { return *run_; }
    results::TResultTree& ResultTree();
    const std::string& XmlFileName() const;
    const std::vector<std::string>& UploadList() const;
    TQuillFTP& FtpUploader();
    // The page the last output run wrote, as the output page's memo shows it.
    std::string GeneratedHtml() const;
    // How often a run lets the message loop run (tests give it their own clock).
    TWorkPace& Pace();
    // The last output run failed (its reason is in lblGenerationStatus).
    bool OutputFailed() const;
    // The menu item "FTP Upload..." is enabled.
    bool FtpEnabled() const;
    // An unattended run that failed: the program ends with a non-zero status.
    bool AutoFailed() const { return autoFailed_; }
    // Counts the globe frames added, so a second activation can be seen to add none.
    int GlobeFrameCount() const;
    // Arguments after the program name; the program entry passes the real command line.
    void SetCommandLine(std::vector<std::string> Args) { args_ = std::move(Args); }

    // An unattended run where nobody could see the window (no display): it is never shown, and what
    // showing it and its first activation would start begins once the message loop runs.
    void RunUnseen();
    void WndProc(TMessage& Message) override;

    // An unattended run gave up; the program entry turns it into the exit status.
    std::function<void()> OnAutoRunFailed;

    // Controls, as the form resource names them.
    TImage* imgLogo = nullptr;
    TLabel* lblHeader = nullptr;
    TRzPageControl* pcMain = nullptr;
    TRzTabSheet* tsInformation = nullptr;
    TRzTabSheet* tsStatus = nullptr;
    TRzTabSheet* tsResults = nullptr;
    TRzTabSheet* tsOutputSettings = nullptr;
    TRzTabSheet* tsOutputStatus = nullptr;
    TRzBitBtn* btnBack = nullptr;
    TRzBitBtn* btnNext = nullptr;
    TRzBitBtn* btnCancel = nullptr;
    // Page 0.
    TLabel* lblIntro = nullptr;
    TRzRadioButton* optLocal = nullptr;
    TRzRadioButton* optWebsite = nullptr;
    TLabel* lblIndexPage = nullptr;
    TRzEdit* editIndex = nullptr;
    TRzBitBtn* btnBrowseIndex = nullptr;
    TLabel* lblWebsite = nullptr;
    TRzEdit* editWebsite = nullptr;
    TRzBitBtn* btnOpenProfile = nullptr;
    TRzBitBtn* btnSaveProfile = nullptr;
    TRzBitBtn* btnSaveProfileAs = nullptr;
    TRzBitBtn* btnProfileOptions = nullptr;
    TRzBitBtn* btnFtpOptions = nullptr;
    // Page 1.
    TLabel* lblStatusTitle = nullptr;
    TRzAnimator* aniSearch = nullptr;
    TLabel* lblCurrentURL = nullptr;
    TLabel* lblLookingIn = nullptr;
    TLabel* lblUrlsFound = nullptr;
    TLabel* lblFileFound = nullptr;
    TLabel* lblFileCount = nullptr;
    TLabel* lblTotalFiles = nullptr;
    TRzMemo* memoFiles = nullptr;
    // Page 2.
    TRzTreeView* tvMap = nullptr;
    TLabel* lblLinkFileName = nullptr;
    TRzRadioButton* rbOutputFile = nullptr;
    TRzEdit* editOutputFile = nullptr;
    TRzBitBtn* btnOutputFileBrowse = nullptr;
    TRzCheckBox* chkGoogle = nullptr;
    TRzBitBtn* btnViewOutputFile = nullptr;
    TRzBitBtn* btnCopyToClipboard = nullptr;
    TRzBitBtn* btnFTPFiles = nullptr;
    TLabel* lblGenerationStatus = nullptr;
    TLabel* lblGenerationFile = nullptr;
    // Pages 3 and 4.
    TLabel* lblOutputStatus = nullptr;
    TLabel* lblGeneratingType = nullptr;
    TRzProgressBar* pbOutput = nullptr;
    TRzMemo* memoGenerated = nullptr;
    TRzStatusBar* sbMain = nullptr;
    TRzStatusPane* spNotice = nullptr;
    TRzFrameController* frcMain = nullptr;
    // Menu bar, toolbar and the result tree's popup menu.
    TdxBarManager* dxBarManager1 = nullptr;
    TdxBar* barMainMenu = nullptr;
    TdxBar* barMainToolbar = nullptr;
    TdxBarSubItem* mnuFile = nullptr;
    TdxBarSubItem* mnuTools = nullptr;
    TdxBarSubItem* mnuHelp = nullptr;
    TdxBarButton* miOpen = nullptr;
    TdxBarButton* miSave = nullptr;
    TdxBarButton* miSaveAs = nullptr;
    TdxBarButton* miExit = nullptr;
    TdxBarButton* miOptions = nullptr;
    TdxBarButton* miFTP = nullptr;
    TdxBarButton* miHelp = nullptr;
    TdxBarButton* miHelpOnline = nullptr;
    TdxBarButton* miSupport = nullptr;
    TdxBarButton* miAbout = nullptr;
    TdxBarPopupMenu* pumResults = nullptr;
    TdxBarButton* miAddIgnoreFolder = nullptr;
    TdxBarButton* miIgnoreFile = nullptr;
    TdxBarButton* miDelete = nullptr;
    TdxBarButton* miRename = nullptr;
    TdxBarButton* miProperties = nullptr;

private:
    friend class mainwin::WizardRunView;
    void BuildControls();
    void BuildPageInformation();
    void BuildPageStatus();
    void BuildPageResults();
    void BuildPageOutput();
    void BuildBars();
    void MakeRoomForBars();
    // The top dock took Height pixels (bars floated off or docked back): the wizard follows its edge.
    void FollowBarsDock(int Height);
    // A side dock took Width pixels: the wizard moves aside, and the window widens when it must to show
    // the wizard whole beside it.
    void FollowSideDock(bool Left, int Width);
    // The bottom dock took DockHeight pixels: what stands on the window's bottom edge moves up.
    void FollowBottomDock(int DockHeight);
    void SetFtpEnabled(bool Value);
    // The result tree's popup menu is about to open with these commands enabled.
    void ResultMenuPopup(const results::ResultMenuState& State);
    void AnchorControls();
    void SetCaptionFromProfile();
    void OpenCommandLineProfile();
    void LoadLogo();
    void LoadTreeImages();
    void LoadGlobeFrames();
    void RestorePlacement();
    void StorePlacement();
    // A settings file that cannot be read: said, and the defaults are used.
    void ReportIgnoredSettings(const Exception& E);
    void Next();
    void Back();
    void Cancel();
    // The crawl's start page did not load: the status page stays and says why.
    void ShowGatheringFailure();
    // Opens the gathered tree at its first node.
    void ShowResultTree();
    void ClearRunTexts();
    void FocusPage();
    // The keyboard goes to Control now, or when the window shows if it is not shown yet.
    void FocusWhenShown(TWinControl* Control);
    bool AskSaveProfile();
    // Unattended is told to the run as well.
    void SetAutoRun(bool Value);
    void EnterBusy();
    void LeaveBusy();
    void ProcessMessages();
    // Closes the window that was asked to close during a run; false when it stays open.
    bool CloseAfterRun();
    void FailAutoRun();
    std::string IndexFolder() const;

    // Fields in the order the window keeps them.
    bool FirstActivate_ = true;
    bool Unseen_ = false; // a run that nobody can ever see (RunUnseen)
    int PageIndex_ = 0;
    std::unique_ptr<TSiteMapSettings> Settings_;
    std::unique_ptr<TStringList> IgnoreFolderList_;
    std::unique_ptr<TStringList> IgnoreFileList_;
    bool AutoMode_ = false;
    std::string CommandLineProfile_;
    bool ShowingProfile_ = false;
    std::unique_ptr<TMapProfile> Profile_;

    std::vector<std::string> args_;
    // The gathering, the tree, the outputs and the upload; the window shows them through runView_.
    std::unique_ptr<TSiteMapRun> run_;
    std::unique_ptr<mainwin::WizardRunView> runView_;
    int busy_ = 0;
    // The height of the top dock the wizard's controls stand below.
    int barsRoom_ = 0;
    // The widths of the left and right docks the wizard stands beside.
    int barsLeft_ = 0;
    int barsRight_ = 0;
    int barsBottom_ = 0;
    bool closeAfterRun_ = false;
    // The close question was answered and the window goes.
    bool closing_ = false;
    // Started with the auto switch and not cancelled: nobody answers questions.
    bool autoRun_ = false;
    bool autoFailed_ = false;
};

extern TfrmSiteMapMain* frmSiteMapMain;
