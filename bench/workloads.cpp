#include "workloads.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <optional>
#include <utility>

namespace {

constexpr std::size_t long_script_statements = 100000;
constexpr std::size_t substitution_text_size = 65536;

const std::vector<WorkloadInfo> workloads = {
    {Workload::one_statement, "W1a", "`x = x + 1;` as a fresh text", "run", 1, 0},
    {Workload::five_statements, "W1b", "five statements: + * format strlen sqrt", "run", 1, 0},
    {Workload::numeric_statements, "W1b-num", "W1b's int and double statements", "run", 1, 0},
    {Workload::long_script, "W2", "one script, 100,000 int and double statements", "statement",
     static_cast<double>(long_script_statements), 0},
    {Workload::one_statement_prepared, "W1a-prep", "W1a prepared once, run again", "run", 1, 0},
    {Workload::one_statement_quiet, "W1a-prep-quiet", "W1a prepared, output off", "run", 1, 0},
    {Workload::long_script_prepared, "W2-prep", "W2 prepared once, run again", "statement",
     static_cast<double>(long_script_statements), 0},
    {Workload::long_script_quiet, "W2-prep-quiet", "W2 prepared, output off", "statement",
     static_cast<double>(long_script_statements), 0},
    {Workload::variables_10, "W3-10", "host set + get by name, 10 variables", "pair", 1, 0},
    {Workload::variables_1000, "W3-1000", "host set + get by name, 1,000 variables", "pair", 1, 0},
    {Workload::variables_10000, "W3-10000", "host set + get by name, 10,000 variables", "pair", 1, 0},
    {Workload::substitution, "W4", "my_parse of 64 KB, a [name] every ~40 bytes", "text", 1,
     substitution_text_size},
};

// The workload whose texts and values a prepared one runs; the workload itself otherwise.
Workload texts_workload(Workload workload) {
    switch (workload) {
        case Workload::one_statement_prepared:
        case Workload::one_statement_quiet: return Workload::one_statement;
        case Workload::long_script_prepared:
        case Workload::long_script_quiet: return Workload::long_script;
        default: return workload;
    }
}

// A small fixed generator, so that every build measures the same texts.
class Xorshift {
public:
    uint32_t below(uint32_t bound) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state % bound;
    }

private:
    uint32_t state = 2463534242u;
};

// A value as messages show it.
std::string value_text(const Value& value) {
    if (const auto* integer = std::get_if<int64_t>(&value)) return std::to_string(*integer);
    if (const auto* number = std::get_if<double>(&value)) {
        char text[64];
        std::snprintf(text, sizeof text, "%.17g", *number);
        return text;
    }
    if (const auto* text = std::get_if<std::string>(&value)) return "\"" + *text + "\"";
    return "no such variable";
}

std::optional<double> as_number(const Value& value) {
    if (const auto* integer = std::get_if<int64_t>(&value)) return static_cast<double>(*integer);
    if (const auto* number = std::get_if<double>(&value)) return *number;
    return std::nullopt;
}

// ---- W1 -----------------------------------------------------------------------------------------

const ScriptTexts one_statement_texts = {
    "x = 0;", "x = x + 1;",  //
    "x = 0", "x = x + 1",    //
    "x = x + 1",
};

const ScriptTexts five_statement_texts = {
    "double d; double r; string s; i = 0; n = 0;",
    "i = i + 1; d = d * 0.5 + 2.0; s = format(\"%d\", i); n = strlen(s); r = sqrt((double) i);",
    "i = 0 d = 0.0 s = '' n = 0 r = 0.0",
    "i = i + 1 d = d * 0.5 + 2.0 s = string.format('%d', i) n = #s r = math.sqrt(i)",
    "",
};

const ScriptTexts numeric_statement_texts = {
    "double d; double r; i = 0;",
    "i = i + 1; d = d * 0.5 + 2.0; r = sqrt((double) i);",
    "i = 0 d = 0.0 r = 0.0",
    "i = i + 1 d = d * 0.5 + 2.0 r = math.sqrt(i)",
    "i = i + 1, d = d * 0.5 + 2.0, r = sqrt(i)",
};

