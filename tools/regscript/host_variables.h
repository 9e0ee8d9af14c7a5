// The variables that the command line stores before the first script runs.
#pragma once

#include <vector>

#include "command_line.h"

// Stores each variable in order; throws CommandLineError for a name that the library refuses
// (a built-in function's, or one that an earlier option gave another kind).
void store_host_variables(const std::vector<HostVariable>& variables);
