// The host's functions for scripts: their definitions in the store, and what a function reads
// and sets of the call in progress.
#include <cstring>
#include <string_view>

#include "host_calls.h"
#include "memory.h"
#include "numbers.h"
#include "regscript_ext.h"
#include "scanner.h"
#include "scratch.h"
#include "script_run.h"
#include "store.h"
#include "store_lock.h"

namespace {

int32_t record_type(int32_t result_type) {
    switch (result_type) {
        case REGSCRIPT_TYPE_INT: return HOST_INT_FUNCTION;
        case REGSCRIPT_TYPE_DOUBLE: return HOST_DOUBLE_FUNCTION;
        case REGSCRIPT_TYPE_STRING: return HOST_STRING_FUNCTION;
        default: return 0;
    }
}

int32_t parameter_type(char letter) {
    switch (letter) {
        case 'i': return INT_VAR;
        case 'd': return DOUBLE_VAR;
        case 's': return STRING_VAR;
        default: return 0;
    }
}

// The definition `parameter_types` describes, with `function` and `context`; false for a letter
// that names no type or too many parameters.
bool describe(const char* parameter_types, regscript_function function, void* context, HostFunction* definition) {
    const std::string_view letters = parameter_types ? parameter_types : "";
    if (letters.size() > max_host_parameters) return false;
    *definition = {function, context, static_cast<int32_t>(letters.size()), {}};
    for (std::size_t i = 0; i < letters.size(); ++i) {
        if (!(definition->parameter_types[i] = parameter_type(letters[i]))) return false;
    }
    return true;
}

// The store may change only outside runs: the run's parser holds its records.
bool may_define(const char* name, const NameKey& key) {
    if (!name || !is_script_name(name) || run_in_progress()) return false;
    const Variable* existing = find_variable(key);
    return !existing || existing->type != FUNCTION;
}

// The call whose function runs now, if it is `call` and this thread runs it.
regscript_call* current(regscript_call* call) {
    return call && store_lock_depth() > 0 && call == call_in_progress() ? call : nullptr;
}

const SemanticValue* argument(regscript_call* call, int32_t index, int32_t type) {
    call = current(call);
    if (!call || index < 0 || index >= call->argument_count) return nullptr;
    return call->function->value.host->parameter_types[index] == type ? &call->arguments[index] : nullptr;
}

// The call in progress if its function returns `type`.
regscript_call* returning(regscript_call* call, int32_t type) {
    call = current(call);
    return call && call->function->type == type ? call : nullptr;
}

}  // namespace

int32_t REGSCRIPT_STDCALL regscript_define_function(const char* name, int32_t result_type, const char* parameter_types,
                                                    regscript_function function, void* context) {
    HostFunction definition;
    const int32_t type = record_type(result_type);
    if (!type || !function || !describe(parameter_types, function, context, &definition)) return -1;
    StoreLockScope lock;
    if (!lock.held) return -1;
    const NameKey key = key_of(name ? name : "");
    if (!may_define(name, key)) return -1;
    auto* owned = static_cast<HostFunction*>(allocate(sizeof(HostFunction)));
    if (!owned) return -1;
    *owned = definition;
    if (store_host_function(key, type, owned)) return 0;
    deallocate(owned);
    return -1;
}

int32_t REGSCRIPT_STDCALL regscript_remove_function(const char* name) {
    StoreLockScope lock;
    if (!lock.held || !name || run_in_progress()) return -1;
    Variable* variable = find_variable(key_of(name));
    if (!variable || !is_host_function(variable->type)) return -1;
    remove_variable(variable);
    return 0;
}

int32_t REGSCRIPT_STDCALL regscript_argument_int(regscript_call* call, int32_t index) {
    const SemanticValue* value = argument(call, index, INT_VAR);
    return value ? value->integer : 0;
}

double REGSCRIPT_STDCALL regscript_argument_double(regscript_call* call, int32_t index) {
    const SemanticValue* value = argument(call, index, DOUBLE_VAR);
    return value ? value->number : 0.0;
}

// A string variable may hold no text; the host receives it as "".
const char* REGSCRIPT_STDCALL regscript_argument_string(regscript_call* call, int32_t index) {
    const SemanticValue* value = argument(call, index, STRING_VAR);
    return value && value->text ? value->text : "";
}

void REGSCRIPT_STDCALL regscript_return_int(regscript_call* call, int32_t value) {
    if (regscript_call* integer = returning(call, HOST_INT_FUNCTION)) integer->result.integer = value;
    if (regscript_call* number = returning(call, HOST_DOUBLE_FUNCTION)) number->result.number = value;
}

void REGSCRIPT_STDCALL regscript_return_double(regscript_call* call, double value) {
    if (regscript_call* integer = returning(call, HOST_INT_FUNCTION)) integer->result.integer = double_to_int(value);
    if (regscript_call* number = returning(call, HOST_DOUBLE_FUNCTION)) number->result.number = value;
}

// A failed copy ends the run as out of memory once the function returns.
void REGSCRIPT_STDCALL regscript_return_string(regscript_call* call, const char* text) {
    if (regscript_call* string = returning(call, HOST_STRING_FUNCTION)) string->result.text = scratch_dup(text ? text : "");
}

void REGSCRIPT_STDCALL regscript_fail(regscript_call* call, const char* message) {
    if (!(call = current(call))) return;
    call->failed = true;
    note_host_failure(call->counted_line, call->line, call->column, message ? message : "the host function failed");
}
