#pragma once
// "Open Files" (template 145): the source, TMATS, outputs, channel, options,
// limits and tolerances of the next run, on the run controller's
// configuration and the engine's settings.
#include <string>

#include "platform/ui/dialog.h"
#include "vexa/ui/settings.h"

namespace vexa {

class CVexaApp;
class ValidationEngine;

// The user message the dialog posts itself after a source or TMATS choice.
inline constexpr int kMsgFillChannelList = 1;
// The tolerance values under the per-user key.
inline constexpr const char* kTimePacketToleranceValue = "IRIGTimeErrTol";
inline constexpr const char* kIntraPacketToleranceValue = "IPHTimeErrTol";

class COpenFilesDlg : public ui::Dialog {
public:
    // Without an application no settings are read or written.
    COpenFilesDlg(ValidationEngine& engine, CVexaApp* app, ui::Window* owner = nullptr);

    bool OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(ui::DataExchange& dx) override;

    void FillChannelList();
    void OnOpenRmm();
    void OnOpenDisk();
    void FillRecorderDrives();
    void FillRecorderFiles(const std::string& drive);

    bool InRecorderMode() const;

private:
    void MapHandlers();
    void MapSourceHandlers();
    void MapOptionHandlers();
    void InitRecorderButton();
    void InitTolerances();
    void InitFormat();
    void InitSources();
    void InitOptions();
    void ShowSourceKind();
    int ReadTolerance(const char* name, std::string& text);
    void WriteTolerance(const char* name, int value);
    void StoreSettings();
    void OnSourceDirKind();
    void OnSourceFileKind();
    void OnBrowseSourceFile();
    void OnBrowseTmats();
    void OnSourceDirSelected();
    // "Select Directory" for the source (1022) or output (1026) directory.
    void OnBrowseDirectory(int comboId, SettingKind list);
    void OnSourceFileSelected();
    void OnBodiesClicked();
    void OnSimClicked(int id, int& flag);
    void OnFormatClicked(bool spaceDelimited);
    void OnLimitChanged(int id, bool perPacket);
    // The Channel Details dialog for the source text.
    void OnDetails();
    // Selects `text` in combo `id`, inserting it at the top when not listed.
    void SelectOrInsert(int id, const std::string& text);
    std::string FileDialogStart() const;
    void EnableBodyOptions(bool on);

    ValidationEngine& engine_;
    CVexaApp* app_;

    // The dialog's own values.
    std::string sourceDir_;
    std::string sourceFile_;
    std::string tmats_;
    std::string outputDir_;
    std::string outputFile_;
    std::string channel_;
    std::string maxPerPacket_;
    std::string maxPerChannel_;
    std::string intraTolerance_;
    std::string timeTolerance_;
    int listAll_ = 0;
    int bodies_ = 0;
    int simPcm_ = 0;
    int sim1553_ = 0;
    int maxSame_ = 0;
};

}  // namespace vexa
