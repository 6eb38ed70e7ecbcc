// quillora-server: serves the update package and stores the chains players send.
//   quillora-server [--address A] [--port N] [--package DIR] [--database FILE] [--rate-limit N]
//   quillora-server export [--package DIR] [--database FILE]

#include "chainExport.h"
#include "httpServer.h"
#include "rateLimiter.h"
#include "requestHandler.h"
#include "submissionStore.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>

#include <pthread.h>
#include <sys/resource.h>

namespace {

struct Options
{
    bool exportChains = false;
    std::string address = "127.0.0.1";
    int port = 8080;
    std::string packageFolder = "package";
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

// The package folder must hold both files before anything is served or compared with it.
void checkPackageFolder(const std::filesystem::path &folder)
{
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error))
        throw std::runtime_error(folder.string() + ": no such package folder");
    for (const char *name : {"chayn.ver", "chayn.tx0"}) {
        if (!std::filesystem::is_regular_file(folder / name, error))
            throw std::runtime_error((folder / name).string() + ": missing from the package");
    }
}

int exportChains(const Options &options)
{
    checkPackageFolder(options.packageFolder);
    SubmissionStore store(options.database, SubmissionStore::Open::ExistingOnly);
    for (const std::string &chain :
         exportableChains(store.all(), packageChains(options.packageFolder)))
        std::cout << chain << '\n';
    return 0;
}

// Every connection takes a descriptor: as many as the system lets this process have (root may
// go past the hard limit), and the server's connection limit kept below that.
unsigned raiseDescriptorLimit(unsigned wanted)
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return 1024;
    const rlimit raised{std::max<rlim_t>(wanted, limit.rlim_max),
                        std::max<rlim_t>(wanted, limit.rlim_max)};
    if (setrlimit(RLIMIT_NOFILE, &raised) != 0) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
    getrlimit(RLIMIT_NOFILE, &limit);
    return static_cast<unsigned>(std::min<rlim_t>(limit.rlim_cur, 1U << 20));
}

int serve(const Options &options)
{
    checkPackageFolder(options.packageFolder);
    // A client that goes away in the middle of a reply must not end the server.
    std::signal(SIGPIPE, SIG_IGN);

    // SIGINT and SIGTERM are taken by one thread that stops the server, so submissions in
    // progress are finished and stored; the server's threads started later inherit the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    SubmissionStore store(options.database);
    RateLimiter limiter(options.rateLimit);
    RequestHandler handler(options.packageFolder, store, limiter);
    HttpServer::Limits limits;
    const unsigned descriptors = raiseDescriptorLimit(limits.connections + 64);
    limits.connections = std::min(limits.connections, descriptors > 128 ? descriptors - 64 : 64);
    HttpServer server(handler, limits);
    const int port = server.start(options.address, options.port);
    const bool v6 = options.address.find(':') != std::string::npos;
    std::cout << "Listening on http://" << (v6 ? "[" : "") << options.address << (v6 ? "]" : "")
              << ':' << port << std::endl;

    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.stop();
    return 0;
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
