#pragma once
// The program's resource tables, one definition each.
#include "platform/ui/resource.h"

namespace vexa::res {

extern const ui::MenuTemplate kMainMenu;
extern const ui::AccelTable kMainAccelerators;
extern const ui::ToolbarTemplate kMainToolbar;
extern const ui::DialogTemplate kFormTemplate;
extern const ui::DialogTemplate kAboutTemplate;
extern const ui::DialogTemplate kOpenFilesTemplate;
extern const ui::DialogTemplate kChannelDetailsTemplate;
extern const ui::DialogTemplate kViewOutputTemplate;
extern const ui::DialogTemplate kViewFilesTemplate;
extern const ui::ImageResource kLogoResource;
extern const std::span<const ui::StringEntry> kStringTable;
extern const std::span<const ui::ImageResource* const> kImages;
extern const ui::ImageResource kDirTreeImages;
extern const ui::DialogTemplate kSelectDirTemplate;

}  // namespace vexa::res
