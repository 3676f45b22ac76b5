#pragma once
// The command-line convention of the zypho tools. Options come from a table: long ones as
// --name=VALUE or --name VALUE, short ones as -xVALUE or -x VALUE, short flags combined (-qh),
// and "--" ends the options. Help goes to standard output with status 0; a bad command line is
// one line "prog: reason" plus a pointer to --help on standard error, with status 2.

#include <string>
#include <vector>

struct OptionSpec {
    char short_name;        // 0: long form only
    const char* long_name;  // without the leading "--"
    bool takes_value;
};

// One option or operand, in command-line order.
struct Argument {
    const OptionSpec* option = nullptr;  // null for an operand
    std::string value;                   // the option's value (empty for a flag), or the operand
};

// Reads argv[1..argc-1] against `options` (ending with an entry whose long_name is null). False
// with a one-line `error` for an unknown option, a missing value or a value given to a flag.
bool read_command_line(int argc, const char* const* argv, const OptionSpec* options,
                       std::vector<Argument>& arguments, std::string& error);

// How an option is named in messages: "-o/--output", or "--golden" for a long-only one.
std::string option_name(const OptionSpec& option);

// The option of `arguments` named `long_name`, or null when it was not given (the last one when
// it was given more than once).
const Argument* find_argument(const std::vector<Argument>& arguments, const char* long_name);

// Prints "prog: reason" and "Try 'prog --help' for more information." on standard error and
// returns 2, the exit status of a bad command line.
int command_line_error(const char* program, const std::string& reason);
