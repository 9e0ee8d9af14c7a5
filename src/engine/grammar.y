/* The script language: three expression types (integer, double, string), typed by the grammar
 * alone, and statements executed the moment they are reduced.
 *
 * The scanner classifies every identifier by its variable's current type, so integer, double
 * and string variables and the built-in functions are four different terminals; a mixture of
 * types that no rule covers is a syntax error. An action is one line: a rule whose meaning is one
 * C++ operator with no case to decide (a sum of doubles, a comparison of integers, a bitwise
 * operator) writes it inline; every other calls one named function that holds the rule's meaning,
 * and those functions are tested without the parser.
 *
 * No %destructor is needed: the strings on the value stack belong to the scratch list, variables
 * to the store, and neither is owned by the stack.
 *
 * The generated driver's own words are replaced by ours: a syntax error is reported through
 * yyreport_syntax_error ("parse error"), which also hands the error context to the diagnostics
 * (diagnostics.cpp words the message), and yyerror is called only when the stacks cannot grow
 * any further ("parser stack overflow"). When memory runs out, the scanner ends the text and the
 * run reports that instead (script_run.cpp); the driver's stacks take their memory where every
 * allocation of the library does.
 *
 * The error context is read from the driver's own stack (context_of, at the end), which no
 * documented accessor offers: the skeleton that reads is the one %require names.
 *
 * The parser keeps no locations (the driver would compute one at every reduction): the line of
 * a syntax error comes from the scanner's last tokens, by the rule in script_run.cpp.
 *
 * The host's functions are three more kinds of name, by their result type. Their calls come
 * after the original rules; a script that calls none never reaches them.
 *
 * The generated token codes carry the prefix TOKEN_, so that names such as DELETE or NOT meet no
 * macro of a system header; only the scanner and this file see them. The four kinds of name are
 * the variables' type codes (variable.h).
 */

%code requires {
#include "values.h"

struct RunState;

/* Compiled as C++, the generated driver grows its stacks past their first 200 entries only
 * when it is told that the value records may be copied bytewise. */
#define YYSTYPE_IS_TRIVIAL 1
}

%code {
#include "conversions.h"
#include "declarations.h"
#include "diagnostics.h"
#include "host_calls.h"
#include "memory.h"
#include "numbers.h"
#include "output.h"
#include "parser.h"
#include "scanner.h"
#include "scratch.h"
#include "script_run.h"
#include "variable.h"
#include "string_functions.h"

#define YYMALLOC allocate
#define YYFREE deallocate

namespace {
int yylex(SemanticValue* value) { return next_token(value); }
void yyerror(RunState& run, const char*) {
    if (!statement_may_finish()) return;
    note_stack_overflow(run);
    print_parser_error("parser stack overflow");
}
}  // namespace
}

%require "3.8"
%define api.pure full
%parse-param {RunState& run}
%define api.token.prefix {TOKEN_}
%define api.value.type {SemanticValue}
%define parse.error custom
%expect 0

%token <number> DOUBLE_CONST 257
%token <integer> INT_CONST 258
%token <text> STRING_CONST 259
%token <variable> INT_VAR 260 STRING_VAR 261 DOUBLE_VAR 262 FUNCTION 263
%token ASSIGN 264 NOT 265 BITNOT 266 FORMAT 267 COMMA 268 CUT 269 STRLEN 270 DELETE 271
%token STRTOINT 272 STRTODOUBLE 273 SUBSTR 274 HEXTOINT 275 GETTICKCOUNT 276
%token INT_DECL 277 STRING_DECL 278 DOUBLE_DECL 279 DOUBLE_CAST 280 INT_CAST 281
%token PLUS 282 MINUS 283 TIMES 284 DIVIDE 285 MODULO 286 LPAREN 287 RPAREN 288
%token EQ 289 NE 290 GE 291 LE 292 GT 293 LT 294 SEMICOLON 295 AND 296 OR 297
%token UMINUS 298 BITAND 299 BITXOR 300 SHR 301 SHL 302 POWER 303
%token <variable> HOST_INT_FUNCTION 304 HOST_DOUBLE_FUNCTION 305 HOST_STRING_FUNCTION 306

