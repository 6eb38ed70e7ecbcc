#include "packageBuilder.h"

#include "modEncrypt64Bit.h"
#include "singleByteText.h"
#include "textLines.h"
#include "wholeFile.h"

#include <QDir>

#include <optional>

namespace {

const QByteArray lineEnd = QByteArrayLiteral("\r\n");
constexpr qsizetype maxVersionLength = 32;

} // namespace

std::optional<QString> versionProblem(const QString &version)
{
    if (version.isEmpty())
        return QStringLiteral("the version is empty");
    if (version.size() > maxVersionLength)
        return QStringLiteral("the version is longer than %1 characters").arg(maxVersionLength);
    for (const QChar c : version) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            return QStringLiteral("the version holds a character that is not printable ASCII");
    }
    // Tools that read the first line of a database may trim it; a version they see otherwise
    // would never match and every update would fetch the whole database again.
    if (version.front() == u' ' || version.back() == u' ')
        return QStringLiteral("the version begins or ends with a space");
    return std::nullopt;
}

bool encryptFile(const QString &inputPath, const QString &outputFolder, QString *errorMessage,
                 const QString &version)
{
    if (const auto problem = versionProblem(version)) {
        if (errorMessage)
            *errorMessage = QStringLiteral("Version \"%1\" refused: %2.").arg(version, *problem);
        return false;
    }
    const std::optional<QByteArray> list = readWholeFile(inputPath, errorMessage);
    if (!list)
        return false;

    const QByteArray versionLine = version.toLatin1() + lineEnd;
    QByteArray database = versionLine;
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
           writeWholeFile(folder.filePath(packageVersionFileName), versionLine, errorMessage);
}
