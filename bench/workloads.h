// The workloads that the microbenchmarks and the comparison with Lua and muparser measure: the
// texts each engine runs and the values it must have produced afterwards. The values are worked
// out here in plain C++, so an engine that skips work fails its check instead of looking fast.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

enum class Workload {
    one_statement,       // W1a: `x = x + 1;` run as a text of its own
    five_statements,     // W1b: integer, double and string statements in one short text
    numeric_statements,  // W1b's integer and double statements alone: what muparser can run
    long_script,         // W2: one script of 100,000 statements
    one_statement_prepared,  // W1a's text prepared once and run again and again
    one_statement_quiet,     //     ... with regscript's output off
    long_script_prepared,    // W2's text prepared once and run again and again
    long_script_quiet,       //     ... with regscript's output off
    variables_10,        // W3: a host sets and reads one variable among 10 in the store
    variables_1000,      //     ... among 1,000
    variables_10000,     //     ... among 10,000
    substitution,        // W4: [name] substitution in a 64 KB text
};

struct WorkloadInfo {
    Workload workload;
    const char* label;        // "W1a"
    const char* description;  // what one operation does
    const char* unit;         // what times are given per: "run", "statement", "pair", "text"
    // An operation is one run(1) of a runner; W2's one run counts as its 100,000 statements.
    double units_per_operation;
    std::size_t bytes_per_operation;  // the input text's size where throughput is wanted, else 0
};

// Every workload, in the order of the comparison table.
const std::vector<WorkloadInfo>& all_workloads();
const WorkloadInfo& workload_info(Workload workload);
// The workload whose label is `label`; false when there is none.
bool workload_by_label(const std::string& label, Workload* workload);

// ---- Values -------------------------------------------------------------------------------------

// A variable's value as an engine holds it; monostate when it has no such variable.
using Value = std::variant<std::monostate, int64_t, double, std::string>;

struct NamedValue {
    std::string name;
    Value value;
};

// Integers and doubles compare by number, because muparser keeps every variable as a double;
// doubles may differ in their last bits.
bool same_value(const Value& found, const Value& expected);
std::string describe_difference(const NamedValue& expected, const Value& found);

// "" when every variable of `expected` has its value in the engine that `read` asks, otherwise
// the first difference.
template <typename Read>
std::string compare_variables(const std::vector<NamedValue>& expected, Read read) {
    for (const NamedValue& variable : expected) {
        Value found = read(variable);
        if (!same_value(found, variable.value)) return describe_difference(variable, found);
    }
    return "";
}

// ---- Scripts: W1a, W1b, W1b's numeric statements and W2 -----------------------------------------

// One workload's statements in each engine's language. The setup text gives the variables their
// starting values and runs once before the measured runs; an empty text means nothing to do.
struct ScriptTexts {
    std::string regscript_setup;
    std::string regscript;
    std::string lua_setup;
    std::string lua;
    std::string muparser;  // empty: muparser cannot run these statements
};

bool is_script_workload(Workload workload);
// How a script workload's text reaches the engine.
enum class ScriptHandling {
    fresh_text,      // handed over, compiled and run on every run
    prepared,        // compiled once: regscript's prepared script, Lua's chunk, muparser's expression
    prepared_quiet,  // prepared, and regscript writes no trace lines (Lua and muparser print nothing)
};
ScriptHandling script_handling(Workload workload);
// The texts; a prepared workload runs those of the workload it prepares.
const ScriptTexts& script_texts(Workload workload);

// The variables that `runs` runs of the workload's script leave, after its setup.
std::vector<NamedValue> expected_after_runs(Workload workload, uint64_t runs);

// ---- Host variable pairs: W3 --------------------------------------------------------------------

bool is_pair_workload(Workload workload);
// How many variables the store holds during the workload.
std::size_t store_size(Workload workload);

// Each pair sets one variable to a value that changes with every pair and reads it back. An
// engine's runner creates the variables (value 0) in the order of names() first; the pairs then
// visit every variable once per cycle in a fixed shuffled order, the same for every engine. A host
// does not call its variables in the order it created them, and in that order an engine whose
// records lie in memory as they were created would be helped by the prefetcher.
class VariablePairs {
public:
    explicit VariablePairs(Workload workload);
    // visits_ points into names_.
    VariablePairs(const VariablePairs&) = delete;
    VariablePairs& operator=(const VariablePairs&) = delete;

    const std::vector<std::string>& names() const { return names_; }

    // Runs `count` pairs through set_then_get(name, value), which returns the value read back.
    // No division on the way: it would cost as much as a fast engine's lookup.
    template <typename SetThenGet>
    void run(std::size_t count, SetThenGet set_then_get) {
        for (std::size_t i = 0; i < count; ++i) {
            int32_t value = static_cast<int32_t>(pairs_++ & 0x3fffffff);
            if (set_then_get(visits_[next_], value) != value) ++mismatches_;
            if (++next_ == visits_.size()) next_ = 0;
        }
    }

    // "" when every read gave the value just set.
    std::string check() const;

private:
    std::vector<std::string> names_;
    std::vector<const char*> visits_;  // the names of names_, shuffled
    std::size_t next_ = 0;             // the index in visits_ of the next pair's variable
    uint64_t pairs_ = 0;
    uint64_t mismatches_ = 0;
};

// ---- Substitution: W4 ---------------------------------------------------------------------------

struct SubstitutionTexts {
    std::string text;                   // 64 KB with a [name] about every 40 bytes
    std::vector<NamedValue> variables;  // the names it refers to: integers and strings
    std::string expected;               // the text with every [name] replaced by its value
};

const SubstitutionTexts& substitution_texts();
