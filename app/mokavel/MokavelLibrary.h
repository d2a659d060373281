#pragma once
// The program's binding of libMokavel. The library is loaded at the first call of any
// export and each export is bound by name at its own first call. When the library or
// an export is missing, the call returns that export's failure value and the log says
// why, once, so callers go on without that export's data. Not thread-safe: the program
// calls it from its user-interface thread.

#include "app/mokavel/MokavelExports.h"
#include "platform/library/SharedLibrary.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

class MokavelLibrary : public MokavelExports {
public:
    // Where the library is looked for, in order: the file named by VORLIX_MOKAVEL when
    // set; else libMokavel.so in the lib folder beside the program's bin folder, then
    // the plain name through the system loader's search.
    static QStringList defaultCandidates();

    explicit MokavelLibrary(QStringList candidates = defaultCandidates());

    // The exports under their own names. Each returns 0 when the export is unavailable.
    int32_t fnMokavel(const QString& outputFile, int32_t sources) override;
    // The library itself always answers 1, so 0 means the section was not removed.
    int32_t fnDeleteSectionfromIni(const QString& section, const QString& iniFile) override;
    int32_t ExportFavorites(const QString& outputFile) override;
    int32_t ExportPersonalDocs(const QString& folder, const QString& outputFile) override;
    // The personal documents folder; empty when the export is unavailable.
    QString GetPersonalDocsPath() override;

    // Whether the library file was loaded (it is tried at the first export call).
    bool isLoaded() const { return m_library.isOpen(); }

private:
    enum Export { StartList, DeleteSection, Favorites, PersonalDocs, PersonalDocsPath, ExportCount };
    struct Binding {
        const char* name;
        void* function = nullptr;
        bool attempted = false;
    };

    void* resolve(Export which);
    bool load();

    QStringList m_candidates;
    SharedLibrary m_library;
    bool m_loadAttempted = false;
    std::array<Binding, ExportCount> m_bindings;
};
