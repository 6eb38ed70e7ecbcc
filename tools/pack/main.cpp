// quillora-pack: builds the update package (chayn.ver, chayn.tx0) from a plain chain list.
//   quillora-pack                      chain.txt of the temporary folder -> this program's folder
//   quillora-pack INPUT OUTPUT-FOLDER  for the build and for maintainers

#include "packageBuilder.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

int main(int argc, char *argv[])
{
    const QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    QTextStream err(stderr);

    QString input;
    QString outputFolder;
    if (arguments.isEmpty()) {
        input = QDir(QDir::tempPath()).filePath(QStringLiteral("chain.txt"));
        outputFolder = QCoreApplication::applicationDirPath();
    } else if (arguments.size() == 2) {
        input = arguments[0];
        outputFolder = arguments[1];
    } else {
        err << "usage: quillora-pack [INPUT-LIST OUTPUT-FOLDER]\n";
        return 2;
    }

    QString error;
    if (!encryptFile(input, outputFolder, &error)) {
        err << error << '\n';
        return 1;
    }
    QTextStream(stdout) << "Version " << packageVersion << " written.\n";
    return 0;
}
