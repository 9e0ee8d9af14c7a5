// Writes the code of a document for the compiler: the block tagged "c program" into
// host_program.c, the one tagged "cpp program" into host_program.cpp, and every other "c" block
// into declarations.c after the public headers, so
// that declarations quoted in the document must agree with regscript.h and regscript_ext.h.
// Blocks tagged "c windows" need <windows.h> and are left out; the Windows tests build
// examples/windows_host.c instead.
//   extract_host_code DOCUMENT OUTPUT_DIRECTORY
#include <cstdio>
#include <exception>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "markdown_blocks.h"

namespace {

// The block's text, with compiler messages pointing into the document.
std::string located(const FencedBlock& block, const std::string& document) {
    return "#line " + std::to_string(block.line + 1) + " \"" + document + "\"\n" + block.text;
}

void write_file(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    if (!file) throw std::runtime_error("cannot write " + path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: extract_host_code DOCUMENT OUTPUT_DIRECTORY\n");
        return 2;
    }
    try {
        const std::string document = argv[1], directory = argv[2];
        std::string program, cpp_program, declarations = "#include \"regscript.h\"\n#include \"regscript_ext.h\"\n";
        for (const FencedBlock& block : fenced_blocks(read_document(document))) {
            if (block.tag == "cpp" && block.label == "program") cpp_program += located(block, document);
            if (block.tag != "c" || block.label == "windows") continue;
            (block.label == "program" ? program : declarations) += located(block, document);
        }
        if (program.empty() || cpp_program.empty()) {
            throw std::runtime_error(document + " needs a block tagged \"c program\" and one tagged \"cpp program\"");
        }
        write_file(directory + "/host_program.c", program);
        write_file(directory + "/host_program.cpp", cpp_program);
        write_file(directory + "/declarations.c", declarations);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "extract_host_code: %s\n", error.what());
        return 1;
    }
    return 0;
}
