// Arbitrary requests to the update server's request handling: the first byte picks the method
// and the client, the rest is the request target as sent. Every request gets one of the
// server's answers, package files come back byte for byte, and an accepted submission is
// stored exactly as its decoded value, free of control characters.

#include "fuzzSupport.h"
#include "queryValue.h"
#include "rateLimiter.h"
#include "requestHandler.h"
#include "submissionStore.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <memory>
#include <set>

const std::string versionText = "8\r\n";
const std::string packageText = "8\r\nZmlyZSBwbGFjZSBjYXJkIGJvYXJkIGdhbWUgc2hvdyBib2F0\r\n";

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    static const std::string folder = QFile::encodeName(fuzzProgramFolder()).toStdString();
    static const bool packaged = [] {
        for (const auto &[name, text] :
             {std::pair{"/chayn.ver", &versionText}, std::pair{"/chayn.tx0", &packageText}}) {
            QFile file(QString::fromStdString(folder + name));
            require(file.open(QIODevice::WriteOnly) &&
                        file.write(text->data(), qint64(text->size())) == qint64(text->size()),
                    "the package files can be written");
        }
        return true;
    }();
    // A store in memory, started afresh every so many inputs so that reading it stays cheap.
    static std::unique_ptr<SubmissionStore> store;
    static RateLimiter limiter(5);
    static long inputs = 0;
    if (inputs++ % 200 == 0)
        store = std::make_unique<SubmissionStore>(":memory:");
    RequestHandler handler(folder, *store, limiter);
    static const std::array<const char *, 4> methods = {"GET", "GET", "POST", "HEAD"};

    HttpRequest request{
        methods[data[0] % methods.size()], {}, "10.0.0." + std::to_string(data[0] >> 2)};
    request.target.assign(reinterpret_cast<const char *>(data) + 1, size - 1);
    const RateLimiter::Clock::time_point now{std::chrono::seconds(inputs)};
    const HttpReply reply = handler.handle(request, now, std::chrono::system_clock::time_point());
    static const std::set<int> answers = {200, 400, 404, 405, 413, 429};
    require(packaged && answers.count(reply.status) == 1,
            "every request gets one of the server's answers");

    const std::string_view target = request.target;
    const std::string_view path = target.substr(0, target.find('?'));
    const bool known = path == "/chayn.ver" || path == "/chayn.tx0" || path == "/chain.php";
    const bool get = request.method == "GET";
    require(known || reply.status == 404, "an unknown path is not found");
    require(!known || get || reply.status == 405, "only GET is served");
    if (get && path != "/chain.php" && known)
        require(reply.status == 200 &&
                    reply.content() == (path == "/chayn.ver" ? versionText : packageText),
                "package files byte for byte");
    if (path == "/chain.php" && reply.status == 200) {
        const std::optional<std::string> value =
            queryValue(target.substr(target.find('?') + 1), "one");
        require(value && store->all().back().value == *value,
                "an accepted submission is stored as sent");
        require(
            std::none_of(value->begin(), value->end(),
                         [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }),
            "no control character is stored");
    }

    return 0;
}
