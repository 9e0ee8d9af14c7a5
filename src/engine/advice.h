// Advice for habits that authors bring from other languages and first mistakes: the fitting
// value for a declared variable, `+` for strings, no `if` or `+=`, a declaration with a value,
// a misspelt keyword. Each recogniser words the message and says true when the error is its.
#pragma once

#include <cstddef>

#include "syntax_situation.h"

namespace diagnosis {

// "; write `10.0`, or convert it with `(double) ...`", for a declared variable of kind `variable`.
void suggest_value_for(Message& message, const Situation& s, const Slot& slot, Kind variable);

// `"Hello, " + name` for `format("Hello, %s", name)`, into `example`.
void write_joined_example(const Situation& s, const Slot& slot, char* example, std::size_t size);

bool declaration_with_value(Situation& s);        // `string s = "abc";`
bool statement_of_other_languages(Situation& s);  // `if (n > 0) ...`
bool update_operator(Situation& s);               // `x += 1;`, `x++;`
bool keyword_misspelt(Situation& s);              // `strng greeting;`

}  // namespace diagnosis
