// The library's version and the switch for its standard output.
#include "output.h"
#include "regscript.h"
#include "regscript_ext.h"

const char* REGSCRIPT_CDECL regscript_version(void) { return REGSCRIPT_VERSION_STRING; }

void REGSCRIPT_STDCALL regscript_set_output(int32_t enabled) { set_output_enabled(enabled != 0); }

void REGSCRIPT_STDCALL regscript_set_output_function(regscript_output_function function, void* context) {
    set_output_function(function, context);
}
