// The stored properties of the page fetcher, in the order and with the defaults the stream expects.
#include "fetch/file_fetcher.h"
#include "platform/rtl/published.h"
#include "platform/rtl/string_list.h"

const TPropertyTable& TFileFetcher::Table() {
    using F = TFileFetcher;
    static const TPropertyTable table(&TComponent::Table(), [] {
        const std::vector<std::string> mimeNames{"mimeUnknown",   "mimeApplication", "mimeAudio",
                                                 "mimeImage",     "mimeMessage",     "mimeModel",
                                                 "mimeMultipart", "mimeText",        "mimeVideo"};
        const std::vector<std::string> linkNames{
            "ltA_href",      "ltAPPLET_code", "ltAREA_href",        "ltBGSOUND_src",   "ltBODY_background",
            "ltFRAME_src",   "ltIFRAME_src",  "ltINPUT_src",        "ltIMG_src",       "ltLINK_href",
            "ltOBJECT_data", "ltSCRIPT_src",  "ltTABLE_background", "ltTD_background", "ltTH_background"};
        return std::vector<TPropInfo>{
            StringProperty<F>("URL", &F::URL, &F::SetURL),
            StringProperty<F>("ShortURL", &F::ShortURL, &F::SetShortURL),
            StringProperty<F>("PageContent", &F::PageContent, &F::SetPageContent),
            StringProperty<F>("ContentType", &F::ContentType, &F::SetContentType),
            EnumProperty<F>("MimeType", &F::MimeType, &F::SetMimeType, mimeNames, mimeUnknown),
            IntegerProperty<F>("ContentLength", &F::ContentLength, &F::SetContentLength, 0),
            StringProperty<F>("ContentLocation", &F::ContentLocation, &F::SetContentLocation),
            IntegerProperty<F>("Response", &F::Response, &F::SetResponse, -1),
            StringProperty<F>("RedirectedURL", &F::RedirectedURL, &F::SetRedirectedURL),
            BooleanProperty<F>("PasswordRequired", &F::PasswordRequired, &F::SetPasswordRequired, false),
            BooleanProperty<F>("Parsed", &F::Parsed, &F::SetParsed, false),
            StringProperty<F>("Title", &F::Title, &F::SetTitle),
            BooleanProperty<F>("HasTitle", &F::HasTitle, &F::SetHasTitle, false),
            SetProperty<F>("DownloadFileTypes", &F::DownloadFileTypes, &F::SetDownloadFileTypes, mimeNames,
                           MimeBit(mimeText)),
            BooleanProperty<F>("DontGetContent", &F::DontGetContent, &F::SetDontGetContent, false),
            BooleanProperty<F>("DontParseFile", &F::DontParseFile, &F::SetDontParseFile, false),
            BooleanProperty<F>("ResolveUris", &F::ResolveUris, &F::SetResolveUris, true),
            BooleanProperty<F>("ShowAllLinkTypes", &F::ShowAllLinkTypes, &F::SetShowAllLinkTypes, false),
            SetProperty<F>("LinkTypes", &F::LinkTypes, &F::SetLinkTypes, linkNames, kAllLinkTypes),
            StringProperty<F>("Agent", &F::Agent, &F::SetAgent),
            StringProperty<F>("ProxyServer", &F::ProxyServer, &F::SetProxyServer),
            IntegerProperty<F>("ProxyPort", &F::ProxyPort, &F::SetProxyPort, 0),
            StringProperty<F>("ProxyUserName", &F::ProxyUserName, &F::SetProxyUserName),
            StringProperty<F>("ProxyPassword", &F::ProxyPassword, &F::SetProxyPassword),
            ObjectProperty<F>("NonFollowQueryParts", &F::NonFollowQueryParts),
            MethodProperty("OnProgress"),
            MethodProperty("OnStatusMessage"),
            MethodProperty("OnLink")};
    }());
    return table;
}
