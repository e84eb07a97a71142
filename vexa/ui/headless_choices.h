#pragma once
// The headless run's options made as a user makes them in "Open Files":
// each control clicked, typed into or selected through the driver, so the
// dialog's own rules and messages apply.
#include <string>
#include <vector>

#include "platform/ui/dialog.h"
#include "platform/ui/headless.h"
#include "vexa/ui/headless_options.h"

namespace vexa {

// Makes the choices of `options` in the open dialog `d`, top to bottom as
// the form reads, Space Delimited last but the error-log limit. Empty when
// every choice was taken; otherwise the message of the first that was not
// (a control the dialog keeps off, a channel it does not list, or a box it
// raised), and the dialog is left as that choice found it.
std::string MakeChoices(ui::Dialog& d, ui::Driver& driver, const ui::HeadlessBackend& backend,
                        const HeadlessOptions& options);

}  // namespace vexa
