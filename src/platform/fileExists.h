#pragma once

#include <QString>

// True only for an ordinary file: false for a folder, a hidden file or nothing at all.
bool fileExists(const QString &filename);
