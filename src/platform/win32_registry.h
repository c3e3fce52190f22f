// The Win32 handles of the registry roots and the access flags of the
// registry views, for every piece of code that opens keys itself.
#pragma once

#include <windows.h>

#include "platform/platform.h"

HKEY RegistryRootKey(RegistryRoot root);
REGSAM RegistryViewFlag(RegistryView view);
