#include "markdown_blocks.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

constexpr std::string_view fence = "```";

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The block that an opening fence line starts.
FencedBlock opened_by(std::string_view fence_line, int line) {
    const std::string_view info = trimmed(fence_line.substr(fence.size()));
    const std::size_t blank = info.find(' ');
    if (blank == std::string_view::npos) return {std::string(info), "", "", line};
    return {std::string(info.substr(0, blank)), std::string(trimmed(info.substr(blank))), "", line};
}

}  // namespace

std::vector<FencedBlock> fenced_blocks(std::string_view markdown) {
    std::vector<FencedBlock> blocks;
    bool inside = false;
    int line_number = 0;
    while (!markdown.empty()) {
        const std::size_t end = markdown.find('\n');
        const std::string_view line = markdown.substr(0, end);
        markdown.remove_prefix(end == std::string_view::npos ? markdown.size() : end + 1);
        ++line_number;
        if (line.starts_with(fence)) {
            if (!inside) blocks.push_back(opened_by(line, line_number));
            inside = !inside;
        } else if (inside) {
            blocks.back().text.append(line).push_back('\n');
        }
    }
    if (inside) {
        throw std::runtime_error("the block opened on line " + std::to_string(blocks.back().line) + " is not closed");
    }
    return blocks;
}

std::string read_document(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}
