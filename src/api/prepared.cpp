// Prepared scripts: a text the host hands over once and runs many times. A run of one is a run
// of its text by run_parser, through the same entry.
#include <cstring>
#include <new>

#include "memory.h"
#include "regscript_ext.h"
#include "run.h"

// The text follows the record in the same block.
struct regscript_script {
    const char* text;
};

regscript_script* REGSCRIPT_STDCALL regscript_prepare(const char* text) {
    if (!text) text = "";
    std::size_t length = std::strlen(text);
    void* block = allocate(sizeof(regscript_script) + length + 1);
    if (!block) return nullptr;
    auto* script = new (block) regscript_script;
    char* copy = static_cast<char*>(block) + sizeof(regscript_script);
    std::memcpy(copy, text, length + 1);
    script->text = copy;
    return script;
}

int32_t REGSCRIPT_STDCALL regscript_run_prepared(regscript_script* script, int32_t* error_line) {
    return run_script_text(script ? script->text : "", error_line);
}

void REGSCRIPT_STDCALL regscript_free_prepared(regscript_script* script) {
    if (!script) return;
    script->~regscript_script();
    deallocate(script);
}
