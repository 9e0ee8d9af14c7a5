// Recognisers of values of the wrong kind for their place: a variable called as a function, a
// value that its variable, operator or function argument does not take, an operator that does not
// take the value before it. Each words the message and says true when the error is its.
#pragma once

#include "syntax_situation.h"

namespace diagnosis {

bool variable_called(Situation& s);        // `print(1);`
bool value_of_other_kind(Situation& s);    // `y = 2.5;`, `1 + 2.0;`, `strlen(5);`
bool operator_not_for_kind(Situation& s);  // `2.5 & 1;`, `"a" - "b";`

}  // namespace diagnosis
