#pragma once
// Channel Details (template 149): the chosen source's TMATS read again, its
// program name, the number of enabled channels and one sheet row each.
#include <string>

#include "platform/ui/dialog.h"

namespace vexa {

class ValidationEngine;

class CChannelDetailsDlg : public ui::Dialog {
public:
    // `sourcePath` is the whole source text of Open Files. The reading
    // replaces the engine's channel record, so the engine must be between
    // runs (Open Files has ended any run before it is shown).
    CChannelDetailsDlg(ValidationEngine& engine, std::string sourcePath, ui::Window* parent = nullptr);

    bool OnInitDialog() override;

    const std::string& SourcePath() const { return sourcePath_; }

private:
    ValidationEngine& engine_;
    std::string sourcePath_;
};

}  // namespace vexa
