// Rewrites one data file of a program folder in an endless loop, switching between its two
// known states, until it is killed. Prints "writing" once the loop starts and a "." after every
// completed write.
//   killed_writer stats|options|chains <program folder>

#include "programFolder.h"
#include "writerStates.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[])
{
    const QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const std::optional<WrittenFile> file =
        arguments.size() == 3 ? writtenFileNamed(arguments[1]) : std::nullopt;
    if (!file) {
        std::fputs("usage: killed_writer stats|options|chains <program folder>\n", stderr);
        return 2;
    }
    setProgramFolder(arguments[2]);
    if (*file == WrittenFile::ChainDatabase) {
        chainDatabaseState(0);
        chainDatabaseState(1);
    }

    // Unbuffered, so that what was printed before the kill reaches the test.
    const auto say = [](const char *text, size_t size) { return ::write(1, text, size) >= 0; };
    say("writing\n", 8);
    for (int round = 1;; ++round) {
        QString error;
        if (!writeState(*file, round % 2, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        say(".", 1);
    }
}
