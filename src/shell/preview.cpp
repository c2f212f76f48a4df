#include "shell/shell.h"

// The preview animation inside the display settings page is not built yet; the
// mode ends at once and the host shows its own background.
int RunPreview() { return 1; }
