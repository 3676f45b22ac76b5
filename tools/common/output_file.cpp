#include "output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::atomic<unsigned> temp_counter{0};

std::string errno_text() { return std::strerror(errno); }

}  // namespace

bool write_all(int fd, const std::uint8_t* data, std::size_t n) {
    while (n > 0) {
        const ssize_t done = ::write(fd, data, n);
        if (done < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += done;
        n -= static_cast<std::size_t>(done);
    }
    return true;
}

TempFile::~TempFile() { remove(); }

bool TempFile::create(const std::string& final_path, std::string& error) {
    remove();
    const fs::path target(final_path);
    std::error_code ec;
    if (fs::is_directory(target, ec)) {
        error = "cannot write '" + final_path + "': it is a directory";
        return false;
    }
    const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string name = target.filename().string();
    const std::string temp = (dir / ("." + name + ".part-" + std::to_string(getpid()) + "-" +
                                     std::to_string(temp_counter++)))
                                 .string();
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = "cannot write '" + final_path + "': " + errno_text();
        return false;
    }
    ::close(fd);
    final_ = final_path;
    temp_ = temp;
    return true;
}

bool TempFile::commit(std::string& error) {
    if (temp_.empty()) {
        error = "nothing to rename";
        return false;
    }
    if (std::rename(temp_.c_str(), final_.c_str()) != 0) {
        error = "cannot rename '" + temp_ + "' to '" + final_ + "': " + errno_text();
        return false;
    }
    temp_.clear();
    return true;
}

void TempFile::remove() {
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
}

bool write_file_atomically(const std::string& path, const std::uint8_t* data, std::size_t n,
                           std::string& error) {
    TempFile temp;
    if (!temp.create(path, error)) return false;
    const int fd = ::open(temp.path().c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    bool ok = fd >= 0 && write_all(fd, data, n);
    if (!ok) error = "cannot write '" + path + "': " + errno_text();
    if (fd >= 0 && ::close(fd) != 0 && ok) {
        error = "cannot write '" + path + "': " + errno_text();
        ok = false;
    }
    return ok && temp.commit(error);
}

std::string find_on_path(const std::string& program) {
    const char* path = std::getenv("PATH");
    if (!path) return "";
    std::string all = path;
    std::size_t start = 0;
    while (start <= all.size()) {
        std::size_t end = all.find(':', start);
        if (end == std::string::npos) end = all.size();
        const std::string dir = end > start ? all.substr(start, end - start) : ".";
        const std::string candidate = dir + "/" + program;
        struct stat st;
        if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return "";
}

bool make_directory(const std::string& dir, std::string& error) {
    std::error_code ec;
    if (fs::is_directory(dir, ec)) return true;
    if (fs::exists(dir, ec)) {
        error = "cannot write into '" + dir + "': it is not a directory";
        return false;
    }
    fs::create_directories(dir, ec);
    if (ec) {
        error = "cannot make '" + dir + "': " + ec.message();
        return false;
    }
    return true;
}
