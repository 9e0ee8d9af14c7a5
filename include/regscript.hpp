// regscript for C++ hosts: a header-only C++17 interface over the C functions of regscript.h and
// regscript_ext.h. Only C crosses into the library, so it works with a library built by any
// compiler.
//
// Errors: whatever the library fails to do when asked throws regscript::Error (derived from
// std::runtime_error): a lock wait that failed, a value the store refused, memory that ran out.
// A failed lock wait is therefore never read as a value of 0. What a script does is no failure of
// the library: a run returns a RunResult whose outcome says how it ended. A variable that does
// not exist, or holds another type, is an empty std::optional.
//
// The library's store, lock and definitions are process-wide: have one Session at a time. Any
// thread may use it, as any thread may call the C functions.
#ifndef REGSCRIPT_HPP
#define REGSCRIPT_HPP

#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "regscript.h"
#include "regscript_ext.h"

namespace regscript {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Where something was found in a script (line and column from 1) and what it is, for its author.
struct Diagnostic {
    int32_t line = 0;
    int32_t column = 0;
    std::string message;
};

struct RunResult {
    int32_t result = 0;                   // what run_parser returns
    int32_t outcome = REGSCRIPT_RUN_NONE;  // one of regscript_ext.h's REGSCRIPT_RUN_ codes
    Diagnostic error;                     // line 0 and no message when the run had no error
    std::vector<Diagnostic> warnings;     // the first 16 of the run
    bool ok() const { return outcome == REGSCRIPT_RUN_COMPLETED; }
};

using Value = std::variant<int32_t, double, std::string>;

struct Variable {
    std::string name;
    Value value;
};

namespace detail {

// A text that a C function hands out by the strncpy rule after telling its length when asked with
// no buffer; "" when it has none (-1).
template <typename Read>
std::string measured_text(Read read) {
    const int32_t length = read(nullptr, 0);
    if (length <= 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    read(text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

// Holds the library's lock for a scope, taken through the listing calls, which keep it. Inside it
// every call gets the lock at once, so several calls see one store and no answer can be the
// failure value of a wait.
class StoreLock {
public:
    StoreLock() {
        if (open_list_variables() != 0) throw Error("regscript: another thread held the lock for over 1000 ms");
    }
    ~StoreLock() { close_list_variables(); }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;
};

// What the calling thread's last run (it has just returned `result`) did.
inline RunResult last_run(int32_t result, int32_t error_line) {
    RunResult run;
    run.result = result;
    run.outcome = regscript_last_outcome();
    if (run.outcome == REGSCRIPT_RUN_LOCK_NOT_OBTAINED) {
        throw Error("regscript: the script did not run: another thread held the lock for over 1000 ms");
    }
    Diagnostic& error = run.error;
    error.message = measured_text([&](char* buffer, int32_t size) {
        return regscript_last_error(&error.line, &error.column, buffer, size);
    });
    if (error.line == 0) error.line = error_line;  // memory ran out: the line the run reached
    for (int32_t index = 0; index < regscript_last_warning_count(); ++index) {
        Diagnostic warning;
        if (regscript_last_warning(index, nullptr, nullptr, nullptr, 0) < 0) break;  // beyond those kept
        warning.message = measured_text([&](char* buffer, int32_t size) {
            return regscript_last_warning(index, &warning.line, &warning.column, buffer, size);
        });
        run.warnings.push_back(std::move(warning));
    }
    return run;
}

// The variables of every kind, or nothing when a name did not fit in `name_size` bytes (the
// strncpy rule then leaves it without a NUL). The caller holds the lock.
inline std::optional<std::vector<Variable>> listed_variables(int32_t name_size) {
    std::vector<Variable> listed;
    std::string name(static_cast<std::size_t>(name_size), '\0');
    bool every_name_fits = true;
    auto add = [&](Value value) {
        const std::size_t end = name.find('\0');
        if (end == std::string::npos) every_name_fits = false;
        else listed.push_back({name.substr(0, end), std::move(value)});
    };
    int32_t integer = 0;
    get_first_variable();
    while (get_next_int_variable(name.data(), name_size, &integer) == 0) add(integer);
    double number = 0;
    get_first_variable();
    while (get_next_double_variable(name.data(), name_size, &number) == 0) add(number);
    get_first_variable();
    // Without a value buffer the call gives the text's length and leaves the cursor where it is.
    for (int32_t length; (length = get_next_string_variable(name.data(), name_size, nullptr, 0)) >= 0;) {
        std::string text(static_cast<std::size_t>(length) + 1, '\0');
        get_next_string_variable(name.data(), name_size, text.data(), length + 1);
        text.resize(static_cast<std::size_t>(length));
        add(std::move(text));
    }
    if (!every_name_fits) return std::nullopt;
    return listed;
}

// The host number of a variable's type for the C++ type that holds its values.
template <typename T>
constexpr int32_t type_code() {
    using V = std::decay_t<T>;
    if constexpr (std::is_same_v<V, int32_t>) return REGSCRIPT_INT;
    else if constexpr (std::is_same_v<V, double>) return REGSCRIPT_DOUBLE;
    else {
        static_assert(std::is_same_v<V, std::string> || std::is_same_v<V, std::string_view> ||
                          std::is_same_v<V, const char*> || std::is_same_v<V, char*>,
                      "regscript values are int32_t, double or texts (std::string, std::string_view)");
        return REGSCRIPT_STRING;
    }
}

inline void stored(int32_t status, const std::string& name) {
    if (status == 0) return;
    const int32_t type = get_variable_type(name.c_str());
    const char* held = type == REGSCRIPT_INT ? "an integer" : type == REGSCRIPT_DOUBLE ? "a double" : "a string";
    throw Error(type > 0 ? "regscript: `" + name + "` holds " + held + "; a variable keeps its type"
                         : "regscript: `" + name + "` was not stored: it names a function, memory ran out, "
                                                   "or another thread held the lock for over 1000 ms");
}

struct FreeText {
    void operator()(char* text) const { my_free(text); }
};

}  // namespace detail

namespace detail {

// The parameter and result types of a callable: a function, a function pointer or an object
// with one operator() (a lambda).
template <typename T>
struct Signature : Signature<decltype(&T::operator())> {};
template <typename R, typename... A>
struct Signature<R (*)(A...)> {
    using Result = R;
    using Parameters = std::tuple<std::decay_t<A>...>;
};
template <typename R, typename... A>
struct Signature<R(A...)> : Signature<R (*)(A...)> {};
template <typename C, typename R, typename... A>
struct Signature<R (C::*)(A...)> : Signature<R (*)(A...)> {};
template <typename C, typename R, typename... A>
struct Signature<R (C::*)(A...) const> : Signature<R (*)(A...)> {};

template <typename T>
constexpr char parameter_letter() {
    constexpr int32_t code = type_code<T>();
    return code == REGSCRIPT_INT ? 'i' : code == REGSCRIPT_DOUBLE ? 'd' : 's';
}

template <typename T>
T argument(regscript_call* call, int32_t index) {
    if constexpr (type_code<T>() == REGSCRIPT_INT) return regscript_argument_int(call, index);
    else if constexpr (type_code<T>() == REGSCRIPT_DOUBLE) return regscript_argument_double(call, index);
    else {
        const char* text = regscript_argument_string(call, index);
        return T(text ? text : "");
    }
}

inline void return_value(regscript_call* call, int32_t value) { regscript_return_int(call, value); }
inline void return_value(regscript_call* call, double value) { regscript_return_double(call, value); }
inline void return_value(regscript_call* call, const std::string& text) { regscript_return_string(call, text.c_str()); }

// What the library keeps of a defined function: the callable, alive while it is defined.
struct HostFunction {
    virtual ~HostFunction() = default;
};

template <typename Function>
struct BoundFunction : HostFunction {
    using Types = Signature<Function>;
    using Result = typename Types::Result;
    static constexpr std::size_t arity = std::tuple_size_v<typename Types::Parameters>;

    explicit BoundFunction(Function f) : function(std::move(f)) {}

    static std::string parameter_types() {
        return std::apply([](auto... parameter) { return std::string{parameter_letter<decltype(parameter)>()...}; },
                          typename Types::Parameters{});
    }
    static constexpr int32_t result_type() {
        if constexpr (std::is_void_v<Result>) return REGSCRIPT_INT;  // a function returning nothing gives 0
        else return type_code<Result>();
    }

    template <std::size_t... I>
    void call_with(regscript_call* call, std::index_sequence<I...>) {
        using P = typename Types::Parameters;
        if constexpr (std::is_void_v<Result>) {
            function(argument<std::tuple_element_t<I, P>>(call, static_cast<int32_t>(I))...);
        } else if constexpr (type_code<Result>() == REGSCRIPT_STRING) {
            return_value(call, std::string(function(argument<std::tuple_element_t<I, P>>(call, static_cast<int32_t>(I))...)));
        } else {
            using Held = std::conditional_t<type_code<Result>() == REGSCRIPT_INT, int32_t, double>;
            return_value(call, static_cast<Held>(function(argument<std::tuple_element_t<I, P>>(call, static_cast<int32_t>(I))...)));
        }
    }

    // Nothing of C++ may unwind through the library's frames: an exception fails the call, and the
    // run, with its message.
    static void REGSCRIPT_STDCALL trampoline(regscript_call* call, void* context) {
        try {
            static_cast<BoundFunction*>(context)->call_with(call, std::make_index_sequence<arity>{});
        } catch (const std::exception& error) {
            regscript_fail(call, error.what());
        } catch (...) {
            regscript_fail(call, "the host function threw an exception that is no std::exception");
        }
    }

    Function function;
};

// The output function cannot fail a run: what it throws is dropped there.
inline void REGSCRIPT_STDCALL write_output(const char* text, int32_t length, void* context) {
    try {
        (*static_cast<std::function<void(std::string_view)>*>(context))(
            std::string_view(text, static_cast<std::size_t>(length)));
    } catch (...) {
    }
}

}  // namespace detail

// A script prepared once and run many times; freed with the object.
class Script {
public:
    explicit Script(const std::string& text) : script_(regscript_prepare(text.c_str())) {
        if (!script_) throw Error("regscript: out of memory while preparing a script");
    }
    RunResult run() {
        int32_t error_line = 0;
        const int32_t result = regscript_run_prepared(script_.get(), &error_line);
        return detail::last_run(result, error_line);
    }

private:
    struct Free {
        void operator()(regscript_script* script) const { regscript_free_prepared(script); }
    };
    std::unique_ptr<regscript_script, Free> script_;
};

// The library from init_registers to deinit_registers.
class Session {
public:
    Session() {
        if (init_registers() != 0) throw Error("regscript: out of memory while starting");
    }
    ~Session() {
        if (output_) regscript_set_output_function(nullptr, nullptr);
        deinit_registers();
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    RunResult run(const std::string& script) {
        int32_t error_line = 0;
        const int32_t result = run_parser(script.c_str(), &error_line);
        return detail::last_run(result, error_line);
    }

    // T is int32_t, double or std::string.
    template <typename T>
    std::optional<T> get(const std::string& name) const {
        detail::StoreLock lock;
        if (get_variable_type(name.c_str()) != detail::type_code<T>()) return std::nullopt;
        if constexpr (std::is_same_v<T, int32_t>) return get_int_variable(name.c_str());
        else if constexpr (std::is_same_v<T, double>) return get_double_variable(name.c_str());
        else {
            static_assert(std::is_same_v<T, std::string>, "read texts as std::string");
            return detail::measured_text(
                [&](char* buffer, int32_t size) { return get_string_variable(name.c_str(), buffer, size); });
        }
    }

    void set(const std::string& name, int32_t value) { detail::stored(set_int_variable(name.c_str(), value), name); }
    void set(const std::string& name, double value) { detail::stored(set_double_variable(name.c_str(), value), name); }
    void set(const std::string& name, std::string_view text) {
        detail::stored(set_string_variable(name.c_str(), std::string(text).c_str()), name);
    }

    // The text with every [name] replaced by the variable's value.
    std::string expand(const std::string& text) const {
        detail::StoreLock lock;  // without it a failed wait would give the text unexpanded
        const std::unique_ptr<char, detail::FreeText> expanded(my_parse(text.c_str()));
        if (!expanded) throw Error("regscript: out of memory while expanding a text");
        return expanded.get();
    }

    // Every variable: the integers, the doubles, then the strings, each kind newest first.
    std::vector<Variable> variables() const {
        detail::StoreLock lock;
        for (int32_t name_size = 64;; name_size *= 2) {
            if (auto listed = detail::listed_variables(name_size)) return std::move(*listed);
            if (name_size > std::numeric_limits<int32_t>::max() / 2) throw Error("regscript: a name is too long to list");
        }
    }

    // Defines a function that scripts call by `name`, typed by the callable's parameters and result
    // (int32_t, double, std::string or std::string_view; a result of void gives 0). It replaces a
    // function or variable of that name and lives until the session ends.
    template <typename Function>
    void define(const std::string& name, Function function) {
        using Bound = detail::BoundFunction<Function>;
        auto bound = std::make_unique<Bound>(std::move(function));
        // The entry exists before the library holds the callable, so that keeping it cannot fail.
        std::unique_ptr<detail::HostFunction>& kept = functions_[name];
        if (regscript_define_function(name.c_str(), Bound::result_type(), Bound::parameter_types().c_str(),
                                      &Bound::trampoline, bound.get()) != 0) {
            if (!kept) functions_.erase(name);
            throw Error("regscript: `" + name + "` cannot be defined: it is a keyword or a built-in function, it is "
                        "no name a script can write, or another thread held the lock for over 1000 ms");
        }
        kept = std::move(bound);  // the library calls the replaced one no more
    }

    // Runs' standard output goes to `write` instead; an empty function gives it back to stdout.
    // Not while a run is in progress on another thread.
    void on_output(std::function<void(std::string_view)> write) {
        regscript_set_output_function(nullptr, nullptr);
        output_ = std::move(write);
        if (output_) regscript_set_output_function(&detail::write_output, &output_);
    }

    Script prepare(const std::string& text) const { return Script(text); }

private:
    std::map<std::string, std::unique_ptr<detail::HostFunction>> functions_;
    std::function<void(std::string_view)> output_;
};

}  // namespace regscript

#endif  // REGSCRIPT_HPP
