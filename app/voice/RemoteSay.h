#pragma once
// The answer of the running program to `vorlix --say PHRASE`, and what the client makes
// of it: one line for the user and an exit status that scripts can test.

#include <QString>

namespace RemoteSay {

// The running program's answers.
QString ran(const QString& command);
QString notListening();
QString noCommand(const QString& phrase);

struct Outcome {
    QString message;   // one line for standard output
    int exitStatus;    // 0 ran, 3 not listening, 4 no command answers, 1 anything else
};
Outcome interpret(const QString& reply);

} // namespace RemoteSay
