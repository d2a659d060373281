#include "app/voice/RemoteSay.h"

namespace RemoteSay {

namespace {
const QString kRan = QStringLiteral("ran\t");
const QString kNotListening = QStringLiteral("not listening");
const QString kNoCommand = QStringLiteral("no command\t");
} // namespace

QString ran(const QString& command) { return kRan + command; }
QString notListening() { return kNotListening; }
QString noCommand(const QString& phrase) { return kNoCommand + phrase; }

Outcome interpret(const QString& reply)
{
    if (reply.startsWith(kRan))
        return {QStringLiteral("Ran: ") + reply.mid(kRan.size()), 0};
    if (reply == kNotListening)
        return {QStringLiteral("Not listening"), 3};
    if (reply.startsWith(kNoCommand))
        return {QStringLiteral("No command answers to: ") + reply.mid(kNoCommand.size()), 4};
    // An older or still loading copy: say what it answered rather than guess.
    return {QStringLiteral("Vorlix answered: ") + reply, 1};
}

} // namespace RemoteSay
