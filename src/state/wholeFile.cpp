#include "wholeFile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {

void setError(QString *errorMessage, const QString &text)
{
    if (errorMessage)
        *errorMessage = text;
}

// A write cut short sets no error; the next one fails and says why (a full disk, say).
bool writeAll(QSaveFile &file, const QByteArray &content)
{
    qsizetype written = 0;
    while (written < content.size()) {
        const qint64 result = file.write(content.constData() + written, content.size() - written);
        if (result <= 0)
            return false;
        written += result;
    }
    return true;
}

} // namespace

bool writeWholeFile(const QString &path, const QByteArray &content, QString *errorMessage)
{
    QSaveFile file(path);
    // Unbuffered: a write that fails while commit() flushes a buffer goes unnoticed, and the
    // old file would be replaced by a cut-off one (a small file on a full disk).
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || !writeAll(file, content) ||
        !file.commit()) {
        setError(errorMessage, QStringLiteral("Could not write \"%1\": %2")
                                   .arg(QDir::toNativeSeparators(path), file.errorString()));
        return false;
    }
    return true;
}

namespace {

void setReadError(QString *errorMessage, const QString &path, const QFile &file)
{
    setError(errorMessage, QStringLiteral("Could not read \"%1\": %2")
                               .arg(QDir::toNativeSeparators(path), file.errorString()));
}

std::optional<QByteArray> readAllOf(QFile &file, const QString &path, QString *errorMessage)
{
    QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        setReadError(errorMessage, path, file);
        return std::nullopt;
    }
    return content;
}

} // namespace

std::optional<QByteArray> readWholeFile(const QString &path, QString *errorMessage)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setReadError(errorMessage, path, file);
        return std::nullopt;
    }
    return readAllOf(file, path, errorMessage);
}

bool readWholeFileMapped(const QString &path, QString *errorMessage,
                         const std::function<void(QByteArrayView)> &use)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setReadError(errorMessage, path, file);
        return false;
    }
    // Mapped, the pages come straight from the system's cache; a copy would cost as much again
    // in fresh memory. An empty file, or one that cannot be mapped, is read as usual.
    const qint64 size = file.size();
    if (size > 0) {
        if (uchar *mapped = file.map(0, size)) {
            use(QByteArrayView(reinterpret_cast<const char *>(mapped), size));
            file.unmap(mapped);
            return true;
        }
    }
    const std::optional<QByteArray> content = readAllOf(file, path, errorMessage);
    if (!content)
        return false;
    use(*content);
    return true;
}
