#include <memory>
#include <wx/app.h>
