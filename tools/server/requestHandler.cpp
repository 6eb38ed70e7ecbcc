#include "requestHandler.h"

#include "queryValue.h"
#include "submissionStore.h"

#include <QUtf8StringView>

#include <algorithm>
#include <ctime>

namespace {

constexpr std::string_view separator = " sent: ";
constexpr std::uint64_t smallFileBytes = 1024;

HttpReply plain(int status, std::string body)
{
    return {status, "text/plain", std::move(body), {}};
}

// Control characters, C0, DEL and C1 (U+0080 to U+009F, in UTF-8 C2 80 to C2 9F): no name or
// chain holds them, and a terminal would act on them when a maintainer lists the submissions.
bool hasControlCharacter(std::string_view utf8)
{
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte < 0x20 || byte == 0x7f)
            return true;
        if (byte == 0xc2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) <= 0x9f)
            return true;
    }
    return false;
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
    // Opened afresh for every request and sent from this descriptor: a file renamed over it
    // meanwhile is the next request's, and this one goes out whole as it was.
    std::optional<OpenFile> file = OpenFile::open(m_packageFolder / fileName);
    if (!file)
        return plain(404, "Not found\n");
    // A small file (the version) goes out in the same packet as the headers.
    if (file->size() <= smallFileBytes)
        return {200, "text/plain; charset=us-ascii", file->readAll(), {}};
    return {200, "text/plain; charset=us-ascii", {}, std::move(*file)};
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
    if (hasControlCharacter(*value))
        return plain(400, "Submission holds control characters\n");
    const size_t at = value->find(separator);
    const std::string_view chain = at == std::string::npos
                                       ? std::string_view()
                                       : std::string_view(*value).substr(at + separator.size());
    if (std::all_of(chain.begin(), chain.end(), [](char c) { return c == ' '; }))
        return plain(400, "Expected one=<author> sent: <chain>, with a chain\n");
    if (!m_limiter.allow(clientAddress, now))
        return plain(429, "Too many submissions, try again in a minute\n");

    const Submission entry{isoTime(received), clientAddress, *value, value->substr(0, at),
                           std::string(chain)};
    if (!m_store.add(entry))
        return plain(500, "Could not store the submission\n");
    return plain(200, "Thank you\n");
}
