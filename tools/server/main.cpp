// quillora-server: serves the update package and stores the chains players send.
//   quillora-server [--address A] [--port N] [--package DIR] [--database FILE] [--rate-limit N]
//   quillora-server export [--package DIR] [--database FILE]

#include "chainExport.h"
#include "httpServer.h"
#include "rateLimiter.h"
#include "requestHandler.h"
#include "submissionStore.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <map>
#include <string>
#include <thread>

#include <pthread.h>

namespace {

struct Options
{
    bool exportChains = false;
    std::string address = "127.0.0.1";
    int port = 8080;
    std::string packageFolder = QUILLORA_PACKAGE_DIR;
    std::string database = "quillora-submissions.sqlite";
    int rateLimit = 20;
};

const char usage[] =
    "usage: quillora-server [--address A] [--port N] [--package DIR] [--database FILE]\n"
    "                       [--rate-limit N]\n"
    "       quillora-server export [--package DIR] [--database FILE]\n"
    "Serves /chayn.ver and /chayn.tx0 from the package folder and stores chains sent to\n"
    "/chain.php. --port 0 takes a free port. --rate-limit is submissions per address per\n"
    "minute. export prints the stored chains of seven lower-case words that are not in the\n"
    "package yet, one a line.\n";

bool parseNumber(const std::string &text, int low, int high, int *value)
{
    char *end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || number < low || number > high)
        return false;
    *value = static_cast<int>(number);
    return true;
}

bool parseOptions(int argc, char *argv[], Options *options)
{
    int i = 1;
    if (i < argc && std::string(argv[i]) == "export") {
        options->exportChains = true;
        ++i;
    }
    for (; i < argc; ++i) {
        const std::string name = argv[i];
        if (i + 1 >= argc)
            return false;
        const std::string value = argv[++i];
        if (name == "--address" && !options->exportChains)
            options->address = value;
        else if (name == "--port" && !options->exportChains) {
            if (!parseNumber(value, 0, 65535, &options->port))
                return false;
        } else if (name == "--package")
            options->packageFolder = value;
        else if (name == "--database")
            options->database = value;
        else if (name == "--rate-limit" && !options->exportChains) {
            if (!parseNumber(value, 1, 1000000, &options->rateLimit))
                return false;
        } else
            return false;
    }
    return true;
}

int exportChains(const Options &options)
{
    SubmissionStore store(options.database);
    for (const std::string &chain :
         exportableChains(store.all(), packageChains(options.packageFolder)))
        std::cout << chain << '\n';
    return 0;
}

int serve(const Options &options)
{
    // A client that goes away in the middle of a reply must not end the server.
    std::signal(SIGPIPE, SIG_IGN);

    // SIGINT and SIGTERM are taken by one thread that stops the server, so submissions in
    // progress are finished and stored; the workers started later inherit the blocked mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    SubmissionStore store(options.database);
    RateLimiter limiter(options.rateLimit);
    RequestHandler handler(options.packageFolder, store, limiter);
    BoundedServer server(handler);

    int port = options.port;
    if (port == 0)
        port = server.bind_to_any_port(options.address);
    else if (!server.bind_to_port(options.address.c_str(), port))
        port = -1;
    if (port <= 0) {
        std::cerr << "quillora-server: cannot listen on " << options.address << ':' << options.port
                  << '\n';
        return 1;
    }
    std::cout << "Listening on http://" << options.address << ':' << port << std::endl;

    std::atomic<bool> signalled = false;
    std::thread stopper([&] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        signalled = true;
        server.stop();
    });
    const bool clean = server.listen_after_bind();
    // Wakes the stopper if the server ended by itself.
    if (!signalled)
        pthread_kill(stopper.native_handle(), SIGTERM);
    stopper.join();
    return clean ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    Options options;
    if (!parseOptions(argc, argv, &options)) {
        std::cerr << usage;
        return 2;
    }
    try {
        return options.exportChains ? exportChains(options) : serve(options);
    } catch (const std::exception &error) {
        std::cerr << "quillora-server: " << error.what() << '\n';
        return 1;
    }
}
