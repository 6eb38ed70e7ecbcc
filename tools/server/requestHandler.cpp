#include "requestHandler.h"

#include "queryValue.h"
#include "submissionStore.h"

#include <QUtf8StringView>

#include <ctime>
#include <fstream>
#include <sstream>

namespace {

constexpr std::string_view separator = " sent: ";
// The package files are small; a bigger one is a mistake in the package folder.
constexpr std::uintmax_t maxPackageFileBytes = 4 * 1024 * 1024;

HttpReply plain(int status, std::string body)
{
    return {status, "text/plain", std::move(body)};
}

std::string isoTime(std::chrono::system_clock::time_point time)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

} // namespace

RequestHandler::RequestHandler(std::filesystem::path packageFolder, SubmissionStore &store,
                               RateLimiter &limiter, size_t maxValueBytes)
    : m_packageFolder(std::move(packageFolder))
    , m_store(store)
    , m_limiter(limiter)
    , m_maxValueBytes(maxValueBytes)
{
}

HttpReply RequestHandler::handle(const HttpRequest &request)
{
    return handle(request, RateLimiter::Clock::now(), std::chrono::system_clock::now());
}

HttpReply RequestHandler::handle(const HttpRequest &request, RateLimiter::Clock::time_point now,
                                 std::chrono::system_clock::time_point received)
{
    const std::string_view target = request.target;
    const size_t question = target.find('?');
    const std::string_view path = target.substr(0, question);
    const std::string_view query =
        question == std::string_view::npos ? std::string_view() : target.substr(question + 1);

    if (path != "/chayn.ver" && path != "/chayn.tx0" && path != "/chain.php")
        return plain(404, "Not found\n");
    if (request.method != "GET")
        return plain(405, "Only GET is served\n");
    if (path == "/chain.php")
        return submission(query, request.clientAddress, now, received);
    return packageFile(path == "/chayn.ver" ? "chayn.ver" : "chayn.tx0");
}

HttpReply RequestHandler::packageFile(const char *fileName) const
{
    const std::filesystem::path path = m_packageFolder / fileName;
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error)
        return plain(404, "Not found\n");
    if (size > maxPackageFileBytes)
        return plain(500, "Package file too large\n");
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    if (!file)
        return plain(500, "Package file unreadable\n");
    return {200, "text/plain; charset=us-ascii", std::move(content).str()};
}

HttpReply RequestHandler::submission(std::string_view query, const std::string &clientAddress,
                                     RateLimiter::Clock::time_point now,
                                     std::chrono::system_clock::time_point received)
{
    const std::optional<std::string> value = queryValue(query, "one");
    if (!value)
        return plain(400, "Expected one=<author> sent: <chain>\n");
    if (value->size() > m_maxValueBytes)
        return plain(413, "Submission too long\n");
    if (!QUtf8StringView(*value).isValidUtf8())
        return plain(400, "Submission is not UTF-8\n");
    if (!m_limiter.allow(clientAddress, now))
        return plain(429, "Too many submissions, try again in a minute\n");

    Submission entry{isoTime(received), clientAddress, *value, std::nullopt, std::nullopt};
    if (const size_t at = value->find(separator); at != std::string::npos) {
        entry.author = value->substr(0, at);
        entry.chain = value->substr(at + separator.size());
    }
    if (!m_store.add(entry))
        return plain(500, "Could not store the submission\n");
    return plain(200, "Thank you\n");
}
