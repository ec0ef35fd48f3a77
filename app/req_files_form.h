#pragma once
// The modal "Files to Upload" window: the files of the output folder that the site map run wrote, with
// "Upload Now".
#include <string>
#include <vector>

#include "platform/vcl/form.h"

class TButton;
class TGroupBox;
class TImage;
class TLabel;
class TPanel;
class TRzShellList;

class TwinReqFiles : public TForm {
public:
    explicit TwinReqFiles(TComponent* AOwner);
    std::string ClassName() const override { return "TwinReqFiles"; }

    void FormShow(TObject* Sender);
    void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    // The list's filter: the bare name of every file, each followed by ";".
    std::string FilterText() const;

    std::vector<std::string> Files;
    std::string Folder;

    TPanel* RzPanel1 = nullptr;
    TImage* imgHeading = nullptr;
    TLabel* Label3 = nullptr;
    TGroupBox* RzGroupBox2 = nullptr;
    TLabel* Label4 = nullptr;
    TRzShellList* RzShellList1 = nullptr;
    TButton* btnFTPFiles = nullptr;
};

// Shows the files of Files found in Folder; true when the user pressed "Upload Now".
bool ShowRequiredFiles(const std::string& Folder, const std::vector<std::string>* Files);
