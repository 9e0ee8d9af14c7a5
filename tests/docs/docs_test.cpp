// Every example in the documents does what its document says.
//
// The convention, for whoever writes the documents:
//   ```regscript   a script. The next block, tagged `output`, holds exactly what it prints. A
//                  block tagged `result` may follow that, reading
//                  "run_parser returns R, error line L". A block tagged `messages` may come
//                  last: the run's warnings and error as regscript_ext.h gives them, one a
//                  line, "LINE:COLUMN: warning: MESSAGE", then "LINE:COLUMN: error: MESSAGE".
//                  Each script runs in a new store.
//   ```regscript continued
//                  a script that runs in the store that the example before it left.
//   ```c program   a document's complete host program. It is extracted at build time
//                  (extract_host_code), compiled and run here; the next block, tagged
//                  `output`, holds exactly what it prints.
//   ```cpp program the same for a C++ host.
//   ```python program
//                  the same for a Python host, run by the Python package's tests.
//   ```c           declarations quoted from regscript.h, compiled after the header at build
//                  time, so that they must agree with it.
//   ```c windows   Windows code, which a Linux build cannot compile: not an example.
// Every `output` and `result` block belongs to the example before it. Blocks with any other tag
// (```sh, ```text) are not examples.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "markdown_blocks.h"
#include "process.h"
#include "regscript.h"
#include "regscript_ext.h"

namespace {

struct Outcome {
    int32_t result;
    int32_t error_line;
};

struct Example {
    std::string where;  // "language.md:120", the line of the script's block
    std::vector<std::string> earlier_scripts;  // run first, in order: what `continued` continues
    std::string script;
    std::string output;
    std::optional<Outcome> outcome;
    std::optional<std::string> messages;
};

void PrintTo(const Example& example, std::ostream* out) { *out << example.where; }

// A document's examples, its host programs' output by language, and its departures from the
// convention.
struct Reading {
    std::vector<Example> examples;
    std::map<std::string, std::string> program_output;
    std::vector<std::string> problems;
};

const char* const documents[] = {"language.md", "host-api.md"};

// The text of a file of the source tree.
std::string source_text(const std::string& path) { return read_document(std::string(REGSCRIPT_SOURCE_DIR) + "/" + path); }

std::optional<Outcome> outcome_of(const std::string& text) {
    Outcome outcome{};
    if (std::sscanf(text.c_str(), "run_parser returns %d, error line %d", &outcome.result, &outcome.error_line) != 2) {
        return std::nullopt;
    }
    return outcome;
}

bool is_example(const FencedBlock& block) {
    const bool program = block.tag == "c" || block.tag == "cpp" || block.tag == "python";
    return block.tag == "regscript" || (program && block.label == "program");
}

// Reads the blocks that follow the example at blocks[i] into `reading`.
void read_example(const std::string& document, const std::vector<FencedBlock>& blocks, std::size_t i,
                  Reading& reading) {
    const std::string where = document + ":" + std::to_string(blocks[i].line);
    if (i + 1 == blocks.size() || blocks[i + 1].tag != "output") {
        reading.problems.push_back(where + ": the example has no output block after it");
        return;
    }
    if (blocks[i].tag != "regscript") {
        reading.program_output[blocks[i].tag] = blocks[i + 1].text;
        return;
    }
    Example example{where, {}, blocks[i].text, blocks[i + 1].text, std::nullopt, std::nullopt};
    if (blocks[i].label == "continued") {
        if (reading.examples.empty()) {
            reading.problems.push_back(where + ": a continued example with no example before it");
            return;
        }
        example.earlier_scripts = reading.examples.back().earlier_scripts;
        example.earlier_scripts.push_back(reading.examples.back().script);
    }
    if (i + 2 < blocks.size() && blocks[i + 2].tag == "result") {
        example.outcome = outcome_of(blocks[i + 2].text);
        if (!example.outcome) reading.problems.push_back(where + ": the result block does not read as expected");
    }
    for (std::size_t next = i + 2; next < blocks.size() && next <= i + 3; ++next) {
        if (blocks[next].tag == "messages") example.messages = blocks[next].text;
    }
    reading.examples.push_back(example);
}

// An output block must follow an example, and a result block an example's output.
bool belongs(const std::vector<FencedBlock>& blocks, std::size_t i) {
    if (blocks[i].tag == "output") return i >= 1 && is_example(blocks[i - 1]);
    if (blocks[i].tag == "result") return i >= 2 && blocks[i - 2].tag == "regscript" && blocks[i - 1].tag == "output";
    if (blocks[i].tag == "messages") {
        if (i < 2) return false;
        return blocks[i - 1].tag == "result" ? belongs(blocks, i - 1)
                                             : i >= 2 && blocks[i - 2].tag == "regscript" && blocks[i - 1].tag == "output";
    }
    return true;
}

Reading read_document_examples(const std::string& document) {
    Reading reading;
    try {
        const std::vector<FencedBlock> blocks = fenced_blocks(source_text("docs/" + document));
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            if (is_example(blocks[i])) read_example(document, blocks, i, reading);
            if (!belongs(blocks, i)) {
                const std::string where = document + ":" + std::to_string(blocks[i].line);
                reading.problems.push_back(where + ": a stray " + blocks[i].tag + " block");
            }
        }
    } catch (const std::exception& error) {
        reading.problems.push_back(document + ": " + error.what());
    }
    return reading;
}

