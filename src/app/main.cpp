// The desktop program's entry point.
#include "app/zorvane_app.h"

wxIMPLEMENT_APP(zorvane::ZorvaneApp);
