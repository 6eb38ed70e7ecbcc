#include "openFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

std::optional<OpenFile> OpenFile::open(const std::filesystem::path &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat status
    {
    };
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    return OpenFile(fd, static_cast<std::uint64_t>(status.st_size));
}

OpenFile::~OpenFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

OpenFile::OpenFile(OpenFile &&other) noexcept
    : m_fd(std::exchange(other.m_fd, -1))
    , m_size(other.m_size)
{
}

OpenFile &OpenFile::operator=(OpenFile &&other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
        m_size = other.m_size;
    }
    return *this;
}

int OpenFile::release()
{
    return std::exchange(m_fd, -1);
}

std::string OpenFile::readAll() const
{
    std::string content(m_size, '\0');
    size_t done = 0;
    while (m_fd >= 0 && done < content.size()) {
        const ssize_t n =
            ::pread(m_fd, content.data() + done, content.size() - done, static_cast<off_t>(done));
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    content.resize(done);
    return content;
}
