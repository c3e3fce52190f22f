// What the launcher would do on this machine, started with a given command
// line, and the likely mistakes in its configuration.
#pragma once

#include <ostream>

#include "checker_args.h"
#include "platform/platform.h"
#include "system_queries.h"

// Runs the launcher's own code once, over a platform that acts on nothing,
// prints what it found and would do and the warning rules' findings, and
// returns the exit status.
int CheckLauncher(Platform& real, SystemQueries& system, const CheckRequest& request,
                  std::ostream& out);
