#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

// A regular file opened for reading, closed when this goes; moves, never copies.
class OpenFile
{
public:
    OpenFile() = default;
    // Nothing when the path is missing, unreadable or not a regular file.
    static std::optional<OpenFile> open(const std::filesystem::path &path);
    ~OpenFile();
    OpenFile(OpenFile &&other) noexcept;
    OpenFile &operator=(OpenFile &&other) noexcept;

    bool isOpen() const { return m_fd >= 0; }
    std::uint64_t size() const { return m_size; }
    // Hands the descriptor over to whoever closes it.
    int release();
    // The whole content; for tests and small files.
    std::string readAll() const;

private:
    OpenFile(int fd, std::uint64_t size)
        : m_fd(fd)
        , m_size(size)
    {
    }

    int m_fd = -1;
    std::uint64_t m_size = 0;
};
