#include "inputs.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "shown_text.h"

namespace {

// A name that cannot be opened but reads like a statement was most likely meant for -e.
std::string hint_for(const std::string& name) {
    if (name.find(';') == std::string::npos) return "";
    return "; to run a script written on the command line, use -e '" + shown(name) + "'";
}

// The most read of one input: far beyond any script or template written or generated, and small
// enough that an endless input (/dev/zero) is refused before it takes the machine's memory.
constexpr std::size_t longest_input = std::size_t{256} << 20;

// All bytes up to the end of `stream`, read for `what` ("'letter.txt'"); throws CommandLineError
// when reading fails or the input is too long to read whole.
std::string read_all(std::FILE* stream, const std::string& what) {
    std::string text;
    char block[65536];
    std::size_t count;
    while ((count = std::fread(block, 1, sizeof block, stream)) > 0) {
        if (text.size() + count > longest_input) {
            throw CommandLineError("cannot read " + what + ": it is longer than " +
                                   std::to_string(longest_input >> 20) + " MiB, the most read of one input");
        }
        text.append(block, count);
    }
    if (std::ferror(stream)) throw CommandLineError("cannot read " + what + ": " + std::strerror(errno));
    return text;
}

// `text_name` names a script of -e.
Script read_script(const ScriptSource& source, const std::string& text_name) {
    if (source.kind == ScriptSource::Kind::file) return {source.value, read_text_file(source.value)};
    if (source.kind == ScriptSource::Kind::text) return {text_name, source.value};
    return {"<stdin>", read_all(stdin, "standard input")};
}

}  // namespace

std::string read_text_file(const std::string& name) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(name.c_str(), "rb"), std::fclose);
    const std::string what = std::string(1, '\'').append(shown(name)).append(1, '\'');  // "'letter.txt'"
    if (!file) throw CommandLineError("cannot read " + what + ": " + std::strerror(errno) + hint_for(name));
    return read_all(file.get(), what);
}

std::vector<Script> read_scripts(const std::vector<ScriptSource>& sources) {
    std::size_t texts = 0;
    for (const ScriptSource& source : sources) texts += source.kind == ScriptSource::Kind::text;
    std::vector<Script> scripts;
    std::size_t text_number = 0;
    for (const ScriptSource& source : sources) {
        if (source.kind == ScriptSource::Kind::text) ++text_number;
        scripts.push_back(read_script(source, texts > 1 ? "-e#" + std::to_string(text_number) : "-e"));
    }
    return scripts;
}
