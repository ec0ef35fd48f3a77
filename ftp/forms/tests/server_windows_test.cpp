#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <tuple>

#include "controls/rz_spin_edit.h"
#include "forms_test_support.h"
#include "ftp/forms/proxy_form.h"
#include "ftp/forms/server_wizard_form.h"
#include "ftp/forms/servers_form.h"
#include "ftp/server_profile.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/rtl/registry.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/edit.h"
#include "platform/stdctrls/list_controls.h"
#include "platform/stdctrls/page_control.h"
#include "platform/stdctrls/tree_view.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"

namespace ftpforms_test {
namespace {

JDServerData Profile(const std::string& Name, const std::string& Host) {
    JDServerData p;
    p.ItemName = Name;
    p.HostName = Host;
    p.Port = 21;
    p.Timeout = 60;
    return p;
}

bool KeyThere(const std::string& Name) {
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    return reg.KeyExists(std::string(ftpprofile::ProfilesKey) + "\\" + Name);
}

class ServerManager : public ::testing::Test {
protected:
    void SetUp() override {
        SaveServerProfiles({Profile("Home", "home.example"), Profile("Work", "work.example")});
        form_.reset(new TwinServers(Application));
    }
    void Select(int Index) { form_->tvServers->SetSelected(form_->tvServers->Items().Item(Index)); }

