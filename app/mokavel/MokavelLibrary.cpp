#include "app/mokavel/MokavelLibrary.h"

#include "exporter/Mokavel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <cstring>

Q_LOGGING_CATEGORY(lcMokavel, "vorlix.mokavel")

QStringList MokavelLibrary::defaultCandidates()
{
    const QString explicitFile = qEnvironmentVariable("VORLIX_MOKAVEL");
    if (!explicitFile.isEmpty())
        return {explicitFile};
    QStringList candidates;
    const QString program = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    if (!program.isEmpty())
        candidates << QDir::cleanPath(QFileInfo(program).absolutePath() + QStringLiteral("/../lib/libMokavel.so"));
    candidates << QStringLiteral("libMokavel.so");
    return candidates;
}

MokavelLibrary::MokavelLibrary(QStringList candidates)
    : m_candidates(std::move(candidates)),
      m_bindings{{{"fnMokavel"}, {"fnDeleteSectionfromIni"}, {"ExportFavorites"}, {"ExportPersonalDocs"},
                  {"GetPersonalDocsPath"}}}
{
}

bool MokavelLibrary::load()
{
    if (m_loadAttempted)
        return m_library.isOpen();
    m_loadAttempted = true;
    if (m_library.open(m_candidates))
        return true;
    qCWarning(lcMokavel).noquote() << "libMokavel cannot be loaded; the Start list, favourites and documents exports"
                                   << "are unavailable:" << m_library.failure();
    return false;
}

void* MokavelLibrary::resolve(Export which)
{
    Binding& binding = m_bindings[which];
    if (binding.attempted)
        return binding.function;
    binding.attempted = true;
    if (!load())
        return nullptr;
    binding.function = m_library.symbol(binding.name);
    if (!binding.function)
        qCWarning(lcMokavel).noquote() << m_library.fileName() << "has no export" << binding.name
                                       << "; the program goes on without it";
    return binding.function;
}

int32_t MokavelLibrary::fnMokavel(const QString& outputFile, int32_t sources)
{
    const auto function = reinterpret_cast<decltype(&::fnMokavel)>(resolve(StartList));
    return function ? function(QFile::encodeName(outputFile).constData(), sources) : 0;
}

int32_t MokavelLibrary::fnDeleteSectionfromIni(const QString& section, const QString& iniFile)
{
    const auto function = reinterpret_cast<decltype(&::fnDeleteSectionfromIni)>(resolve(DeleteSection));
    return function ? function(section.toLocal8Bit().constData(), QFile::encodeName(iniFile).constData()) : 0;
}

int32_t MokavelLibrary::ExportFavorites(const QString& outputFile)
{
    const auto function = reinterpret_cast<decltype(&::ExportFavorites)>(resolve(Favorites));
    return function ? function(QFile::encodeName(outputFile).constData()) : 0;
}

int32_t MokavelLibrary::ExportPersonalDocs(const QString& folder, const QString& outputFile)
{
    const auto function = reinterpret_cast<decltype(&::ExportPersonalDocs)>(resolve(PersonalDocs));
    return function ? function(QFile::encodeName(folder).constData(), QFile::encodeName(outputFile).constData()) : 0;
}

QString MokavelLibrary::GetPersonalDocsPath()
{
    const auto function = reinterpret_cast<decltype(&::GetPersonalDocsPath)>(resolve(PersonalDocsPath));
    if (!function)
        return {};
    QByteArray buffer(MOKAVEL_PATH_BUFFER_SIZE, '\0');
    const int32_t reported = function(buffer.data());
    // The count is the library's word; the text still ends at its zero within the buffer.
    const qsizetype written = qsizetype(::strnlen(buffer.constData(), size_t(buffer.size() - 1)));
    const qsizetype length = reported < 0 ? 0 : std::min<qsizetype>(reported, written);
    return QFile::decodeName(buffer.left(length));
}
