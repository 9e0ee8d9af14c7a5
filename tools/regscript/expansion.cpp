#include "expansion.h"

#include <cstdio>

#include "regscript.h"

void print_expansion(const std::string& text) {
    char* expanded = my_parse(text.c_str());
    if (expanded) std::fputs(expanded, stdout);  // NULL only when memory ran out
    my_free(expanded);
}