%nterm <integer> iexpr
%nterm <number> dexpr
%nterm <text> sexpr

/* Lowest first. Assignment, the casts and the unary operators are prefixes of their operand and
 * never meet a following token of their own level, so they need no associativity. */
%left AND OR
%precedence ASSIGN
%right EQ NE GE LE GT LT
%left PLUS MINUS
%left TIMES DIVIDE MODULO
%precedence DOUBLE_CAST INT_CAST
%left BITAND BITXOR SHR SHL
%precedence UMINUS NOT BITNOT
%right POWER

%start program

%%

program
    : %empty
    | program statement
    ;

statement
    : SEMICOLON
    | iexpr SEMICOLON  { finish_integer_statement(run, $1); }
    | dexpr SEMICOLON  { finish_double_statement(run, $1); }
    | sexpr SEMICOLON  { finish_string_statement(run, $1); }
    | error SEMICOLON  { finish_error_statement(run); YYABORT; }
    ;

/* The diagnostics read the parser's stack at a syntax error and know these shapes of the rules
 * below; a rule that changes shape changes their words:
 * - an assignment is the variable, `=` and the value (kind_mismatch.cpp names the variable);
 * - a binary operator stands between its operands, and the kinds each operator takes are the
 *   binary_operators table (token_words.cpp);
 * - a built-in function's arguments follow its token and `(`, separated by `,`, with the kinds
 *   of the parameters table (token_words.cpp);
 * - the first token of an expression decides its kind where it alone can (kind_started_by);
 * - a declaration is the keyword and a name, without a value (advice.cpp). */

dexpr
    : DOUBLE_VAR                                { $$ = $1->value.number; }
    | DOUBLE_CONST
    | DOUBLE_CAST iexpr                         { $$ = $2; }
    | LPAREN dexpr RPAREN                       { $$ = $2; }
    | dexpr PLUS dexpr                          { $$ = $1 + $3; }
    | dexpr MINUS dexpr                         { $$ = $1 - $3; }
    | dexpr TIMES dexpr                         { $$ = $1 * $3; }
    | dexpr DIVIDE dexpr                        { $$ = double_divide($1, $3); }
    | dexpr POWER dexpr                         { $$ = double_power($1, $3); }
    | dexpr MODULO dexpr                        { $$ = double_modulo($1, $3); }
    | DOUBLE_VAR ASSIGN dexpr                   { $$ = assign_double($1, $3); }
    | MINUS dexpr %prec UMINUS                  { $$ = -$2; }
    | FUNCTION LPAREN dexpr RPAREN              { $$ = apply_function($1, $3); }
    | FUNCTION LPAREN iexpr RPAREN              { $$ = apply_function($1, $3); }
    | STRTODOUBLE LPAREN sexpr RPAREN           { $$ = text_to_double($3); }
    ;

sexpr
    : STRING_VAR                                { $$ = string_variable_value($1); }
    | STRING_CONST                              { $$ = scratch_dup($1); }
    | LPAREN sexpr RPAREN                       { $$ = $2; }
    | CUT LPAREN sexpr COMMA iexpr COMMA iexpr RPAREN  { $$ = cut_string($3, $5, $7); }
    | FORMAT LPAREN sexpr COMMA iexpr RPAREN    { $$ = format_integer_string($3, $5); }
    | FORMAT LPAREN sexpr COMMA dexpr RPAREN    { $$ = format_double_string($3, $5); }
    | STRING_VAR ASSIGN sexpr                   { $$ = assign_string($1, $3); }
    | sexpr PLUS sexpr                          { $$ = concatenate_strings($1, $3); }
    ;

