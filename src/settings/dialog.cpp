#include "settings/settings.h"

// The options dialog is not built yet: configuring ends at once, settings unchanged.
int RunConfigureDialog(HWND parent) { return 1; }
