#pragma once
// The adaptation tools: every run is logged by the program's file name; each tool's answer
// can be set, and the transform tool writes the identity transform where it is told to.

#include "platform/vcmd/ToolRunner.h"

#include <QFile>
#include <QFileInfo>

#include <functional>
#include <map>
#include <mutex>

class FakeToolRunner : public ToolRunner {
public:
    // A transform that changes nothing: one class, three streams of 13.
    static QByteArray identityTransform()
    {
        QByteArray text = "1\n3\n";
        for (int stream = 0; stream < 3; ++stream) {
            text += "13\n";
            for (int row = 0; row < 13; ++row) {
                for (int col = 0; col < 13; ++col)
                    text += row == col ? "1.0 " : "0.0 ";
                text += '\n';
            }
            text += QByteArray("0.0 ").repeated(13) + '\n' + QByteArray("1.0 ").repeated(13) + '\n';
        }
        return text;
    }

    std::map<QString, ToolRun> answers;   // by file name; otherwise started, exit 0, no output
    QByteArray transform = identityTransform();
    std::function<void(const QString& tool, const QStringList& arguments)> onRun;

    QStringList runs() const
    {
        std::lock_guard lock(m_mutex);
        return m_runs;
    }

    ToolRun run(const QString& program, const QStringList& arguments, const QString&) override
    {
        const QString tool = QFileInfo(program).fileName();
        {
            std::lock_guard lock(m_mutex);
            m_runs << tool;
        }
        if (onRun)
            onRun(tool, arguments);
        if (const auto it = answers.find(tool); it != answers.end())
            return it->second;
        if (const qsizetype at = arguments.indexOf(QStringLiteral("-outmllrfn")); at >= 0) {
            QFile out(arguments.value(at + 1));
            if (out.open(QIODevice::WriteOnly))
                out.write(transform);
        }
        return {true, 0, {}};
    }

private:
    mutable std::mutex m_mutex;
    QStringList m_runs;
};
