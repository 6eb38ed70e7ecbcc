#pragma once

#include "openFile.h"
#include "rateLimiter.h"

#include <chrono>
#include <filesystem>
#include <string>

class SubmissionStore;

struct HttpRequest
{
    std::string method;
    std::string target; // as sent: path and query, still percent-encoded
    std::string clientAddress;
};

struct HttpReply
{
    int status = 200;
    std::string contentType = "text/plain";
    std::string body;
    OpenFile file; // when open, the body instead of `body`

    std::string content() const { return file.isOpen() ? file.readAll() : body; }
};

// Everything the update server answers, apart from the HTTP transport: the two package files
// byte for byte, as they are on disk at the time of the request (a maintainer replaces them
// while the server runs), chain submissions into the store, 404 for anything else.
// Thread-safe.
class RequestHandler
{
public:
    // Decoded submissions longer than this are refused: a chain and a name fit many times.
    static constexpr size_t defaultMaxValueBytes = 2048;

    RequestHandler(std::filesystem::path packageFolder, SubmissionStore &store,
                   RateLimiter &limiter, size_t maxValueBytes = defaultMaxValueBytes);

    HttpReply handle(const HttpRequest &request);
    HttpReply handle(const HttpRequest &request, RateLimiter::Clock::time_point now,
                     std::chrono::system_clock::time_point received);

private:
    HttpReply packageFile(const char *fileName) const;
    HttpReply submission(std::string_view query, const std::string &clientAddress,
                         RateLimiter::Clock::time_point now,
                         std::chrono::system_clock::time_point received);

    const std::filesystem::path m_packageFolder;
    SubmissionStore &m_store;
    RateLimiter &m_limiter;
    const size_t m_maxValueBytes;
};
