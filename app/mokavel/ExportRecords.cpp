#include "app/mokavel/ExportRecords.h"

#include <QFile>

std::vector<ExportRecord> ReadExportRecords(const QString& file)
{
    std::vector<ExportRecord> records;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return records;
    // One read and one split: the Start list file is read at every start.
    const QByteArray bytes = in.readAll();
    QString fields[3];
    int field = 0;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        qsizetype length = end - start;
        if (length > 0 && bytes[end - 1] == '\r')
            --length;
        fields[field] = QString::fromUtf8(bytes.constData() + start, length);
        start = end + 1;
        if (++field == 3) {
            records.push_back({fields[0], fields[1], fields[2]});
            field = 0;
        }
    }
    if (field == 2)
        records.push_back({fields[0], fields[1], QString()});
    return records;
}
