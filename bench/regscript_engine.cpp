// regscript's adapters: everything goes through the exported functions of include/regscript.h and
// regscript_ext.h, as a host calls them. Each adapter starts from an empty store.
#include <cstdint>
#include <string>
#include <vector>

#include "engine_runners.h"
#include "regscript.h"
#include "regscript_ext.h"

namespace {

class RegscriptScripts {
public:
    explicit RegscriptScripts(Workload workload) : script_(script_texts(workload).regscript) {
        reset_registers();
        run_parser(script_texts(workload).regscript_setup.c_str(), &error_line_);
        note_error();
        if (script_handling(workload) != ScriptHandling::fresh_text) {
            prepared_ = regscript_prepare(script_.c_str());
            if (!prepared_) error_ = "regscript_prepare ran out of memory";
        }
        if (script_handling(workload) == ScriptHandling::prepared_quiet) regscript_set_output(0);
    }
    ~RegscriptScripts() {
        regscript_free_prepared(prepared_);
        regscript_set_output(1);
    }
    RegscriptScripts(const RegscriptScripts&) = delete;
    RegscriptScripts& operator=(const RegscriptScripts&) = delete;

    void run_script() {
        if (prepared_) {
            regscript_run_prepared(prepared_, &error_line_);
        } else {
            run_parser(script_.c_str(), &error_line_);
        }
        note_error();
    }

    Value read(const std::string& name) const {
        switch (get_variable_type(name.c_str())) {
            case REGSCRIPT_INT: return static_cast<int64_t>(get_int_variable(name.c_str()));
            case REGSCRIPT_DOUBLE: return get_double_variable(name.c_str());
            case REGSCRIPT_STRING: return read_string(name);
            default: return {};
        }
    }

    const std::string& error() const { return error_; }

private:
    void note_error() {
        if (error_line_ != 0) error_ = "syntax error on line " + std::to_string(error_line_);
    }

    static std::string read_string(const std::string& name) {
        int32_t length = get_string_variable(name.c_str(), nullptr, 0);
        if (length <= 0) return "";
        std::string text(static_cast<std::size_t>(length), '\0');
        get_string_variable(name.c_str(), text.data(), length);
        return text;
    }

    const std::string& script_;
    regscript_script* prepared_ = nullptr;  // for a prepared workload
    int32_t error_line_ = 0;
    std::string error_;
};

class RegscriptPairs {
public:
    explicit RegscriptPairs(const std::vector<std::string>& names) {
        reset_registers();
        for (const std::string& name : names) set_int_variable(name.c_str(), 0);
    }

    int64_t set_then_get(const char* name, int32_t value) {
        set_int_variable(name, value);
        return get_int_variable(name);
    }
};

class RegscriptSubstitution {
public:
    explicit RegscriptSubstitution(const std::vector<NamedValue>& variables) {
        reset_registers();
        for (const NamedValue& variable : variables) {
            if (const auto* text = std::get_if<std::string>(&variable.value)) {
                set_string_variable(variable.name.c_str(), text->c_str());
            } else {
                set_int_variable(variable.name.c_str(), static_cast<int32_t>(std::get<int64_t>(variable.value)));
            }
        }
    }

    void substitute(const std::string& text, std::string* result) {
        char* substituted = my_parse(text.c_str());
        if (result) *result = substituted;
        my_free(substituted);
    }
};

}  // namespace

std::unique_ptr<WorkloadRunner> make_regscript_runner(Workload workload) {
    return make_runner<RegscriptScripts, RegscriptPairs, RegscriptSubstitution>(workload);
}