// The variables after `runs` runs of W1b's statements, or without s and n of W1b-num's.
std::vector<NamedValue> statement_values(uint64_t runs, bool with_strings) {
    // d = d * 0.5 + 2.0 reaches exactly 4.0 within 60 steps and stays there.
    double d = 0.0;
    for (uint64_t step = 0; step < std::min<uint64_t>(runs, 100); ++step) d = d * 0.5 + 2.0;
    std::string s = runs ? std::to_string(runs) : "";
    std::vector<NamedValue> values = {
        {"i", static_cast<int64_t>(runs)},
        {"d", d},
        {"r", std::sqrt(static_cast<double>(runs))},
    };
    if (with_strings) {
        values.push_back({"s", s});
        values.push_back({"n", static_cast<int64_t>(s.size())});
    }
    return values;
}

// ---- W2 -----------------------------------------------------------------------------------------

// 25 integer variables n0..n24 and 25 doubles d0..d24. The script first gives all of them the
// value 0, so every run ends with the same values, then alternates at random between
//   nT = (nA * 3 + nB) % 1009;               which stays between 0 and 1008, and
//   dT = dA * 0.5 + (double) nB + 1.25;       which stays below 2020.
// Lua needs no declarations and no casts; its copy has the same statements otherwise.
class LongScriptWriter {
public:
    LongScriptWriter() {
        for (std::size_t k = 0; k < variables_per_type; ++k) declare_double(k);
        for (std::size_t k = 0; k < variables_per_type; ++k) {
            statement("n" + std::to_string(k) + " = 0");
            statement("d" + std::to_string(k) + " = 0.0");
        }
        Xorshift random;
        while (statements < long_script_statements) {
            std::size_t target = random.below(variables_per_type);
            std::size_t a = random.below(variables_per_type);
            std::size_t b = random.below(variables_per_type);
            if (random.below(2)) {
                integer_statement(target, a, b);
            } else {
                double_statement(target, a, b);
            }
        }
    }

    ScriptTexts texts() const { return {"", regscript, "", lua, ""}; }

    std::vector<NamedValue> values() const {
        std::vector<NamedValue> result;
        for (std::size_t k = 0; k < variables_per_type; ++k) {
            result.push_back({"n" + std::to_string(k), static_cast<int64_t>(integers[k])});
        }
        for (std::size_t k = 0; k < variables_per_type; ++k) {
            result.push_back({"d" + std::to_string(k), doubles[k]});
        }
        return result;
    }

private:
    static constexpr std::size_t variables_per_type = 25;

    void declare_double(std::size_t k) {
        regscript += "double d" + std::to_string(k) + ";\n";
        ++statements;
    }

    void statement(const std::string& text) { statement(text, text); }

    void statement(const std::string& regscript_text, const std::string& lua_text) {
        regscript += regscript_text + ";\n";
        lua += lua_text + "\n";
        ++statements;
    }

    void integer_statement(std::size_t target, std::size_t a, std::size_t b) {
        statement("n" + std::to_string(target) + " = (n" + std::to_string(a) + " * 3 + n" +
                  std::to_string(b) + ") % 1009");
        integers[target] = (integers[a] * 3 + integers[b]) % 1009;
    }

    void double_statement(std::size_t target, std::size_t a, std::size_t b) {
        std::string left = "d" + std::to_string(target) + " = d" + std::to_string(a) + " * 0.5 + ";
        std::string right = "n" + std::to_string(b) + " + 1.25";
        statement(left + "(double) " + right, left + right);
        doubles[target] = doubles[a] * 0.5 + static_cast<double>(integers[b]) + 1.25;
    }

    std::string regscript;
    std::string lua;
    std::size_t statements = 0;
    int32_t integers[variables_per_type] = {};
    double doubles[variables_per_type] = {};
};

const LongScriptWriter& long_script() {
    static const LongScriptWriter script;
    return script;
}

// ---- W4 -----------------------------------------------------------------------------------------

// What a reference to an integer or string variable becomes.
std::string substituted_text(const Value& value) {
    if (const auto* text = std::get_if<std::string>(&value)) return *text;
    return std::to_string(std::get<int64_t>(value));
}

