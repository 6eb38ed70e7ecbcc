#include "packageBuilder.h"

#include "modEncrypt64Bit.h"
#include "singleByteText.h"
#include "textLines.h"
#include "wholeFile.h"

#include <QDir>

#include <optional>

namespace {

const QByteArray lineEnd = QByteArrayLiteral("\r\n");

} // namespace

bool encryptFile(const QString &inputPath, const QString &outputFolder, QString *errorMessage)
{
    const std::optional<QByteArray> list = readWholeFile(inputPath, errorMessage);
    if (!list)
        return false;

    const QByteArray version = packageVersion.toLatin1() + lineEnd;
    QByteArray database = version;
    for (const QByteArrayView line : splitLines(*list)) {
        // The list is read in the single-byte code page, so each character is one byte, as the
        // loader will turn it back into text.
        const QByteArray packageBuffer = toSingleByte(fromSingleByte(line.toByteArray()));
        database += base64Encode(packageBuffer).toLatin1() + lineEnd;
    }

    // The database goes first: clients fetch it when the version changes, so the version must
    // never announce a database that failed to be written.
    const QDir folder(outputFolder);
    return writeWholeFile(folder.filePath(packageDatabaseFileName), database, errorMessage) &&
           writeWholeFile(folder.filePath(packageVersionFileName), version, errorMessage);
}
