#include "host_calls.h"

#include <cstdio>
#include <cstring>

#include "diagnostics.h"
#include "memory.h"
#include "numbers.h"
#include "output.h"
#include "scanner.h"
#include "scratch.h"
#include "script_run.h"
#include "variable.h"

namespace {

// The open calls, innermost last. Until an allocation fails, every open call has its frame.
struct CallStack {
    regscript_call* frames;
    int32_t capacity;
    int32_t depth;
    regscript_call* calling;  // the frame whose function runs now
};

CallStack calls = {};

regscript_call* innermost_call() {
    return allocation_failed() || calls.depth == 0 ? nullptr : &calls.frames[calls.depth - 1];
}

const HostFunction& definition_of(const regscript_call& call) { return *call.function->value.host; }

const char* type_word(int32_t type) {
    switch (type) {
        case INT_VAR: return "int";
        case DOUBLE_VAR: return "double";
        default: return "string";
    }
}

const char* article(int32_t type) { return type == INT_VAR ? "an" : "a"; }

// The messages are cut at the diagnostic's capacity; a name that long says enough by its start.
class Message {
public:
    template <typename... Parts>
    Message& add(const char* format, Parts... parts) {
        const std::size_t used = std::strlen(text);
        std::snprintf(text + used, sizeof text - used, format, parts...);
        return *this;
    }
    char text[diagnostic_message_capacity] = "";
};

// "`move_axis` takes (int, double); " and then the problem.
template <typename... Parts>
void note_mismatch(RunState& run, const regscript_call& call, const char* problem, Parts... parts) {
    const HostFunction& definition = definition_of(call);
    Message message;
    message.add("`%s` takes (", call.function->name);
    for (int32_t i = 0; i < definition.parameter_count; ++i) {
        message.add(i > 0 ? ", %s" : "%s", type_word(definition.parameter_types[i]));
    }
    message.add("%s", "); ").add(problem, parts...);
    note_call_mismatch(run, call.line, call.column, message.text);
}

// Stores `value`, of `type`, as the next argument of the innermost call.
bool pass_argument(RunState& run, int32_t type, SemanticValue value) {
    regscript_call* call = innermost_call();
    if (!call) return true;
    const HostFunction& definition = definition_of(*call);
    const int32_t index = call->argument_count;
    if (index >= definition.parameter_count) {
        note_mismatch(run, *call, "argument %d is one too many", static_cast<int>(index + 1));
        return false;
    }
    const int32_t parameter = definition.parameter_types[index];
    if (parameter == DOUBLE_VAR && type == INT_VAR) {
        value.number = value.integer;
    } else if (parameter != type) {
        note_mismatch(run, *call, "argument %d is %s %s", static_cast<int>(index + 1), article(type), type_word(type));
        return false;
    }
    call->arguments[call->argument_count++] = value;
    return true;
}

void close_call() {
    if (calls.depth > 0) --calls.depth;
}

}  // namespace

void open_call(const Variable* function) {
    if (allocation_failed()) return;
    if (calls.depth == calls.capacity) {
        const int32_t capacity = calls.capacity == 0 ? 4 : calls.capacity * 2;
        void* frames = reallocate(calls.frames, static_cast<std::size_t>(capacity) * sizeof(regscript_call));
        if (!frames) return;
        calls.frames = static_cast<regscript_call*>(frames);
        calls.capacity = capacity;
    }
    const TokenPlace name = token_before_last();  // the `(` is the last token read
    calls.frames[calls.depth++] = {function, 0, {}, {}, false, name.line, name.column, name.counted_line};
}

bool pass_int_argument(RunState& run, int32_t value) { return pass_argument(run, INT_VAR, {.integer = value}); }

bool pass_double_argument(RunState& run, double value) {
    SemanticValue argument;
    argument.number = value;
    return pass_argument(run, DOUBLE_VAR, argument);
}

bool pass_string_argument(RunState& run, char* text) {
    SemanticValue argument;
    argument.text = text;
    return pass_argument(run, STRING_VAR, argument);
}

bool arguments_complete(RunState& run) {
    regscript_call* call = innermost_call();
    if (!call || call->argument_count == definition_of(*call).parameter_count) return true;
    const int count = call->argument_count;
    note_mismatch(run, *call, count == 1 ? "it was given %d argument" : "it was given %d arguments", count);
    return false;
}

bool call_host_function() {
    regscript_call* call = innermost_call();
    if (!call) return true;
    const HostFunction& definition = definition_of(*call);
    switch (call->function->type) {
        case HOST_INT_FUNCTION: call->result.integer = 0; break;
        case HOST_DOUBLE_FUNCTION: call->result.number = 0.0; break;
        default: call->result.text = nullptr; break;
    }
    calls.calling = call;
    flush_output();  // the host's function may write to standard output too
    definition.function(call, definition.context);
    calls.calling = nullptr;
    return !call->failed;
}

int32_t int_call_result() {
    const regscript_call* call = innermost_call();
    const int32_t result = call ? call->result.integer : 0;
    close_call();
    return result;
}

double double_call_result() {
    const regscript_call* call = innermost_call();
    const double result = call ? call->result.number : 0.0;
    close_call();
    return result;
}

char* string_call_result() {
    const regscript_call* call = innermost_call();
    char* result = call && call->result.text ? call->result.text : scratch_dup("");
    close_call();
    return result;
}

void close_all_calls() {
    deallocate(calls.frames);
    calls = {};
}

regscript_call* call_in_progress() { return calls.calling; }
