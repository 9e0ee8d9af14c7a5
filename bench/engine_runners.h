// The runners of the three kinds of workload, written once for all engines. Each engine supplies
// small adapters with these members:
//
//   scripts (W1, W2)  Adapter(Workload)                      fresh state, then the setup text
//                     void run_script()                      compiles and runs the script once
//                     Value read(const std::string& name)    a variable's value
//                     const std::string& error() const       the last failure, or ""
//   pairs (W3)        Adapter(const std::vector<std::string>& names)  creates them, value 0
//                     int64_t set_then_get(const char* name, int32_t value)
//   substitution (W4) Adapter(const std::vector<NamedValue>& variables)
//                     void substitute(const std::string& text, std::string* result)
//                       with a null result the substituted text is dropped
#pragma once

#include <memory>
#include <string>

#include "runner.h"
#include "workloads.h"

template <typename Adapter>
class ScriptRuns final : public WorkloadRunner {
public:
    explicit ScriptRuns(Workload workload) : workload_(workload), engine_(workload) {}

    void run(std::size_t count) override {
        for (std::size_t i = 0; i < count; ++i) engine_.run_script();
        runs_ += count;
    }

    std::string check() override {
        if (!engine_.error().empty()) return engine_.error();
        return compare_variables(expected_after_runs(workload_, runs_),
                                 [this](const NamedValue& variable) { return engine_.read(variable.name); });
    }

private:
    Workload workload_;
    Adapter engine_;
    uint64_t runs_ = 0;
};

template <typename Adapter>
class PairRuns final : public WorkloadRunner {
public:
    explicit PairRuns(Workload workload) : pairs_(workload), engine_(pairs_.names()) {}

    void run(std::size_t count) override {
        pairs_.run(count, [this](const char* name, int32_t value) { return engine_.set_then_get(name, value); });
    }

    std::string check() override { return pairs_.check(); }

private:
    VariablePairs pairs_;
    Adapter engine_;
};

// Only the last text of each run() is kept and checked: copying every result would add to the
// time of the engine being measured.
template <typename Adapter>
class SubstitutionRuns final : public WorkloadRunner {
public:
    SubstitutionRuns() : texts_(substitution_texts()), engine_(texts_.variables) {}

    void run(std::size_t count) override {
        for (std::size_t i = 0; i < count; ++i) engine_.substitute(texts_.text, i + 1 == count ? &last_ : nullptr);
    }

    std::string check() override {
        if (last_ == texts_.expected) return "";
        std::size_t at = 0;
        while (at < last_.size() && at < texts_.expected.size() && last_[at] == texts_.expected[at]) ++at;
        return "the substituted text differs from byte " + std::to_string(at) + " on: \"" +
               last_.substr(at, 60) + "\"";
    }

private:
    const SubstitutionTexts& texts_;
    Adapter engine_;
    std::string last_;
};

// The runner of `workload` from an engine's three adapters.
template <typename Scripts, typename Pairs, typename Substitution>
std::unique_ptr<WorkloadRunner> make_runner(Workload workload) {
    if (is_script_workload(workload)) return std::make_unique<ScriptRuns<Scripts>>(workload);
    if (is_pair_workload(workload)) return std::make_unique<PairRuns<Pairs>>(workload);
    return std::make_unique<SubstitutionRuns<Substitution>>();
}
