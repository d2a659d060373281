#pragma once
// Files the program rewrites at exit must have been read first: a file that exists but
// could not be read would otherwise be replaced by an empty one, losing what it held.

#include <QString>

#include <optional>

// Why file exists but cannot be taken as one of our text files (no permission, a
// folder, UTF-16 or binary content), in words fit for the user; nullopt when it reads
// fine or does not exist.
std::optional<QString> whyUnreadable(const QString& file);

// The start-up sentence for a file that could not be read and will be left as it is.
QString unreadableFileMessage(const QString& file, const QString& reason);
