#pragma once
// The program settings that outlive a profile, kept in "SiteMap.dat" in the user's configuration folder.
#include "platform/rtl/component.h"

#include <string>

class TSiteMapSettings : public TComponent {
public:
    explicit TSiteMapSettings(TComponent* AOwner = nullptr);
    std::string ClassName() const override { return "TSiteMapSettings"; }
    static const TPropertyTable& Table();
    const TPropertyTable* PublishedProperties() const override { return &Table(); }

    const std::string& LastFile() const { return lastFile_; }
    void SetLastFile(const std::string& Value) { lastFile_ = Value; }
    bool LoadLast() const { return loadLast_; }
    void SetLoadLast(bool Value) { loadLast_ = Value; }
    const std::string& SettingFile() const { return settingFile_; }
    void SetSettingFile(const std::string& Value) { settingFile_ = Value; }

private:
    std::string lastFile_;
    bool loadLast_ = false;
    std::string settingFile_;
};

// UserConfigDir() + "SiteMap.dat".
std::string SettingsFilePath();
// Reads the settings file when it exists. A damaged file raises the stream's exception and changes
// nothing. SettingFile always names the file of this user, whatever path the file holds.
void LoadSettings(TSiteMapSettings& Settings);
// Writes the settings file through a temporary file; EFCreateError when that fails.
void SaveSettings(TSiteMapSettings& Settings);
// SaveSettings for the window's destruction, which must not raise: false and the reason instead.
bool TrySaveSettings(TSiteMapSettings& Settings, std::string& Error) noexcept;