iexpr
    : INT_VAR                                   { $$ = $1->value.integer; }
    | INT_CONST
    | INT_CAST dexpr                            { $$ = double_to_int($2); }
    | iexpr PLUS iexpr                          { $$ = int_add($1, $3); }
    | iexpr MINUS iexpr                         { $$ = int_subtract($1, $3); }
    | iexpr TIMES iexpr                         { $$ = int_multiply($1, $3); }
    | iexpr DIVIDE iexpr                        { $$ = int_divide($1, $3); }
    | iexpr MODULO iexpr                        { $$ = int_modulo($1, $3); }
    | iexpr POWER iexpr                         { $$ = int_power($1, $3); }
    | LPAREN iexpr RPAREN                       { $$ = $2; }
    | INT_VAR ASSIGN iexpr                      { $$ = assign_integer($1, $3); }
    | MINUS iexpr %prec UMINUS                  { $$ = int_negate($2); }
    | STRTOINT LPAREN sexpr RPAREN              { $$ = text_to_int($3); }
    | BITNOT iexpr                              { $$ = ~$2; }
    | iexpr BITAND iexpr                        { $$ = $1 & $3; }
    | iexpr BITXOR iexpr                        { $$ = $1 ^ $3; }
    | iexpr SHR iexpr                           { $$ = int_shift_right($1, $3); }
    | iexpr SHL iexpr                           { $$ = int_shift_left($1, $3); }
    | GETTICKCOUNT LPAREN RPAREN                { $$ = tick_count(); }
    | iexpr EQ iexpr                            { $$ = $1 == $3; }
    | iexpr NE iexpr                            { $$ = $1 != $3; }
    | iexpr GT iexpr                            { $$ = $1 > $3; }
    | iexpr GE iexpr                            { $$ = $1 >= $3; }
    | iexpr LT iexpr                            { $$ = $1 < $3; }
    | iexpr LE iexpr                            { $$ = $1 <= $3; }
    | NOT iexpr                                 { $$ = !$2; }
    | iexpr AND iexpr                           { $$ = $1 && $3; }
    | iexpr OR iexpr                            { $$ = $1 || $3; }
    | STRLEN LPAREN sexpr RPAREN                { $$ = string_length($3); }
    | HEXTOINT LPAREN sexpr RPAREN              { $$ = hex_text_to_int($3); }
    | dexpr EQ dexpr                            { $$ = double_equal($1, $3); }
    | dexpr NE dexpr                            { $$ = double_not_equal($1, $3); }
    | dexpr GT dexpr                            { $$ = double_greater($1, $3); }
    | dexpr GE dexpr                            { $$ = double_greater_equal($1, $3); }
    | dexpr LT dexpr                            { $$ = double_less($1, $3); }
    | dexpr LE dexpr                            { $$ = double_less_equal($1, $3); }
    | sexpr EQ sexpr                            { $$ = strings_equal($1, $3); }
    | sexpr NE sexpr                            { $$ = !strings_equal($1, $3); }
    | SUBSTR LPAREN sexpr COMMA sexpr COMMA iexpr RPAREN  { $$ = find_string($3, $5, $7); }
    | DELETE INT_VAR                            { $$ = delete_variable_in_script($2); }
    | DELETE DOUBLE_VAR                         { $$ = delete_variable_in_script($2); }
    | DELETE STRING_VAR                         { $$ = delete_variable_in_script($2); }
    /* Without a value: `int n = 1;` is worded by advice.cpp from the `=` after the name. */
    | STRING_DECL INT_VAR                       { $$ = declare_variable($2, STRING_VAR); }
    | STRING_DECL STRING_VAR                    { $$ = declare_variable($2, STRING_VAR); }
    | STRING_DECL DOUBLE_VAR                    { $$ = declare_variable($2, STRING_VAR); }
    | INT_DECL INT_VAR                          { $$ = declare_variable($2, INT_VAR); }
    | INT_DECL STRING_VAR                       { $$ = declare_variable($2, INT_VAR); }
    | INT_DECL DOUBLE_VAR                       { $$ = declare_variable($2, INT_VAR); }
    | DOUBLE_DECL INT_VAR                       { $$ = declare_variable($2, DOUBLE_VAR); }
    | DOUBLE_DECL STRING_VAR                    { $$ = declare_variable($2, DOUBLE_VAR); }
    | DOUBLE_DECL DOUBLE_VAR                    { $$ = declare_variable($2, DOUBLE_VAR); }
    | HOST_INT_FUNCTION LPAREN { open_call($1); } call_arguments RPAREN  { if (!call_host_function()) YYABORT; $$ = int_call_result(); }
    ;

