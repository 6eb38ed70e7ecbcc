#pragma once

#include <QByteArrayView>

// Whether a reply of the update server's /chayn.tx0 is a chain database that may replace
// quillora.chn: longer than 100 characters, no control characters other than the line ends,
// a version line, then only Base64 lines or lines short enough to be skipped, and at least one
// chain. An error page, a cut-off transfer of a few bytes or binary junk is refused before
// anything is written.
bool isChainDatabasePackage(QByteArrayView reply);
