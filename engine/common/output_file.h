// Files that a later run reads (the result file, restart files, grid files)
// and plot files are written under a temporary name in the same folder and
// renamed when complete: a run killed while writing leaves the previous
// complete file (or none), never a truncated one under the real name.  A
// write or close error (a full disk, the file-size limit) ends the run with
// status -3 and a log line that names the file.
#pragma once

#include <cstdio>
#include <string>

namespace zefra {

class OutputFile {
public:
    // Opens the temporary file for writing; is_open() tells whether it could.
    explicit OutputFile(std::string name);
    // A file never committed is removed, and the real name keeps what it held.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool is_open() const { return fp_ != nullptr; }
    std::FILE* get() const { return fp_; }
    const std::string& name() const { return name_; }

    // Closes the file and gives it its real name; on any error logs
    // "Error writing file '<name>': <reason>", puts "cannot write file
    // '<name>' " into mc_message and ends the run with status -3.
    void commit();

private:
    std::string name_, temporary_;
    std::FILE* fp_ = nullptr;
};

}  // namespace zefra
