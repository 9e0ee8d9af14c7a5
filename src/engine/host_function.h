// A function the host defined for scripts: how to call it and the types of its parameters. Its
// record in the store has the type of its result (HOST_INT_FUNCTION and so on).
#pragma once

#include <cstdint>

#include "regscript_ext.h"

constexpr int32_t max_host_parameters = 8;

struct HostFunction {
    regscript_function function;
    void* context;
    int32_t parameter_count;
    int32_t parameter_types[max_host_parameters];  // INT_VAR, DOUBLE_VAR or STRING_VAR
};
