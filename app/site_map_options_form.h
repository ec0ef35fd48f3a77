#pragma once
// The modal "Profile Options" window: the settings of the current profile that the wizard pages do not
// show (file types, ignore lists, page colours, FTP server, output defaults, queries to ignore) and the
// program setting that reopens the last profile at start.
#include <functional>
#include <string>
#include <vector>

#include "platform/vcl/form.h"

class TButton;
class TColorPickerButton;
class TGroupBox;
class TLabel;
class TMapProfile;
class TPanel;
class TRzBitBtn;
class TRzCheckBox;
class TRzComboBox;
class TRzEdit;
class TRzFrameController;
class TRzListBox;
class TRzPageControl;
class TRzSpinEdit;
class TRzTabSheet;

// The stored FTP server profiles, as the upload facade lists them and lets the user choose or edit one.
struct TServerDirectory {
    std::function<std::vector<std::string>()> ServerNames;
    // Shows the server manager for a choice: 1 with Name set when one was chosen, else 0.
    std::function<int(std::string& Name)> SelectServer;
};

// The five page colours in the order the window keeps them.
enum TPageColor { pcBackground, pcText, pcLink, pcVisited, pcActive, pcCount };

class TfrmSiteMapOptions : public TForm {
public:
    explicit TfrmSiteMapOptions(TComponent* AOwner);
    std::string ClassName() const override { return "TfrmSiteMapOptions"; }

    // Colours.
    void ColorPickerChange(TObject* Sender);
    void ColorPickerDefaultSelect(TObject* Sender);
    void UpdatePreview();
    void btnResetColorsClick(TObject* Sender);
    // Sets a picker from a colour; -1 shows its default entry "None".
    void ShowColor(TPageColor Which, TColor Value);
    TColor EditedColor(TPageColor Which) const { return colors_[Which]; }

    // Lists and their buttons.
    void btnResetFileTypesClick(TObject* Sender);
    void btnAddFolderClick(TObject* Sender);
    void btnFileAddClick(TObject* Sender);
    void btnRemoveFolderClick(TObject* Sender);
    void btnFileRemoveClick(TObject* Sender);
    void UpdateRemoveButtons();
    void editQueryAddChange(TObject* Sender);
    void btnQueryAddClick(TObject* Sender);
    void btnQueryRemoveClick(TObject* Sender);
    void chkAddImagesClick(TObject* Sender);
    void btnEditServerClick(TObject* Sender);
    void FillServers(const std::string& Selected);

    TRzFrameController* frcOptions = nullptr;
    TRzPageControl* pcMain = nullptr;
    TRzTabSheet* tsFiles = nullptr;
    TRzTabSheet* tsColors = nullptr;
    TRzTabSheet* tsFtp = nullptr;
    TRzTabSheet* tsOutput = nullptr;
    TRzTabSheet* tsQueries = nullptr;
    TButton* btnOk = nullptr;
    TButton* btnCancel = nullptr;
    // Files and folders.
    TLabel* lblFileTypes = nullptr;
    TRzEdit* editFileTypes = nullptr;
    TRzBitBtn* btnResetFileTypes = nullptr;
    TLabel* lblIgnoreFolders = nullptr;
    TRzListBox* lstIgnoreFolders = nullptr;
    TRzBitBtn* btnAddFolder = nullptr;
    TRzBitBtn* btnRemoveFolder = nullptr;
    TLabel* lblIgnoreFiles = nullptr;
    TRzListBox* lstIgnoreFiles = nullptr;
    TRzBitBtn* btnFileAdd = nullptr;
    TRzBitBtn* btnFileRemove = nullptr;
    TGroupBox* grpOptions = nullptr;
    TRzCheckBox* chkUsePageTitles = nullptr;
    TRzCheckBox* chkLoadLast = nullptr;
    // Page colours.
    TGroupBox* grpColors = nullptr;
    TColorPickerButton* cpbBackground = nullptr;
    TColorPickerButton* cpbText = nullptr;
    TColorPickerButton* cpbLink = nullptr;
    TColorPickerButton* cpbVisited = nullptr;
    TColorPickerButton* cpbActive = nullptr;
    TRzBitBtn* btnResetColors = nullptr;
    TLabel* lblPreview = nullptr;
    TPanel* pnlPreview = nullptr;
    TLabel* lblPage = nullptr;
    TLabel* lblLink = nullptr;
    TLabel* lblVisited = nullptr;
    TLabel* lblActive = nullptr;
    // FTP upload.
    TLabel* lblServer = nullptr;
    TRzComboBox* cboServer = nullptr;
    TRzBitBtn* RzBitBtn1 = nullptr;
    TLabel* lblRemoteDir = nullptr;
    TRzEdit* editRemoteUploadDir = nullptr;
    // Output options.
    TGroupBox* grpOutput = nullptr;
    TRzCheckBox* chkAddImages = nullptr;
    TRzCheckBox* chkNoFolderImages = nullptr;
    TLabel* lblChangeFreq = nullptr;
    TRzComboBox* cboChangeFreq = nullptr;
    TLabel* lblPriority = nullptr;
    TRzSpinEdit* spinPriority = nullptr;
    // Queries to ignore.
    TLabel* lblQueryInfo = nullptr;
    TLabel* lblQueries = nullptr;
    TRzListBox* lstQueries = nullptr;
    TRzEdit* editQueryAdd = nullptr;
    TRzBitBtn* btnQueryAdd = nullptr;
    TRzBitBtn* btnQueryRemove = nullptr;

    // What the window works with besides the controls.
    std::string IndexPage;
    bool LocalMode = false;
    TServerDirectory Servers;

private:
    void BuildFilesPage();
    void BuildColorsPage();
    void BuildFtpPage();
    void BuildOutputPage();
    void BuildQueriesPage();
    TColorPickerButton* Picker(TPageColor Which) const;
    TPageColor PickerColor(TObject* Sender) const;
    // Adds Entry to List unless it is there; the entry there is then selected alone.
    bool AddUnique(TRzListBox& List, const std::string& Entry, bool SayDuplicate);
    void AddWebsiteEntry(TRzListBox& List, bool Folder);
    void ListKeyDown(TRzListBox& List, WORD& Key);

    TColor colors_[pcCount] = {};
    std::string folderRoot_;
    // A picker is taking its default entry: its change means "no colour".
    bool takingDefault_ = false;
};

// Edits Profile and LoadLast in the window, opened on PageIndex (-1: the first page); true on OK, when
// every value has been written back through the profile's setters.
bool ShowProfileOptions(TMapProfile& Profile, bool& LoadLast, bool LocalMode, int PageIndex,
                        const TServerDirectory& Servers = {});
