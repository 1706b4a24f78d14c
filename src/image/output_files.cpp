#include "image/output_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <string>
#include <system_error>

#include "core/file_utils.h"

namespace brisklo {
namespace fs = std::filesystem;

namespace {

Error FileError(std::string_view what, const fs::path& path, int error) {
    return Error{std::string(what) + " " + path.string() + ": " + std::strerror(error)};
}

void RemoveQuietly(const fs::path& path) {
    std::error_code error;
    if (!path.empty()) fs::remove(path, error);
}

}  // namespace

Result<std::uint64_t> OverwriteFile(const fs::path& path, std::span<const std::uint8_t> bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return FileError("cannot open", path, errno);
    if (const int error = WriteAll(fd, bytes.data(), bytes.size()); error != 0) {
        ::close(fd);
        return FileError("cannot write", path, error);
    }
    // A full disk or a network folder may only report the failure here.
    if (::close(fd) != 0) return FileError("cannot write", path, errno);
    return static_cast<std::uint64_t>(bytes.size());
}

Result<TempPngFile> TempPngFile::Create(const fs::path& folder) {
    std::mt19937 generator(std::random_device{}());
    std::uniform_int_distribution<int> number(100000, 999999);
    constexpr int kAttempts = 100;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        fs::path path = folder / ("image-tmp-" + std::to_string(number(generator)) + ".png");
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            return TempPngFile(std::move(path));
        }
        if (errno != EEXIST) return FileError("cannot create the temporary file", path, errno);
    }
    return Error{"no free temporary file name in " + folder.string()};
}

TempPngFile::TempPngFile(TempPngFile&& other) noexcept : m_path(std::move(other.m_path)) {
    other.m_path.clear();
}

TempPngFile::~TempPngFile() { RemoveQuietly(m_path); }

}  // namespace brisklo
