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

} // namespace

bool writeWholeFile(const QString &path, const QByteArray &content, QString *errorMessage)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() ||
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