std::vector<Example> all_examples() {
    std::vector<Example> examples;
    for (const char* document : documents) {
        const Reading reading = read_document_examples(document);
        examples.insert(examples.end(), reading.examples.begin(), reading.examples.end());
    }
    return examples;
}

TEST(Documents, FollowTheConvention) {
    for (const char* document : documents) {
        const Reading reading = read_document_examples(document);
        EXPECT_TRUE(!reading.examples.empty() || !reading.program_output.empty()) << document << " shows no example";
        for (const std::string& problem : reading.problems) ADD_FAILURE() << problem;
    }
}

// The names of the export list, one indented name a line after the EXPORTS header.
std::vector<std::string> exported_functions() {
    std::vector<std::string> names;
    std::istringstream list(source_text("include/regscript.def"));
    for (std::string line; std::getline(list, line);) {
        const std::size_t name = line.find_first_not_of(" \t");
        if (name > 0 && name != std::string::npos) names.push_back(line.substr(name));
    }
    return names;
}

TEST(Documents, HostApiDeclaresEveryExportedFunction) {
    std::string declarations;
    for (const FencedBlock& block : fenced_blocks(source_text("docs/host-api.md"))) {
        if (block.tag == "c" && block.label.empty()) declarations += block.text;
    }
    const std::vector<std::string> names = exported_functions();
    ASSERT_FALSE(names.empty());
    for (const std::string& name : names) EXPECT_NE(declarations.find(" " + name + "("), std::string::npos) << name;
}

class HostPrograms : public testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(HostPrograms, PrintWhatTheirDocumentShows) {
    const auto [language, program] = GetParam();
    const Reading reading = read_document_examples("host-api.md");
    ASSERT_TRUE(reading.program_output.count(language)) << language;
    const ProcessOutcome outcome = run_process(program, {}, "", ".");
    EXPECT_EQ(outcome.exit_code, 0);
    EXPECT_EQ(outcome.out, reading.program_output.at(language));
    EXPECT_EQ(outcome.err, "");
}

INSTANTIATE_TEST_SUITE_P(Docs, HostPrograms,
                         testing::Values(std::pair{"c", DOCS_HOST_PROGRAM}, std::pair{"cpp", DOCS_CPP_HOST_PROGRAM}),
                         [](const auto& row) { return std::string(row.param.first); });

class Examples : public testing::TestWithParam<Example> {
protected:
    void SetUp() override { init_registers(); }
    void TearDown() override { deinit_registers(); }
};

// Runs `script` and gives what it printed.
std::string printed_by(const std::string& script, Outcome& outcome) {
    testing::internal::CaptureStdout();
    outcome.result = run_parser(script.c_str(), &outcome.error_line);
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

// The last run's warnings and error, one a line: "LINE:COLUMN: SEVERITY: MESSAGE".
std::string last_run_messages() {
    std::string messages;
    int32_t line = 0, column = 0;
    char message[512];
    auto add = [&](const char* severity) {
        messages += std::to_string(line) + ":" + std::to_string(column) + ": " + severity + ": " + message + "\n";
    };
    for (int32_t index = 0; index < regscript_last_warning_count(); ++index) {
        if (regscript_last_warning(index, &line, &column, message, sizeof message) == 0) add("warning");
    }
    if (regscript_last_error(&line, &column, message, sizeof message) == 0) add("error");
    return messages;
}

TEST_P(Examples, PrintWhatTheirDocumentShows) {
    const Example& example = GetParam();
    Outcome outcome{0, 0};
    for (const std::string& script : example.earlier_scripts) printed_by(script, outcome);
    EXPECT_EQ(printed_by(example.script, outcome), example.output) << example.script;
    if (example.outcome) {
        EXPECT_EQ(outcome.result, example.outcome->result) << example.script;
        EXPECT_EQ(outcome.error_line, example.outcome->error_line) << example.script;
    }
    if (example.messages) {
        EXPECT_EQ(last_run_messages(), *example.messages) << example.script;
    }
}

// "language.md:120" becomes "language_md_120".
std::string example_name(const testing::TestParamInfo<Example>& info) {
    std::string name = info.param.where;
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Docs, Examples, testing::ValuesIn(all_examples()), example_name);

}  // namespace
