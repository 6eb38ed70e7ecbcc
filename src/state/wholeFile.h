#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Files are written whole and atomically: a failed write (read-only folder, full disk, a crash
// halfway) leaves the previous file as it was. The error texts name the file and can be shown
// to the player as they are.

bool writeWholeFile(const QString &path, const QByteArray &content, QString *errorMessage);

std::optional<QByteArray> readWholeFile(const QString &path, QString *errorMessage);
