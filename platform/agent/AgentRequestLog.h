#pragma once
// Observability for end-to-end tests: when VORLIX_AGENT_LOG names a file, every
// request is appended to it as one line at the moment it is issued: the operation,
// then its arguments, separated by TABs. Line breaks in a text are written as \r and
// \n so each request stays one line. Each line is one append, so several processes
// may share the file.

#include <QStringList>

namespace AgentRequestLog {

void append(const QStringList& fields);

} // namespace AgentRequestLog
