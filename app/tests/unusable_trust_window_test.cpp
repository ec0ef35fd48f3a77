// The wizard crawling an https site while SSL_CERT_FILE names a named pipe: the window says why the start
// page could not be loaded instead of searching for ever.
#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "app/main_form.h"
#include "controls/rz_buttons.h"
#include "controls/rz_edits.h"
#include "main_form_fixture.h"
#include "platform/stdctrls/label.h"
#include "tests/support/child_test.h"
#include "tests/support/nginx_peer.h"

namespace app_test {
namespace {

using UnusableTrustWindowTest = MainFormTest;

// The network layer reads the variable once a process: the crawl runs in a process of its own that sets it
// first. A child that never ends is killed, which fails the test.
TEST_F(UnusableTrustWindowTest, ACrawlWhoseAuthoritiesFileIsANamedPipeEndsSayingSo) {
    if (testsupport::RanApart()) return;
    testsupport::NginxOptions secure;
    secure.tls = true;
    testsupport::NginxPeer site(secure);
    ASSERT_TRUE(site.Running());
    site.Put("/index.html", "<html><head><title>Secure home</title></head><body></body></html>");
    const fs::path pipe = dir_ / "authorities.pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    ASSERT_EQ(::setenv("SSL_CERT_FILE", pipe.c_str(), 1), 0);
    for (const char* name : {"SSL_CERT_DIR", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
        ::unsetenv(name);

    Start();
    form_->optWebsite->SetChecked(true);
    form_->editWebsite->SetText(site.Url("/"));
    form_->ButtonClick(form_->btnNext);
    Pump();
    ASSERT_EQ(form_->PageIndex(), 1);
    EXPECT_EQ(form_->lblStatusTitle->Caption(), "The start page could not be loaded.");
    const std::string said = "the certificate authorities file \"" + pipe.string() +
                             "\" that SSL_CERT_FILE names cannot be used: it is a named pipe (FIFO)";
    ASSERT_EQ(prompter_->Texts().size(), 1u);
    EXPECT_NE(prompter_->Texts()[0].find(said), std::string::npos) << prompter_->Texts()[0];
    EXPECT_EQ(form_->btnCancel->Caption(), "&Close");
}

} // namespace
} // namespace app_test
