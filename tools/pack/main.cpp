// quillora-pack: builds the update package (chayn.ver, chayn.tx0) from a plain chain list.
//   quillora-pack [--version V]                      chain.txt of the temporary folder -> this
//                                                    program's folder
//   quillora-pack [--version V] INPUT OUTPUT-FOLDER  for the build, and to publish a release
//                                                    into a running server's package folder

#include "packageBuilder.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

int main(int argc, char *argv[])
{
    const QCoreApplication app(argc, argv);
    QTextStream err(stderr);

    QCommandLineParser parser;
    const QCommandLineOption versionOption(
        QStringLiteral("version"),
        QStringLiteral("The release's version text (default %1).").arg(packageVersion),
        QStringLiteral("V"), packageVersion);
    parser.addOption(versionOption);
    parser.addPositionalArgument(QStringLiteral("INPUT-LIST"), QStringLiteral("Chain list."));
    parser.addPositionalArgument(QStringLiteral("OUTPUT-FOLDER"),
                                 QStringLiteral("Folder of chayn.ver and chayn.tx0."));
    if (!parser.parse(QCoreApplication::arguments())) {
        err << parser.errorText() << '\n';
        return 2;
    }
    const QString version = parser.value(versionOption);
    const QStringList arguments = parser.positionalArguments();

    QString input;
    QString outputFolder;
    if (arguments.isEmpty()) {
        input = QDir(QDir::tempPath()).filePath(QStringLiteral("chain.txt"));
        outputFolder = QCoreApplication::applicationDirPath();
    } else if (arguments.size() == 2) {
        input = arguments[0];
        outputFolder = arguments[1];
    } else {
        err << "usage: quillora-pack [--version V] [INPUT-LIST OUTPUT-FOLDER]\n";
        return 2;
    }

    QString error;
    if (!encryptFile(input, outputFolder, &error, version)) {
        err << error << '\n';
        return 1;
    }
    QTextStream(stdout) << "Version " << version << " written.\n";
    return 0;
}
