#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>

// Files are written whole and atomically: a failed write (read-only folder, full disk, a crash
// halfway) leaves the previous file as it was. The error texts name the file and can be shown
// to the player as they are.

bool writeWholeFile(const QString &path, const QByteArray &content, QString *errorMessage);

std::optional<QByteArray> readWholeFile(const QString &path, QString *errorMessage);

// The same, with the content handed to use while the file is mapped into memory, without a copy
// (read into memory where it cannot be mapped). For a large file read at every start: what use
// keeps of it, it must copy.
bool readWholeFileMapped(const QString &path, QString *errorMessage,
                         const std::function<void(QByteArrayView)> &use);