// 100 variables name0..name99, integers and strings by turns; then words with a reference to a
// random one of them about every 40 bytes, up to exactly 64 KB.
SubstitutionTexts make_substitution_texts() {
    constexpr uint32_t variable_count = 100;
    SubstitutionTexts texts;
    for (uint32_t k = 0; k < variable_count; ++k) {
        Value value = k % 2 ? Value(std::string("text ") + std::to_string(k))
                            : Value(static_cast<int64_t>(k * 7919 % 20000) - 10000);
        texts.variables.push_back({"name" + std::to_string(k), value});
    }
    static const char* const words[] = {"the",  "tank", "level", "is",   "now", "at",
                                        "pump", "one",  "and",   "flow", "of",  "valve"};
    Xorshift random;
    for (;;) {
        std::string words_before;
        std::size_t length = 26 + random.below(12);
        while (words_before.size() < length) {
            words_before += words[random.below(static_cast<uint32_t>(std::size(words)))];
            words_before += ' ';
        }
        const NamedValue& variable = texts.variables[random.below(variable_count)];
        std::string reference = "[" + variable.name + "]";
        if (texts.text.size() + words_before.size() + reference.size() > substitution_text_size) break;
        texts.text += words_before + reference;
        texts.expected += words_before;
        texts.expected += substituted_text(variable.value);
    }
    std::string padding(substitution_text_size - texts.text.size(), '.');
    texts.text += padding;
    texts.expected += padding;
    return texts;
}

}  // namespace

const std::vector<WorkloadInfo>& all_workloads() { return workloads; }

const WorkloadInfo& workload_info(Workload workload) {
    return *std::find_if(workloads.begin(), workloads.end(),
                         [workload](const WorkloadInfo& info) { return info.workload == workload; });
}

bool workload_by_label(const std::string& label, Workload* workload) {
    for (const WorkloadInfo& info : workloads) {
        if (label == info.label) {
            *workload = info.workload;
            return true;
        }
    }
    return false;
}

bool same_value(const Value& found, const Value& expected) {
    if (std::holds_alternative<std::string>(expected)) return found == expected;
    std::optional<double> a = as_number(found);
    std::optional<double> b = as_number(expected);
    if (!a || !b) return false;
    if (std::holds_alternative<int64_t>(found) && std::holds_alternative<int64_t>(expected)) {
        return found == expected;
    }
    return std::fabs(*a - *b) <= 1e-9 * std::max(1.0, std::fabs(*b));
}

std::string describe_difference(const NamedValue& expected, const Value& found) {
    return expected.name + " is " + value_text(found) + ", not " + value_text(expected.value);
}

bool is_script_workload(Workload workload) {
    workload = texts_workload(workload);
    return workload == Workload::one_statement || workload == Workload::five_statements ||
           workload == Workload::numeric_statements || workload == Workload::long_script;
}

ScriptHandling script_handling(Workload workload) {
    switch (workload) {
        case Workload::one_statement_prepared:
        case Workload::long_script_prepared: return ScriptHandling::prepared;
        case Workload::one_statement_quiet:
        case Workload::long_script_quiet: return ScriptHandling::prepared_quiet;
        default: return ScriptHandling::fresh_text;
    }
}

const ScriptTexts& script_texts(Workload workload) {
    static const ScriptTexts long_script_texts = long_script().texts();
    switch (texts_workload(workload)) {
        case Workload::one_statement: return one_statement_texts;
        case Workload::five_statements: return five_statement_texts;
        case Workload::numeric_statements: return numeric_statement_texts;
        default: return long_script_texts;
    }
}

std::vector<NamedValue> expected_after_runs(Workload workload, uint64_t runs) {
    switch (texts_workload(workload)) {
        case Workload::one_statement: return {{"x", static_cast<int64_t>(runs)}};
        case Workload::five_statements: return statement_values(runs, true);
        case Workload::numeric_statements: return statement_values(runs, false);
        default: return long_script().values();
    }
}

bool is_pair_workload(Workload workload) {
    return workload == Workload::variables_10 || workload == Workload::variables_1000 ||
           workload == Workload::variables_10000;
}

std::size_t store_size(Workload workload) {
    switch (workload) {
        case Workload::variables_10: return 10;
        case Workload::variables_1000: return 1000;
        default: return 10000;
    }
}

// Names of one length, "var00000" on, so that no name is found faster for being short.
VariablePairs::VariablePairs(Workload workload) {
    char name[32];
    for (std::size_t k = 0; k < store_size(workload); ++k) {
        std::snprintf(name, sizeof name, "var%05zu", k);
        names_.push_back(name);
    }
    for (const std::string& created : names_) visits_.push_back(created.c_str());
    Xorshift random;
    for (std::size_t k = visits_.size() - 1; k > 0; --k) {
        std::swap(visits_[k], visits_[random.below(static_cast<uint32_t>(k + 1))]);
    }
}

std::string VariablePairs::check() const {
    if (mismatches_ == 0) return "";
    return std::to_string(mismatches_) + " of " + std::to_string(pairs_) +
           " reads gave another value than the one just set";
}

const SubstitutionTexts& substitution_texts() {
    static const SubstitutionTexts texts = make_substitution_texts();
    return texts;
}
