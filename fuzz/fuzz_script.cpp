// Any script: runs it twice against a store holding every kind of variable, so that what a run
// leaves behind (variables, the result, strings of an unfinished statement) meets the next run.
#include "fuzz_support.h"
#include "regscript.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    start_library_once();
    fill_store();
    std::string script = as_text(data, size);
    int32_t error_line = 0;
    run_parser(script.c_str(), &error_line);
    run_parser(script.c_str(), &error_line);
    run_parser("s + \"!\"; i = i + 1;", &error_line);
    return 0;
}
