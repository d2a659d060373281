#pragma once
// The five exports of the Mokavel library as the program calls them. The real one binds
// libMokavel.so (MokavelLibrary); tests use a fake that writes record files. Results
// are the library's: non-zero for success. UI thread only.

#include <QString>

#include <cstdint>

class MokavelExports {
public:
    // Source bits of fnMokavel.
    static constexpr int32_t kDesktop = 1;
    static constexpr int32_t kStartMenu = 2;
    static constexpr int32_t kControlPanel = 4;

    virtual ~MokavelExports() = default;

    // Writes the Start list file outputFile from the sources.
    virtual int32_t fnMokavel(const QString& outputFile, int32_t sources) = 0;
    // Removes section from iniFile.
    virtual int32_t fnDeleteSectionfromIni(const QString& section, const QString& iniFile) = 0;
    // Writes the favourites file outputFile.
    virtual int32_t ExportFavorites(const QString& outputFile) = 0;
    // Writes the documents directly in folder to outputFile.
    virtual int32_t ExportPersonalDocs(const QString& folder, const QString& outputFile) = 0;
    // The personal documents folder; empty when unavailable.
    virtual QString GetPersonalDocsPath() = 0;
};
