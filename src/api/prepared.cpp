// Prepared scripts: a text the host hands over once and runs many times. A run of one is a run
// of its text by run_parser, through the same entry; from its second run on, the script runs
// compiled as far as its code goes, while the store keeps the shape the code was compiled
// against, and compiles again when it does not.
#include <cstring>
#include <new>

#include "memory.h"
#include "regscript_ext.h"
#include "run.h"
#include "script_code.h"
#include "script_run.h"

// The text follows the record in the same block.
struct regscript_script {
    const char* text;
    std::size_t length;
    ScriptCode code;
    uint32_t runs_until_compile;  // through the text alone
    uint32_t compile_delay;       // the runs_until_compile after code that served one run only
    uint32_t runs_of_code;        // since it was compiled
};

namespace {

// A script that changes the store's shape itself, in every run, throws its code away after one
// run: its next compile waits twice as many runs as the last, up to this many.
constexpr uint32_t longest_compile_delay = 63;

// The code to run now, compiled anew when the store's shape changed and a compile is due; null
// when the text runs alone. Runs under the run lock, like the runs that read the code.
const ScriptCode* code_for_run(regscript_script& script) {
    if (code_fits_store(script.code)) {
        ++script.runs_of_code;
        return &script.code;
    }
    if (script.code.instructions) {
        const uint32_t doubled = script.compile_delay * 2 + 1;
        script.compile_delay = script.runs_of_code > 1 ? 0 : doubled < longest_compile_delay ? doubled : longest_compile_delay;
        script.runs_until_compile = script.compile_delay;
        free_script_code(script.code);
    }
    if (script.runs_until_compile > 0) {
        --script.runs_until_compile;
        return nullptr;
    }
    if (!active_store() || !compile_script(script.text, script.length, script.code)) return nullptr;
    script.runs_of_code = 1;
    return &script.code;
}

void run_prepared(void* context) {
    regscript_script& script = *static_cast<regscript_script*>(context);
    run_prepared_text(script.text, script.length, code_for_run(script));
}

}  // namespace

regscript_script* REGSCRIPT_STDCALL regscript_prepare(const char* text) {
    if (!text) text = "";
    std::size_t length = std::strlen(text);
    if (length > SIZE_MAX - sizeof(regscript_script) - 1) return nullptr;
    void* block = allocate(sizeof(regscript_script) + length + 1);
    if (!block) return nullptr;
    auto* script = new (block) regscript_script{};
    char* copy = static_cast<char*>(block) + sizeof(regscript_script);
    std::memcpy(copy, text, length + 1);
    script->text = copy;
    script->length = length;
    script->runs_until_compile = 1;  // a script run once is not worth compiling
    return script;
}

int32_t REGSCRIPT_STDCALL regscript_run_prepared(regscript_script* script, int32_t* error_line) {
    if (!script) {
        const auto run_empty = [](void*) { run_text(""); };
        return enter_run(run_empty, nullptr, error_line);
    }
    return enter_run(run_prepared, script, error_line);
}

void REGSCRIPT_STDCALL regscript_free_prepared(regscript_script* script) {
    if (!script) return;
    free_script_code(script->code);
    script->~regscript_script();
    deallocate(script);
}
