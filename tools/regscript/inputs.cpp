#include "inputs.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// A name that cannot be opened but reads like a statement was most likely meant for -e.
std::string hint_for(const std::string& name) {
    if (name.find(';') == std::string::npos) return "";
    return "; to run a script written on the command line, use -e '" + name + "'";
}

// All bytes up to the end of `stream`; false (errno telling why) when reading fails.
bool read_all(std::FILE* stream, std::string& text) {
    char block[65536];
    std::size_t count;
    while ((count = std::fread(block, 1, sizeof block, stream)) > 0) text.append(block, count);
    return !std::ferror(stream);
}

// `text_name` names a script of -e.
Script read_script(const ScriptSource& source, const std::string& text_name) {
    if (source.kind == ScriptSource::Kind::file) return {source.value, read_text_file(source.value)};
    if (source.kind == ScriptSource::Kind::text) return {text_name, source.value};
    Script script{"<stdin>", ""};
    if (!read_all(stdin, script.text)) {
        throw CommandLineError(std::string("cannot read standard input: ") + std::strerror(errno));
    }
    return script;
}

}  // namespace

std::string read_text_file(const std::string& name) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(name.c_str(), "rb"), std::fclose);
    std::string text;
    if (!file || !read_all(file.get(), text)) {
        throw CommandLineError("cannot read '" + name + "': " + std::strerror(errno) + hint_for(name));
    }
    return text;
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