    OwnStore store_;
    Person person_;
    std::unique_ptr<TwinServers> form_;
};

TEST_F(ServerManager, ShowsAndWritesThroughTheSelectedProfile) {
    ASSERT_EQ(form_->tvServers->Items().Count(), 2);
    EXPECT_FALSE(form_->btnOk->Enabled());
    Select(1);
    EXPECT_EQ(form_->SelectedIndex(), 1);
    EXPECT_TRUE(form_->btnOk->Enabled());
    EXPECT_EQ(form_->txtHostName->Text(), "work.example");
    form_->txtHostName->SetText("ftp.work.example");
    form_->txtPort->SetText("2121");
    form_->txtPort->SetText("21x"); // letters leave the stored port alone
    EXPECT_EQ(form_->Profiles()[1].HostName, "ftp.work.example");
    EXPECT_EQ(form_->Profiles()[1].Port, 2121);
    form_->protocolDrop->SetItemIndex(1);
    form_->protocolDropChange(form_->protocolDrop);
    EXPECT_EQ(form_->txtPort->Text(), "22");
    EXPECT_EQ(form_->Profiles()[1].Protocol, 1);
    form_->protocolDrop->SetItemIndex(2);
    form_->protocolDropChange(form_->protocolDrop);
    EXPECT_EQ(form_->txtPort->Text(), "21");
    form_->chkAnonymous->SetChecked(true);
    EXPECT_EQ(form_->txtUsername->Text(), "anonymous");
    form_->btnApplyClick(nullptr);
    JDServerData stored;
    ASSERT_TRUE(LoadServerProfile("Work", stored));
    EXPECT_EQ(stored.HostName, "ftp.work.example");
    EXPECT_TRUE(stored.Anonymous);

    // Showing a profile does not write its values back.
    Select(0);
    EXPECT_EQ(form_->Profiles()[0].Port, 21);
    form_->AddProfile(Profile("New", "new.example"));
    EXPECT_EQ(form_->Profiles().back().Timeout, 120);
    EXPECT_EQ(form_->SelectedIndex(), 2);
}

TEST_F(ServerManager, EnterInAnySettingPressesConnect) {
    form_->Show();
    Select(1);
    Pump();
    form_->pages->SetActivePage(form_->tabSettings);
    for (TWinControl* field : std::initializer_list<TWinControl*>{
             form_->txtHostName, form_->txtPort, form_->txtTimeout, form_->chkSavePassword,
             form_->chkAnonymous, form_->chkPassiveMode, form_->noop, form_->protocolDrop}) {
        form_->SetModalResult(mrNone);
        field->SetFocus();
        Pump();
        ASSERT_TRUE(field->Focused()) << field->Name();
        pw::gui::SimulateKeyStroke(VK_RETURN);
        Pump();
        EXPECT_EQ(form_->ModalResult(), mrOk) << field->Name();
        EXPECT_EQ(form_->ChosenIndex(), 1) << field->Name();
    }
    form_->Hide();
}

// Connect and Close are neither the default nor the cancel button: Enter outside the settings and Escape
// anywhere end nothing, and Enter in the open list of types only closes the list.
TEST_F(ServerManager, EnterOutsideTheSettingsAndEscapeEndNothing) {
    form_->Show();
    Select(1);
    Pump();
    form_->tvServers->SetFocus();
    Pump();
    for (BYTE key : {VK_RETURN, VK_ESCAPE}) {
        pw::gui::SimulateKeyStroke(key);
        Pump();
        EXPECT_EQ(form_->ModalResult(), mrNone) << "key " << int(key) << " in the list of sites";
    }
    form_->pages->SetActivePage(form_->tabSettings);
    form_->txtHostName->SetFocus();
    Pump();
    pw::gui::SimulateKeyStroke(VK_ESCAPE);
    Pump();
    EXPECT_EQ(form_->ModalResult(), mrNone) << "Escape in a setting";
    form_->protocolDrop->SetFocus();
    Pump();
    pw::gui::SimulateKeyStroke(VK_F4);
    Pump();
    ASSERT_TRUE(form_->protocolDrop->DroppedDown());
    pw::gui::SimulateKeyStroke(VK_DOWN);
    pw::gui::SimulateKeyStroke(VK_RETURN);
    Pump();
    EXPECT_FALSE(form_->protocolDrop->DroppedDown());
    EXPECT_EQ(form_->protocolDrop->ItemIndex(), 1);
    EXPECT_EQ(form_->ModalResult(), mrNone) << "Enter that closes the list connects nowhere";
    pw::gui::SimulateKeyStroke(VK_RETURN);
    Pump();
    EXPECT_EQ(form_->ModalResult(), mrOk) << "Enter in the closed list is Connect";
    EXPECT_EQ(form_->ChosenIndex(), 1);
    form_->Hide();
}

TEST_F(ServerManager, RenamesWriteTheNewKeyAndRefuseDuplicatesAndEmptyNames) {
    Select(0);
    TTreeNode* node = form_->tvServers->Items().Item(0);
    std::string name = "WORK"; // the store's rule: the same name as "Work"
    form_->tvServersEdited(nullptr, node, name);
    EXPECT_EQ(name, "Home");
    EXPECT_TRUE(person_.Saw("A site with that name already exists"));
    name = "";
    form_->tvServersEdited(nullptr, node, name);
    EXPECT_EQ(name, "Home");
    name = "a\\b";
    form_->tvServersEdited(nullptr, node, name);
    EXPECT_EQ(name, "Home");
    EXPECT_TRUE(KeyThere("Home"));
    EXPECT_TRUE(KeyThere("Work"));

    name = "Cottage";
    form_->tvServersEdited(nullptr, node, name);
    EXPECT_TRUE(KeyThere("Cottage"));
    EXPECT_FALSE(KeyThere("Home"));
    EXPECT_TRUE(KeyThere("Work"));
    JDServerData p;
    ASSERT_TRUE(LoadServerProfile("Cottage", p));
    EXPECT_EQ(p.HostName, "home.example");
}

TEST_F(ServerManager, DeletesOnlyOnAnExplicitYes) {
    Select(0);
    person_.Answer = -1; // the question closed without an answer
    form_->btnDeleteClick(nullptr);
    person_.Answer = 1; // No
    form_->btnDeleteClick(nullptr);
    EXPECT_TRUE(KeyThere("Home"));
    EXPECT_EQ(form_->Profiles().size(), 2u);
    ASSERT_FALSE(person_.Asked.empty());
    EXPECT_EQ(person_.Asked.back().caption, "Confirm Deletion");
    EXPECT_EQ(person_.Asked.back().defaultButton, 1u) << "No is the default";

    person_.Answer = 0; // Yes
    person_.Asked.clear();
    // The Person answers 0 with the default; answer Yes by its index through a fresh prompt.
    struct Yes : pw::vcl::Prompter {
        pw::vcl::PromptAnswer Ask(const pw::vcl::PromptRequest& r) override {
            pw::vcl::PromptAnswer a;
            a.result = r.buttons.empty() ? IDOK : r.buttons[0].result;
            return a;
        }
    } yes;
    pw::vcl::SetPrompter(&yes);
    form_->btnDeleteClick(nullptr);
    pw::vcl::SetPrompter(&person_);
    EXPECT_FALSE(KeyThere("Home"));
    EXPECT_TRUE(KeyThere("Work"));
    ASSERT_EQ(form_->Profiles().size(), 1u);
    EXPECT_EQ(form_->tvServers->Items().Count(), 1);
}

TEST(ServerManagerKeys, AProfileShownByItsHostNameIsDeletedUnderItsOwnKey) {
    OwnStore store;
    struct Yes : pw::vcl::Prompter {
        pw::vcl::PromptAnswer Ask(const pw::vcl::PromptRequest&) override { return {}; } // button 0: Yes
    } yes;
    pw::vcl::SetPrompter(&yes);
    {
        TRegistry reg;
        reg.SetRootKey(HKEY_CURRENT_USER);
        ASSERT_TRUE(reg.OpenKey(std::string(ftpprofile::ProfilesKey) + "\\Stored", true));
        reg.WriteString("HostName", "h.example");
        reg.CloseKey();
    }
    std::unique_ptr<TwinServers> form(new TwinServers(Application));
    ASSERT_EQ(form->tvServers->Items().Count(), 1);
    EXPECT_EQ(form->tvServers->Items().Item(0)->Text(), "h.example");
    form->tvServers->SetSelected(form->tvServers->Items().Item(0));
    form->btnDeleteClick(nullptr);
    pw::vcl::SetPrompter(nullptr);
    EXPECT_FALSE(KeyThere("Stored"));
    EXPECT_TRUE(ServerProfileNames().empty());
}

// Writes Name under Key as a number or as binary data, as a hand edit or another program may leave it.
void StoreMistyped(const std::string& Key, const std::string& Name, bool Binary) {
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.OpenKey(Key, false));
    Binary ? reg.WriteBinaryData(Name, "\x01\x02", 2) : reg.WriteInteger(Name, 2121);
}

std::string Said(const std::string& Owner, const std::string& Value, bool Binary) {
    return Owner + ": the value " + Value + " is stored as " + (Binary ? "binary data" : "a number");
}

auto Fields(const JDServerData& P) {
    return std::tie(P.ItemName, P.HostName, P.Username, P.Password, P.HostDirName, P.LocalDirName, P.Comment,
                    P.Port, P.Protocol, P.Timeout, P.Anonymous, P.PassiveMode, P.SavePassword, P.Secure,
                    P.UseNoop, P.Bookmarks);
}

// Every value of a profile stored as another type than text: the manager opens with every profile,
// says the value once, holds it as a missing one reads (the name as the key's), and the profile can be
// repaired (a save writes the value back as text) or deleted.
TEST(ServerManagerMistyped, OpensSaysTheValueOnceAndRepairsOrDeletesTheProfile) {
    const std::string key = std::string(ftpprofile::ProfilesKey) + "\\Work";
    for (const char* value : {"ItemName", "HostName", "Username", "Password", "Port", "Timeout",
                              "LocalDirName", "HostDirName", "Anonymous", "PassiveMode", "SavePassword",
                              "Secure", "Comment", "UseNoop", "Protocol", "Bookmark 0"})
        for (const bool binary : {false, true}) {
            SCOPED_TRACE(std::string(value) + (binary ? " as binary data" : " as a number"));
            OwnStore store;
            Person person;
            const JDServerData work{"work.example", "me", "pw", "/pub", "/tmp", "note", "Work", 2121, 1, 30,
                                    true,           true, true, true,   true,   {"/a"}};
            SaveServerProfiles({Profile("Home", "home.example"), work});
            {
                TRegistry reg;
                reg.SetRootKey(HKEY_CURRENT_USER);
                ASSERT_TRUE(reg.OpenKey(key, false));
                reg.DeleteValue(value);
            }
            // What the profile reads as without the value (its bookmarks apart, which only the list reads).
            JDServerData missing;
            ASSERT_TRUE(LoadServerProfile("Work", missing));
            const std::string name = value;
            if (name != "Bookmark 0") missing.Bookmarks = work.Bookmarks;
            if (name == "ItemName") missing.ItemName = "Work";
            StoreMistyped(key, value, binary);

            std::unique_ptr<TwinServers> form(new TwinServers(Application));
            ASSERT_EQ(form->Profiles().size(), 2u);
            EXPECT_EQ(form->Profiles()[0].HostName, "home.example");
            EXPECT_EQ(Fields(form->Profiles()[1]), Fields(missing));
            form->FormActivate(nullptr);
            form->FormActivate(nullptr);
            ASSERT_EQ(person.Asked.size(), 1u);
            EXPECT_NE(person.Asked[0].text.find(Said("Server profile \"Work\"", value, binary)),
                      std::string::npos)
                << person.Asked[0].text;

            form->tvServers->SetSelected(form->tvServers->Items().Item(1));
            if (binary) {
                struct Yes : pw::vcl::Prompter {
                    pw::vcl::PromptAnswer Ask(const pw::vcl::PromptRequest&) override { return {}; }
                } yes;
                pw::vcl::SetPrompter(&yes);
                form->btnDeleteClick(nullptr);
                pw::vcl::SetPrompter(&person);
                EXPECT_EQ(ServerProfileNames(), std::vector<std::string>{"Home"});
                continue;
            }
            form->txtComment->SetText("fixed");
            form->btnApplyClick(nullptr);
            std::vector<std::string> warnings;
            ASSERT_EQ(LoadServerProfiles(&warnings).size(), 2u);
            EXPECT_TRUE(warnings.empty()) << warnings.front();
        }
}

// A proxy value stored as another type: the window opens, says it once, shows it empty and the others
// as stored, and Ok writes it back as text.
TEST(ProxyWindowMistyped, OpensSaysTheValueOnceAndSavesItAsText) {
    for (const char* value : {"proxyhostname", "proxylogin", "proxypassword", "proxyport", "proxytype"})
        for (const bool binary : {false, true}) {
            SCOPED_TRACE(std::string(value) + (binary ? " as binary data" : " as a number"));
            OwnStore store;
            Person person;
            SaveProxySettings({"proxy.example", "alice", "wonder", "1080", "Socks5"});
            StoreMistyped(ftpprofile::ProxyKey, value, binary);
            std::unique_ptr<TwindowProxy> w(new TwindowProxy(Application));
            w->FormShow(nullptr);
            w->FormShow(nullptr);
            ASSERT_EQ(person.Asked.size(), 1u);
            EXPECT_NE(person.Asked[0].text.find(Said("Proxy settings", value, binary)), std::string::npos);
            const TProxySettings& s = w->Settings();
            const std::string name = value;
            EXPECT_EQ(s.HostName, name == "proxyhostname" ? "" : "proxy.example");
            EXPECT_EQ(s.Login, name == "proxylogin" ? "" : "alice");
            EXPECT_EQ(s.Password, name == "proxypassword" ? "" : "wonder");
            EXPECT_EQ(s.Port, name == "proxyport" ? "" : "1080");
            EXPECT_EQ(s.Type, name == "proxytype" ? "" : "Socks5");
            w->Button1Click(nullptr);
            std::vector<std::string> warnings;
            LoadProxySettings(&warnings);
            EXPECT_TRUE(warnings.empty());
        }
}

TEST(ServerWizard, ChecksTheNameAndHandsOverWhatWasTyped) {
    OwnStore store;
    Person person;
    const std::vector<JDServerData> existing{Profile("Home", "h")};
    std::unique_ptr<TwinServerWizard> w(new TwinServerWizard(Application, existing));
    EXPECT_EQ(w->Step(), 0);
    EXPECT_FALSE(w->Button4->Enabled());
    w->eNickname->SetText("home");
    EXPECT_TRUE(w->Button4->Enabled());
    w->NicknameNext();
    EXPECT_EQ(w->Step(), 0);
    EXPECT_TRUE(person.Saw("A site with that name already exists"));
    w->eNickname->SetText("Cabin");
    w->NicknameNext();
    EXPECT_EQ(w->Step(), 1);
    w->eUser->SetText("me");
    w->cAnon->SetChecked(true);
    EXPECT_EQ(w->eUser->Text(), "anonymous");
    EXPECT_EQ(w->ePass->Text(), "QuillmarkFTP@");
    w->cAnon->SetChecked(false);
    EXPECT_EQ(w->eUser->Text(), "");
    w->eUser->SetText("me");
    w->ePass->SetText("pw");
    w->GoTo(2);
    EXPECT_FALSE(w->Button5->Enabled());
    w->HostNext();
    EXPECT_EQ(w->Step(), 2);
    w->eHost->SetText("ftp.cabin.example");
    w->eRemotePath->SetText("www");
    w->HostNext();
    EXPECT_EQ(w->Step(), 3);
    const JDServerData r = w->Result();
    EXPECT_EQ(r.ItemName, "Cabin");
    EXPECT_EQ(r.HostName, "ftp.cabin.example");
    EXPECT_EQ(r.Username, "me");
    EXPECT_EQ(r.Password, "pw");
    EXPECT_EQ(r.HostDirName, "www");
    EXPECT_TRUE(r.SavePassword);
}

// The proxy step and the last one have no edit: their way on has the focus, and Enter presses it.
TEST(ServerWizard, TheStepsWithoutAnEditGoOnWithEnter) {
    OwnStore store;
    Person person;
    const std::vector<JDServerData> none;
    std::unique_ptr<TwinServerWizard> w(new TwinServerWizard(Application, none));
    w->Show();
    Pump();
    w->eNickname->SetText("Cabin");
    w->NicknameNext();
    w->GoTo(2);
    w->eHost->SetText("ftp.cabin.example");
    w->eHost->SetFocus();
    Pump();
    pw::gui::SimulateKeyStroke(VK_RETURN);
    Pump();
    ASSERT_EQ(w->Step(), 3);
    EXPECT_TRUE(w->btnProxyNext->Focused()) << "a focus the user sees, on the step's own page";
    // No button of the wizard is its default: Enter presses the focused one.
    EXPECT_FALSE(w->btnProxyNext->Default());
    EXPECT_FALSE(w->btnFinish->Default());
    pw::gui::SimulateKeyStroke(VK_RETURN);
    Pump();
    ASSERT_EQ(w->Step(), 4);
    EXPECT_TRUE(w->btnFinish->Focused());
    EXPECT_FALSE(w->btnFinish->Default());
    EXPECT_FALSE(w->btnProxyNext->Default());
    // Back on the proxy step the focus may go to its other buttons; Enter then presses that one.
    w->GoTo(3);
    Pump();
    EXPECT_TRUE(w->btnProxyNext->Focused());
    w->btnNoProxy->SetFocus();
    Pump();
    pw::gui::SimulateKeyStroke(VK_RETURN);
    Pump();
    EXPECT_EQ(w->Step(), 4);
    EXPECT_EQ(w->ModalResult(), mrNone);
}

// The steps' Cancel buttons close the wizard when pressed, yet none is a cancel button: Escape, wherever
// the focus is, ends nothing and presses no other button of the step.
TEST(ServerWizard, EscapeEndsNothingAtAnyStep) {
    OwnStore store;
    Person person;
    const std::vector<JDServerData> none;
    std::unique_ptr<TwinServerWizard> w(new TwinServerWizard(Application, none));
    w->Show();
    Pump();
    for (int step = 0; step < 5; ++step) {
        w->GoTo(step);
        w->SetModalResult(mrNone);
        Pump();
        pw::gui::SimulateKeyStroke(VK_ESCAPE);
        Pump();
        EXPECT_EQ(w->ModalResult(), mrNone) << "step " << step + 1;
        EXPECT_EQ(w->Step(), step) << "no other button of the step is pressed";
    }
    w->GoTo(3);
    w->btnProxy->SetFocus();
    w->SetModalResult(mrNone);
    Pump();
    pw::gui::SimulateKeyStroke(VK_ESCAPE);
    Pump();
    EXPECT_EQ(w->ModalResult(), mrNone);
    EXPECT_TRUE(person.Asked.empty());
}

TEST(ProxyWindow, ShowsAndSavesTheSettings) {
    OwnStore store;
    Person person;
    SaveProxySettings({"proxy.example", "alice", "wonder", "1080", "Socks5"});
    {
        std::unique_ptr<TwindowProxy> w(new TwindowProxy(Application));
        w->FormShow(nullptr);
        EXPECT_EQ(w->Edit1->Text(), "proxy.example");
        EXPECT_EQ(w->Edit3->Text(), "wonder") << "the stored password comes back clear";
        EXPECT_EQ(static_cast<int>(w->SpinEdit1->Value()), 1080);
        EXPECT_EQ(w->ComboBox1->ItemIndex(), 1);
        w->Edit2->SetText("bob");
        w->ComboBox1->SetItemIndex(4);
        w->Button1Click(nullptr);
        EXPECT_EQ(w->ModalResult(), mrOk);
    }
    const TProxySettings s = LoadProxySettings();
    EXPECT_EQ(s.Login, "bob");
    EXPECT_EQ(s.Password, "wonder");
    EXPECT_EQ(s.Type, "Socks4a");

    SaveProxySettings({"", "", "", "", "socks5"});
    std::unique_ptr<TwindowProxy> w(new TwindowProxy(Application));
    w->FormShow(nullptr);
    EXPECT_EQ(w->ComboBox1->ItemIndex(), -1) << "the type is matched exactly";
}

// Ok and Cancel take no key for the window: Enter and Escape in its fields neither save nor close.
TEST(ProxyWindow, EnterAndEscapeInAFieldEndNothing) {
    OwnStore store;
    Person person;
    SaveProxySettings({"proxy.example", "alice", "wonder", "1080", "Socks5"});
    std::unique_ptr<TwindowProxy> w(new TwindowProxy(Application));
    w->Show();
    Pump();
    for (TWinControl* field : std::initializer_list<TWinControl*>{w->Edit1, w->SpinEdit1, w->ComboBox1}) {
        field->SetFocus();
        Pump();
        w->Edit1->SetText("other.example");
        for (BYTE key : {VK_RETURN, VK_ESCAPE}) {
            pw::gui::SimulateKeyStroke(key);
            Pump();
            EXPECT_EQ(w->ModalResult(), mrNone) << "key " << int(key) << " in " << field->Name();
        }
    }
    EXPECT_EQ(LoadProxySettings().HostName, "proxy.example") << "nothing was saved";
    w->Hide();
}

TEST(ProxyWindow, OkStoresThePortAsShownAndNoTypeWhenNoneIsChosen) {
    OwnStore store;
    Person person;
    SaveProxySettings({"proxy.example", "alice", "wonder", "1080", "socks5"});
    {
        std::unique_ptr<TwindowProxy> w(new TwindowProxy(Application));
        w->FormShow(nullptr);
        ASSERT_EQ(w->ComboBox1->ItemIndex(), -1);
        w->SpinEdit1->SetValue(3128);
        w->Button1Click(nullptr);
        EXPECT_EQ(w->ModalResult(), mrOk);
    }
    const TProxySettings s = LoadProxySettings();
    EXPECT_EQ(s.Port, "3128");
    EXPECT_EQ(s.Type, "") << "the window showed no type, and none is stored";
    EXPECT_EQ(s.HostName, "proxy.example");
}

TEST(FtpWindows, Screenshots) {
    OwnStore store;
    Person person;
    SaveServerProfiles({Profile("My Home Site", "ftp.example.com"), Profile("Work", "work.example")});
    {
        std::unique_ptr<TwinServers> m(new TwinServers(Application));
        m->OnActivate = nullptr;
        m->tvServers->SetSelected(m->tvServers->Items().Item(0));
        m->Show();
        Pump();
        Screenshot(m.get(), "server_manager");
        m->pages->SetActivePage(m->tabSettings);
        Pump();
        Screenshot(m.get(), "server_manager_settings");
    }
    {
        const std::vector<JDServerData> none;
        std::unique_ptr<TwinServerWizard> w(new TwinServerWizard(Application, none));
        w->eNickname->SetText("My Home Site");
        w->Show();
        Pump();
        Screenshot(w.get(), "server_wizard_step1");
        w->GoTo(4);
        Pump();
        Screenshot(w.get(), "server_wizard_step5");
    }
    {
        SaveProxySettings({"127.0.0.1", "alice", "wonder", "1080", "Socks5"});
        std::unique_ptr<TwindowProxy> p(new TwindowProxy(Application));
        p->Show();
        Pump();
        Screenshot(p.get(), "proxy_window");
    }
}

} // namespace
} // namespace ftpforms_test
