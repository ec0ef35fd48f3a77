#include "app/req_files_form.h"

#include <memory>

#include "app/picture_resources.h"
#include "controls/placed.h"
#include "platform/gui/keys.h"
#include "platform/rtl/files.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/image.h"
#include "platform/stdctrls/label.h"
#include "platform/stdctrls/panels.h"
#include "platform/vcl/application.h"
#include "shellcontrols/rz_shell_list.h"

TwinReqFiles::TwinReqFiles(TComponent* AOwner) : TForm(AOwner) {
    SetName("winReqFiles");
    SetCaption("Files to Upload");
    SetBorderStyle(bsDialog);
    SetPosition(poOwnerFormCenter);
    SetClientWidth(478);
    SetClientHeight(328);
    RzPanel1 = Placed<TPanel>(this, this, "RzPanel1", 0, 0, 478, 40);
    RzPanel1->SetCaption("Files to Upload");
    RzPanel1->Font().SetStyle(TFontStyles{fsBold});
    RzPanel1->Font().SetSize(12);
    imgHeading = Placed<TImage>(this, RzPanel1, "imgHeading", 8, 4, 32, 32);
    imgHeading->SetStretch(true);
    imgHeading->SetProportional(true);
    TryLoadPNGResource("QMPWFTP", imgHeading->Picture());
    Label3 = Placed<TLabel>(this, this, "Label3", 12, 48, 454, 32);
    Label3->SetAutoSize(false);
    Label3->SetWordWrap(true);
    Label3->Font().SetStyle(TFontStyles{fsBold});
    Label3->SetCaption("When you put your form online you need to upload all of the files listed below.");
    RzGroupBox2 = Placed<TGroupBox>(this, this, "RzGroupBox2", 8, 84, 462, 200);
    RzGroupBox2->SetCaption("Required Files");
    Label4 = Placed<TLabel>(this, RzGroupBox2, "Label4", 10, 20, 442, 32);
    Label4->SetAutoSize(false);
    Label4->SetWordWrap(true);
    Label4->SetCaption("These files were created for your site map. Upload all of them to your web server, "
                       "into the folder of the site map page.");
    RzShellList1 = Placed<TRzShellList>(this, RzGroupBox2, "RzShellList1", 10, 56, 442, 134);
    RzShellList1->SetOptions(
        TRzShellListOptions{sloAutoFill, sloContextMenus, sloDynamicRefresh, sloDragDropFiles});
    RzShellList1->SetShowHidden(true);
    // The upload sends the files the run wrote and no others: a file dropped here would be copied beside
    // them, out of this list and never uploaded. The written files can still be dragged out.
    RzShellList1->SetTakesDrops(false);
    btnFTPFiles = Placed<TButton>(this, this, "btnFTPFiles", 370, 294, 100, 25);
    btnFTPFiles->SetCaption("&Upload Now");
    btnFTPFiles->SetModalResult(mrOk);
    // No Cancel button, yet Escape leaves the window as in any dialog.
    SetKeyPreview(true);
    OnKeyDown = [this](TObject* s, WORD& k, TShiftState sh) { FormKeyDown(s, k, sh); };
    OnShow = [this](TObject* s) { FormShow(s); };
    DoCreate();
}

std::string TwinReqFiles::FilterText() const {
    std::string filter;
    for (const std::string& file : Files)
        filter += ExtractFileName(file) + ";";
    return filter;
}

void TwinReqFiles::FormShow(TObject*) {
    RzShellList1->SetFileFilter(FilterText());
    RzShellList1->SetFolder(Folder);
}

void TwinReqFiles::FormKeyDown(TObject*, WORD& Key, TShiftState Shift) {
    if (Key != VK_ESCAPE || !Shift.Empty()) return;
    Key = 0;
    SetModalResult(mrCancel);
}

bool ShowRequiredFiles(const std::string& Folder, const std::vector<std::string>* Files) {
    std::unique_ptr<TwinReqFiles> form(new TwinReqFiles(Application));
    if (Files) form->Files = *Files;
    form->Folder = Folder;
    return form->ShowModal() == mrOk;
}