dexpr
    : HOST_DOUBLE_FUNCTION LPAREN { open_call($1); } call_arguments RPAREN  { if (!call_host_function()) YYABORT; $$ = double_call_result(); }
    ;

sexpr
    : HOST_STRING_FUNCTION LPAREN { open_call($1); } call_arguments RPAREN  { if (!call_host_function()) YYABORT; $$ = string_call_result(); }
    ;

/* A mismatch with the function's parameters is a syntax error, found where it stands. */
call_arguments
    : %empty                                    { if (!arguments_complete(run)) YYERROR; }
    | argument_list                             { if (!arguments_complete(run)) YYERROR; }
    ;

argument_list
    : argument
    | argument_list COMMA argument
    ;

argument
    : iexpr                                     { if (!pass_int_argument(run, $1)) YYERROR; }
    | dexpr                                     { if (!pass_double_argument(run, $1)) YYERROR; }
    | sexpr                                     { if (!pass_string_argument(run, $1)) YYERROR; }
    ;

%%

namespace {

/* The terminals' symbol numbers follow their token codes, in the order they are declared. */
static_assert(YYSYMBOL_POWER - YYSYMBOL_DOUBLE_CONST == TOKEN_POWER - TOKEN_DOUBLE_CONST);

int32_t diagnostic_symbol(yysymbol_kind_t kind) {
    switch (kind) {
        case YYSYMBOL_YYEOF: return 0;
        case YYSYMBOL_iexpr: return symbol_integer_expression;
        case YYSYMBOL_dexpr: return symbol_double_expression;
        case YYSYMBOL_sexpr: return symbol_string_expression;
        case YYSYMBOL_program: return symbol_statement_start;
        default:
            if (kind >= YYSYMBOL_DOUBLE_CONST && kind <= YYSYMBOL_POWER) return kind - YYSYMBOL_DOUBLE_CONST + TOKEN_DOUBLE_CONST;
            return symbol_other;
    }
}

/* The error context in the diagnostics' terms: the lookahead, the symbols on the stack down to
 * the start state (which only the bottom entry holds), and the tokens that could have come. */
SyntaxErrorContext context_of(const yypcontext_t* context) {
    SyntaxErrorContext described{};
    described.lookahead = diagnostic_symbol(yypcontext_token(context));
    for (const yy_state_t* state = context->yyssp; *state != 0 && described.stack_size < described.stack_capacity; --state) {
        described.stack[described.stack_size++] = diagnostic_symbol(YY_ACCESSING_SYMBOL(*state));
    }
    yysymbol_kind_t expected[SyntaxErrorContext::expected_capacity];
    int count = yypcontext_expected_tokens(context, expected, SyntaxErrorContext::expected_capacity);
    for (int i = 0; i < count; ++i) described.expected[described.expected_count++] = diagnostic_symbol(expected[i]);
    return described;
}

}  // namespace

static int yyreport_syntax_error(const yypcontext_t* context, RunState& run) {
    if (!statement_may_finish()) return 0;
    note_syntax_error(run, yypcontext_token(context) == YYSYMBOL_SEMICOLON, context_of(context));
    print_parser_error("parse error");
    return 0;
}

int parse(RunState& run) { return yyparse(run); }
