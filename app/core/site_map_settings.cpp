#include "app/core/site_map_settings.h"

#include "app/core/profile_texts.h"
#include "platform/rtl/atomic_file.h"
#include "platform/rtl/component_stream.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/file_stream.h"
#include "platform/rtl/files.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/published.h"
#include "platform/rtl/regular_file.h"
#include "platform/rtl/stream.h"

#include <cerrno>
#include <exception>
#include <sys/stat.h>

TSiteMapSettings::TSiteMapSettings(TComponent* AOwner)
    : TComponent(AOwner), settingFile_(SettingsFilePath()) {}

const TPropertyTable& TSiteMapSettings::Table() {
    using S = TSiteMapSettings;
    static const TPropertyTable table(
        &TComponent::Table(), {
                                  StringProperty<S>("LastFile", &S::LastFile, &S::SetLastFile),
                                  BooleanProperty<S>("LoadLast", &S::LoadLast, &S::SetLoadLast),
                                  StringProperty<S>("SettingFile", &S::SettingFile, &S::SetSettingFile),
                              });
    return table;
}

std::string SettingsFilePath() {
    return UserConfigDir() + profile_text::SettingsFileName;
}

void LoadSettings(TSiteMapSettings& Settings) {
    const std::string path = SettingsFilePath();
    // Only a missing file means "nothing stored"; anything else in its place is read, and refused. So is
    // a link on the way that leads nowhere: what it leads to may come back.
    struct stat entry {};
    if (::lstat(path.c_str(), &entry) != 0 && errno == ENOENT && LinkLeadingNowhere(path).empty()) return;
    TSiteMapSettings read;
    {
        TFileStream stream(path, fmOpenRead);
        ReadComponent(stream, &read);
    }
    Settings.SetLastFile(read.LastFile());
    Settings.SetLoadLast(read.LoadLast());
    // A stored path would send the next save to wherever an older installation kept its settings.
    Settings.SetSettingFile(path);
}

void SaveSettings(TSiteMapSettings& Settings) {
    const std::string path = SettingsFilePath();
    Settings.SetSettingFile(path);
    ForceDirectories(ExtractFileDir(path));
    TMemoryStream stream;
    WriteComponent(stream, &Settings);
    // Saved at every exit, mostly as it was: an unchanged file is not written again.
    WriteFileAtomicallyIfChanged(
        path, std::string_view(reinterpret_cast<const char*>(stream.Memory()), stream.Bytes().size()));
}

bool TrySaveSettings(TSiteMapSettings& Settings, std::string& Error) noexcept {
    try {
        SaveSettings(Settings);
        return true;
    } catch (const Exception& e) {
        Error = e.Message();
    } catch (const std::exception& e) {
        Error = e.what();
    } catch (...) {
        Error = "Unknown error";
    }
    return false;
}
