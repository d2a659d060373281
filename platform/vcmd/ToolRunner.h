#pragma once
// Runs an outside program to its end: the speaker adaptation's training tools. Behind an
// interface so tests can fake the tools.

#include <QString>
#include <QStringList>

struct ToolRun {
    bool started = false;   // false: the program is missing or cannot be executed
    int exitCode = -1;
    QString output;         // standard output and error, interleaved
};

class ToolRunner {
public:
    virtual ~ToolRunner() = default;
    virtual ToolRun run(const QString& program, const QStringList& arguments, const QString& workingDir) = 0;
};

// QProcess, blocking: call it off the user-interface thread.
class ProcessToolRunner : public ToolRunner {
public:
    ToolRun run(const QString& program, const QStringList& arguments, const QString& workingDir) override;
};
