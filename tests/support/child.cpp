#include "support/child.h"

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

ChildResult run_child(const std::string& program, const std::string& args, const std::string& env) {
    const std::string out = fs::absolute(".child.out").string(), err = fs::absolute(".child.err").string();
    const std::string command = "ASAN_OPTIONS=detect_leaks=0 " + env + " " + program + " " + args +
                                " >" + out + " 2>" + err + " </dev/null";
    const int raw = std::system(command.c_str());
    ChildResult r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = slurp(out);
    r.err = slurp(err);
    fs::remove(out);
    fs::remove(err);
    return r;
}

std::vector<std::string> entries(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
