#pragma once
// The library's exports as a fake: each export writes the records it was given into
// the file it is asked for, as the library does (no file when there are none), and
// every call is recorded as one line.

#include "app/mokavel/ExportRecords.h"
#include "app/mokavel/MokavelExports.h"

#include <QFile>
#include <QStringList>

#include <vector>

struct FakeMokavelExports : MokavelExports {
    QStringList calls;
    std::vector<ExportRecord> startList, favorites, documents;
    int32_t result = 1;    // what every export but GetPersonalDocsPath answers
    QString personalDocs = QStringLiteral("/home/user/Documents");

    static void writeRecords(const QString& file, const std::vector<ExportRecord>& records)
    {
        if (records.empty())
            return;
        QByteArray bytes;
        for (const ExportRecord& record : records)
            bytes += (record.name + "\r\n" + record.target + "\r\n" + record.arguments + "\r\n").toUtf8();
        QFile out(file);
        if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            out.write(bytes);
    }

    int32_t fnMokavel(const QString& outputFile, int32_t sources) override
    {
        calls << QStringLiteral("fnMokavel %1 %2").arg(outputFile).arg(sources);
        if (result)
            writeRecords(outputFile, startList);
        return result;
    }
    int32_t fnDeleteSectionfromIni(const QString& section, const QString& iniFile) override
    {
        calls << QStringLiteral("fnDeleteSectionfromIni %1 %2").arg(section, iniFile);
        return 1;
    }
    int32_t ExportFavorites(const QString& outputFile) override
    {
        calls << QStringLiteral("ExportFavorites %1").arg(outputFile);
        if (result)
            writeRecords(outputFile, favorites);
        return result;
    }
    int32_t ExportPersonalDocs(const QString& folder, const QString& outputFile) override
    {
        calls << QStringLiteral("ExportPersonalDocs %1 %2").arg(folder, outputFile);
        if (result)
            writeRecords(outputFile, documents);
        return result;
    }
    QString GetPersonalDocsPath() override
    {
        calls << QStringLiteral("GetPersonalDocsPath");
        return personalDocs;
    }
};
