#include "core/unique_path.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace brisklo {

namespace {
constexpr int kMaxNumber = 1'000'000;
}

Result<std::filesystem::path> MakeUniqueOutputPath(const std::filesystem::path& folder,
                                                   std::string_view base,
                                                   std::string_view extension) {
    const std::string dotExtension = extension.empty() ? "" : "." + std::string(extension);
    for (int number = 1; number <= kMaxNumber; ++number) {
        std::string name(base);
        if (number > 1) name += "(" + std::to_string(number) + ")";
        name += dotExtension;
        const std::filesystem::path candidate = folder / name;
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            ::close(fd);
            return candidate;
        }
        if (errno != EEXIST) {
            return Error{"cannot create the output file " + candidate.string() + ": " +
                         std::strerror(errno)};
        }
    }
    return Error{"no free output name for " +
                 (folder / (std::string(base) + dotExtension)).string()};
}

}  // namespace brisklo
