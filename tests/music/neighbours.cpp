// The shell's record, which the player reads the saver window from.
#include "shell/shell.h"

ShellState shell;
