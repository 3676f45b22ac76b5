#include "command_line.h"

#include <cstdio>
#include <cstring>

namespace {

const OptionSpec* find_short(const OptionSpec* options, char c) {
    for (const OptionSpec* o = options; o->long_name; ++o)
        if (o->short_name == c) return o;
    return nullptr;
}

const OptionSpec* find_long(const OptionSpec* options, const std::string& name) {
    for (const OptionSpec* o = options; o->long_name; ++o)
        if (name == o->long_name) return o;
    return nullptr;
}

}  // namespace

std::string option_name(const OptionSpec& o) {
    return o.short_name ? std::string("-") + o.short_name + "/--" + o.long_name
                        : std::string("--") + o.long_name;
}

bool read_command_line(int argc, const char* const* argv, const OptionSpec* options,
                       std::vector<Argument>& arguments, std::string& error) {
    arguments.clear();
    bool options_ended = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (options_ended || arg == "-" || arg.empty() || arg[0] != '-') {
            arguments.push_back({nullptr, arg});
        } else if (arg == "--") {
            options_ended = true;
        } else if (arg.compare(0, 2, "--") == 0) {
            const std::size_t eq = arg.find('=');
            const std::string name =
                arg.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
            const OptionSpec* o = find_long(options, name);
            if (!o) {
                error = "unknown option '--" + name + "'";
                return false;
            }
            Argument a{o, ""};
            if (o->takes_value) {
                if (eq != std::string::npos) {
                    a.value = arg.substr(eq + 1);
                } else if (i + 1 < argc) {
                    a.value = argv[++i];
                } else {
                    error = "option " + option_name(*o) + " needs a value";
                    return false;
                }
            } else if (eq != std::string::npos) {
                error = "option " + option_name(*o) + " takes no value";
                return false;
            }
            arguments.push_back(a);
        } else {
            for (std::size_t k = 1; k < arg.size(); ++k) {
                const OptionSpec* o = find_short(options, arg[k]);
                if (!o) {
                    error = std::string("unknown option '-") + arg[k] + "'";
                    return false;
                }
                Argument a{o, ""};
                if (o->takes_value) {
                    if (k + 1 < arg.size()) {
                        a.value = arg.substr(k + 1);
                    } else if (i + 1 < argc) {
                        a.value = argv[++i];
                    } else {
                        error = "option " + option_name(*o) + " needs a value";
                        return false;
                    }
                    arguments.push_back(a);
                    break;  // the rest of the word was the value
                }
                arguments.push_back(a);
            }
        }
    }
    return true;
}

const Argument* find_argument(const std::vector<Argument>& arguments, const char* long_name) {
    const Argument* found = nullptr;
    for (const Argument& a : arguments)
        if (a.option && std::strcmp(a.option->long_name, long_name) == 0) found = &a;
    return found;
}

int command_line_error(const char* program, const std::string& reason) {
    std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", program, reason.c_str(),
                 program);
    return 2;
}
