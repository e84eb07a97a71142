// The program's resource set.
#include "platform/ui/resource.h"
#include "vexa/res/resource_ids.h"
#include "vexa/res/tables.h"

namespace vexa::res {

const ui::ResourceSet& Resources() {
    static const ui::DialogTemplate* const dialogs[] = {&kFormTemplate,           &kAboutTemplate,
                                                         &kOpenFilesTemplate,      &kSelectDirTemplate,
                                                         &kChannelDetailsTemplate, &kViewOutputTemplate,
                                                         &kViewFilesTemplate};
    static const ui::MenuTemplate* const menus[] = {&kMainMenu};
    static const ui::ToolbarTemplate* const toolbars[] = {&kMainToolbar};
    static const ui::AccelTable* const accelerators[] = {&kMainAccelerators};
    static const ui::ResourceSet set{dialogs, menus, toolbars, kStringTable, accelerators, kImages};
    return set;
}

}  // namespace vexa::res
