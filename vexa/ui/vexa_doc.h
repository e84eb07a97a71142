#pragma once
// The document holds nothing; it is never saved or loaded.
#include "platform/ui/app.h"

namespace vexa {

class CVexaDoc : public ui::Document {};

}  // namespace vexa
