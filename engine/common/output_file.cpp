#include "engine/common/output_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "engine/common/boogie.h"
#include "engine/common/run_exit.h"
#include "engine/common/status.h"

namespace zefra {

OutputFile::OutputFile(std::string name) : name_(std::move(name)), temporary_(name_ + ".tmp")
{
    // A name taken by something that is not a file (a folder) cannot be written.
    struct stat info;
    if (::stat(name_.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) return;
    fp_ = std::fopen(temporary_.c_str(), "w");
}

OutputFile::~OutputFile()
{
    if (!fp_) return;
    std::fclose(fp_);
    std::remove(temporary_.c_str());
}

void OutputFile::commit()
{
    if (!fp_) return;
    const bool write_error = std::ferror(fp_) != 0;
    int error = write_error ? (errno != 0 ? errno : EIO) : 0;
    std::FILE* fp = fp_;
    fp_ = nullptr;
    errno = 0;
    if (std::fclose(fp) != 0 && error == 0) error = errno != 0 ? errno : EIO;
    if (error == 0 && std::rename(temporary_.c_str(), name_.c_str()) != 0) error = errno != 0 ? errno : EIO;
    if (error == 0) return;
    std::remove(temporary_.c_str());
    log_append("Error writing file '%s': %s\n", name_.c_str(), std::strerror(error));
    set_statusf(mc_message, "cannot write file '%s' ", name_.c_str());
    end_run(-3);
}

}  // namespace zefra
