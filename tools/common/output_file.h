#pragma once
// Output files that are never left half written: every file is written under a temporary name in
// its own directory and renamed to its final name only once complete.

#include <cstddef>
#include <cstdint>
#include <string>

// A temporary file next to `final_path` (".<name>.part-<pid>-<n>" in its directory), created at
// once so that an unwritable place is found before any work. Removed when destroyed unless
// committed.
class TempFile {
public:
    TempFile() = default;
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    bool create(const std::string& final_path, std::string& error);
    // Renames the temporary file to the final name.
    bool commit(std::string& error);
    void remove();
    const std::string& path() const { return temp_; }

private:
    std::string final_, temp_;
};

// Writes `n` bytes to `path` through a TempFile. False with a one-line `error` ("cannot write
// 'path': reason") when any step failed; nothing is then left under either name.
bool write_file_atomically(const std::string& path, const std::uint8_t* data, std::size_t n,
                           std::string& error);

// Makes the directory `dir` and its parents unless it is one already. False with a one-line
// `error` ("cannot write into 'dir': it is not a directory", "cannot make 'dir': reason").
bool make_directory(const std::string& dir, std::string& error);

// Writes all `n` bytes to `fd`, going on after interrupted writes. False on a write error (errno
// tells which).
bool write_all(int fd, const std::uint8_t* data, std::size_t n);

// The full path of `program` on PATH, or "" when it is not there.
std::string find_on_path(const std::string& program);
