// muparser's adapter: a host that hands the parser a new expression text (SetExpr) and evaluates
// it, or for a prepared workload sets the expression once and evaluates it again, with the
// variables bound to doubles of its own. muparser evaluates expressions only: it has no strings to
// format, no store to look names up in and no text substitution, so it runs just the numeric W1
// workloads.
#include <muParser.h>

#include <map>
#include <string>

#include "engine_runners.h"

namespace {

class MuparserScripts {
public:
    explicit MuparserScripts(Workload workload) : script_(script_texts(workload).muparser) {
        for (const NamedValue& variable : expected_after_runs(workload, 0)) {
            double& storage = variables_[variable.name];
            storage = 0.0;
            parser_.DefineVar(variable.name, &storage);
        }
        prepared_ = script_handling(workload) != ScriptHandling::fresh_text;
        if (prepared_) parser_.SetExpr(script_);
    }

    void run_script() {
        try {
            if (!prepared_) parser_.SetExpr(script_);
            parser_.Eval();
        } catch (const mu::Parser::exception_type& failure) {
            error_ = failure.GetMsg();
        }
    }

    Value read(const std::string& name) const {
        auto variable = variables_.find(name);
        return variable == variables_.end() ? Value{} : Value{variable->second};
    }

    const std::string& error() const { return error_; }

private:
    const std::string& script_;
    bool prepared_;
    std::map<std::string, double> variables_;  // node-based: the parser keeps their addresses
    mu::Parser parser_;
    std::string error_;
};

}  // namespace

std::unique_ptr<WorkloadRunner> make_muparser_runner(Workload workload) {
    if (!is_script_workload(workload) || script_texts(workload).muparser.empty()) return nullptr;
    return std::make_unique<ScriptRuns<MuparserScripts>>(workload);
}
