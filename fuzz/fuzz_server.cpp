// Arbitrary requests to the update server's request handling: the first byte picks the method
// and the client, the rest is the request target as sent. Every request gets one of the
// server's answers, package files come back byte for byte, and an accepted submission is
// stored exactly as its decoded value.

#include "fuzzSupport.h"
#include "queryValue.h"
#include "rateLimiter.h"
#include "requestHandler.h"
#include "submissionStore.h"

#include <QFile>

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>

namespace {

const std::string versionText = "8\r\n";
const std::string packageText = "8\r\nZmlyZSBwbGFjZSBjYXJkIGJvYXJkIGdhbWUgc2hvdyBib2F0\r\n";

// The store starts afresh every so many inputs, so that reading it back stays cheap and a
// long run does not fill the disk.
constexpr int inputsPerStore = 200;

class Server
{
public:
    Server()
        : m_folder(QFile::encodeName(fuzzProgramFolder()).toStdString())
    {
        std::ofstream(m_folder / "chayn.ver", std::ios::binary) << versionText;
        std::ofstream(m_folder / "chayn.tx0", std::ios::binary) << packageText;
    }

    RequestHandler &handler()
    {
        if (m_inputs++ % inputsPerStore == 0) {
            m_handler.reset();
            m_store.reset();
            const std::filesystem::path path = m_folder / "submissions.sqlite";
            for (const char *suffix : {"", "-wal", "-shm"})
                std::filesystem::remove(path.string() + suffix);
            m_store = std::make_unique<SubmissionStore>(path.string());
            m_handler = std::make_unique<RequestHandler>(m_folder, *m_store, m_limiter);
        }
        return *m_handler;
    }
    SubmissionStore &store() { return *m_store; }

private:
    const std::filesystem::path m_folder;
    RateLimiter m_limiter{5};
    std::unique_ptr<SubmissionStore> m_store;
    std::unique_ptr<RequestHandler> m_handler;
    long m_inputs = 0;
};

std::string percentEncodedBytes(const std::string &value)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        text += {'%', digits[byte >> 4], digits[byte & 15]};
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    static Server server;
    static long clock = 0;
    static const std::array<const char *, 4> methods = {"GET", "GET", "POST", "HEAD"};

    HttpRequest request;
    request.method = methods[data[0] % methods.size()];
    request.clientAddress = "10.0.0." + std::to_string(data[0] >> 2);
    request.target.assign(reinterpret_cast<const char *>(data) + 1, size - 1);
    const RateLimiter::Clock::time_point now{std::chrono::seconds(++clock)};

    const HttpReply reply =
        server.handler().handle(request, now, std::chrono::system_clock::time_point());
    static const std::set<int> answers = {200, 400, 404, 405, 413, 429, 500};
    require(answers.count(reply.status) == 1, "every request gets one of the server's answers");

    const std::string_view target = request.target;
    const std::string_view path = target.substr(0, target.find('?'));
    const bool known = path == "/chayn.ver" || path == "/chayn.tx0" || path == "/chain.php";
    require(known || reply.status == 404, "an unknown path is not found");
    if (known && request.method != std::string("GET"))
        require(reply.status == 405, "only GET is served");
    if (request.method == std::string("GET") && path == "/chayn.ver")
        require(reply.status == 200 && reply.body == versionText, "chayn.ver byte for byte");
    if (request.method == std::string("GET") && path == "/chayn.tx0")
        require(reply.status == 200 && reply.body == packageText, "chayn.tx0 byte for byte");
    if (path == "/chain.php" && reply.status == 200) {
        const size_t question = target.find('?');
        const std::optional<std::string> value = queryValue(target.substr(question + 1), "one");
        require(value && server.store().all().back().value == *value,
                "an accepted submission is stored as sent");
    }

    // Whatever the bytes, their escaped form arrives unchanged.
    require(queryValue("x=1&one=" + percentEncodedBytes(request.target), "one") == request.target,
            "an escaped value decodes to itself");
    return 0;
}
