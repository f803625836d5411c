#pragma once

#include "shell/frmmain.h"

// The settings file beside the program, or in the per-user configuration folder
// where the program's own folder cannot be written; the JPEG library beside the
// program or where it was built.
AppPaths defaultAppPaths();
