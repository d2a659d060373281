#pragma once
// The one reader of the library's export files ("apps.dat", "favorites.dat",
// "documents.dat"): records of three lines (name, target, arguments), UTF-8, ended by
// CR LF (a bare LF is taken too).

#include <QString>

#include <vector>

struct ExportRecord {
    QString name;
    QString target;
    QString arguments;

    friend bool operator==(const ExportRecord&, const ExportRecord&) = default;
};

// The records of file in order; none when it cannot be read. A last record cut short
// keeps what it has when its target line is there (the arguments then are empty) and
// is dropped otherwise.
std::vector<ExportRecord> ReadExportRecords(const QString& file);
