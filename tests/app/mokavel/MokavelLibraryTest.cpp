#include "app/mokavel/MokavelLibrary.h"

#include "platform/registry/Registry.h"

#include "tests/support/TestEnvironment.h"

#include <QFileInfo>

#include <mutex>

namespace {

// Warnings of the binding's log category, as the user's log would show them.
class LogCapture {
public:
    LogCapture()
    {
        std::lock_guard lock(s_mutex);
        s_messages.clear();
        m_previous = qInstallMessageHandler(&LogCapture::handle);
    }
    ~LogCapture() { qInstallMessageHandler(m_previous); }

    QStringList messages() const
    {
        std::lock_guard lock(s_mutex);
        return s_messages;
    }

private:
    static void handle(QtMsgType, const QMessageLogContext& context, const QString& message)
    {
        if (QByteArray(context.category) == "vorlix.mokavel") {
            std::lock_guard lock(s_mutex);
            s_messages << message;
        }
    }

    QtMessageHandler m_previous = nullptr;
    static inline std::mutex s_mutex;
    static inline QStringList s_messages;
};

QString builtLibrary(const QString& name)
{
    return qEnvironmentVariable("VORLIX_BUILD_DIR") + QStringLiteral("/lib/") + name;
}

} // namespace

class MokavelLibraryTest : public IsolatedTest {};

TEST_F(MokavelLibraryTest, missingLibraryLeavesEveryExportEmptyAndSaysSoOnce)
{
    LogCapture log;
    MokavelLibrary library({env.path("nowhere/libMokavel.so"), QStringLiteral("libNoSuchMokavel.so")});
    EXPECT_EQ(library.fnMokavel(env.path("apps.dat"), 7), 0);
    EXPECT_EQ(library.ExportFavorites(env.path("favorites.dat")), 0);
    EXPECT_EQ(library.ExportPersonalDocs(env.root(), env.path("documents.dat")), 0);
    EXPECT_EQ(library.fnDeleteSectionfromIni(QStringLiteral("A"), env.path("apps.INI")), 0);
    EXPECT_TRUE(library.GetPersonalDocsPath().isEmpty());
    EXPECT_EQ(library.fnMokavel(env.path("apps.dat"), 7), 0);
    EXPECT_FALSE(library.isLoaded());
    ASSERT_EQ(log.messages().size(), 1) << log.messages().join('\n').toStdString();
    EXPECT_TRUE(log.messages().front().contains(QStringLiteral("nowhere/libMokavel.so")));
    EXPECT_TRUE(log.messages().front().contains(QStringLiteral("libNoSuchMokavel.so")));
}

TEST_F(MokavelLibraryTest, missingExportIsReportedOnceAndTheOthersStillWork)
{
    LogCapture log;
    MokavelLibrary library({builtLibrary(QStringLiteral("libmokavel_partial.so"))});
    EXPECT_EQ(library.GetPersonalDocsPath(), QStringLiteral("/partial/docs"));
    EXPECT_EQ(library.ExportFavorites(env.path("favorites.dat")), 0);
    EXPECT_EQ(library.ExportFavorites(env.path("favorites.dat")), 0);
    EXPECT_TRUE(library.isLoaded());
    ASSERT_EQ(log.messages().size(), 1);
    EXPECT_TRUE(log.messages().front().contains(QStringLiteral("ExportFavorites")));
}

TEST_F(MokavelLibraryTest, realLibraryRoundTripsNonAsciiPathsAndTheBuffer)
{
    env.setEnv("VORLIX_MOKAVEL", builtLibrary(QStringLiteral("libMokavel.so")));
    MokavelLibrary library;
    const QString folder = env.path(QStringLiteral("Dokumente für Jürgen"));
    IsolatedEnvironment::writeFile(folder + QStringLiteral("/Brief.odt"), {});
    const QString out = env.path(QStringLiteral("documents.dat"));
    ASSERT_EQ(library.ExportPersonalDocs(folder, out), 1);
    EXPECT_EQ(IsolatedEnvironment::readFile(out),
              (QStringLiteral("Brief\r\n") + folder + QStringLiteral("/Brief.odt\r\n\r\n")).toUtf8());

    ASSERT_TRUE(registry::writeValue(registry::Root::CurrentUser, registry::kShellFoldersKey, "Personal",
                                     QStringLiteral("/home/jürgen/Dokumente").toStdString()));
    EXPECT_EQ(library.GetPersonalDocsPath(), QStringLiteral("/home/jürgen/Dokumente"));

    const QString ini = env.path(QStringLiteral("Web.INI"));
    IsolatedEnvironment::writeFile(ini, "[Sité]\r\nURL=x\r\n[Other]\r\nURL=y\r\n");
    EXPECT_EQ(library.fnDeleteSectionfromIni(QStringLiteral("Sité"), ini), 1);
    EXPECT_EQ(IsolatedEnvironment::readFile(ini), QByteArray("[Other]\r\nURL=y\r\n"));
}

TEST_F(MokavelLibraryTest, defaultSearchPrefersTheExplicitFileThenTheProgramsLibFolder)
{
    env.setEnv("VORLIX_MOKAVEL", QStringLiteral("/opt/test/libMokavel.so"));
    EXPECT_EQ(MokavelLibrary::defaultCandidates(), QStringList{QStringLiteral("/opt/test/libMokavel.so")});
    env.setEnv("VORLIX_MOKAVEL", QString());
    const QStringList candidates = MokavelLibrary::defaultCandidates();
    ASSERT_EQ(candidates.size(), 2);
    EXPECT_EQ(QFileInfo(candidates[0]).canonicalFilePath(),
              QFileInfo(builtLibrary(QStringLiteral("libMokavel.so"))).canonicalFilePath());
    EXPECT_EQ(candidates[1], QStringLiteral("libMokavel.so"));
}
