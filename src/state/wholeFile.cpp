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

std::optional<QByteArray> readWholeFile(const QString &path, QString *errorMessage)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(errorMessage, QStringLiteral("Could not read \"%1\": %2")
                                   .arg(QDir::toNativeSeparators(path), file.errorString()));
        return std::nullopt;
    }
    QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        setError(errorMessage, QStringLiteral("Could not read \"%1\": %2")
                                   .arg(QDir::toNativeSeparators(path), file.errorString()));
        return std::nullopt;
    }
    return content;
}
