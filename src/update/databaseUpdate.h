#pragma once

#include "chainDatabase.h"

#include <QString>

#include <functional>
#include <optional>

// The database update without its window: fetch the server's version and, when it differs
// from ours, the whole database, check it, install it and count the chains added.

inline const QString updateIntroText = QStringLiteral(
    "Please ensure you are connected to the Internet, then press enter to check the Quillora "
    "database and update your copy with the latest chains. Please be patient as it may take up "
    "to 30 seconds to complete on a slow connection");
inline const QString updateBusyCaption = QStringLiteral("Updating Quillora Database. Please Wait.");

// GETs a path of the update server ("/chayn.ver"): the reply body, one character per byte, or
// nothing when no good reply came (no connection, time-out, an HTTP error status).
using UpdateFetch = std::function<std::optional<QString>(const QString &path)>;

struct UpdateOutcome
{
    enum class Result { UpToDate, Installed, Failed };
    Result result = Result::Failed;
    int added = 0; // chains added by an install; 0 or less when there were none
    // What to tell the player; empty when the automatic update has nothing to say.
    QString message;
};

// fromAuto is true for the update at start-up, which stays silent unless it installs new
// chains or fails. reloadChains reads the database back once the new file is written; when it
// fails, the chains in memory stay as they were.
UpdateOutcome runUpdate(
    const UpdateFetch &fetch, bool fromAuto,
    const std::function<bool()> &reloadChains = [] { return loadChains(); });
