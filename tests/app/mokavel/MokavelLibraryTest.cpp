#include "app/mokavel/ExportRecords.h"
#include "app/mokavel/MokavelLibrary.h"

#include "platform/registry/Registry.h"

#include "tests/support/TestEnvironment.h"

namespace {

QStringList g_warnings; // of the binding's log category, as the user's log would show them

void captureWarning(QtMsgType, const QMessageLogContext& context, const QString& message)
{
    if (QByteArray(context.category) == "vorlix.mokavel")
        g_warnings << message;
}

QString builtLibrary(const QString& name)
{
    return qEnvironmentVariable("VORLIX_BUILD_DIR") + QStringLiteral("/lib/") + name;
}

} // namespace

void PrintTo(const ExportRecord& record, std::ostream* out)
{
    *out << (record.name + " | " + record.target + " | " + record.arguments).toStdString();
}

class MokavelLibraryTest : public IsolatedTest {
protected:
    MokavelLibraryTest() { g_warnings.clear(), m_previous = qInstallMessageHandler(captureWarning); }
    ~MokavelLibraryTest() override { qInstallMessageHandler(m_previous); }
    QtMessageHandler m_previous = nullptr;
};

TEST_F(MokavelLibraryTest, missingLibraryLeavesEveryExportEmptyAndSaysSoOnce)
{
    MokavelLibrary library({env.path("nowhere/libMokavel.so"), QStringLiteral("libNoSuchMokavel.so")});
    for (int call = 0; call < 2; ++call) {
        EXPECT_EQ(library.fnMokavel(env.path("apps.dat"), 7), 0);
        EXPECT_EQ(library.ExportFavorites(env.path("favorites.dat")), 0);
        EXPECT_EQ(library.ExportPersonalDocs(env.root(), env.path("documents.dat")), 0);
        EXPECT_EQ(library.fnDeleteSectionfromIni(QStringLiteral("A"), env.path("apps.INI")), 0);
        EXPECT_TRUE(library.GetPersonalDocsPath().isEmpty());
    }
    ASSERT_EQ(g_warnings.size(), 1) << g_warnings.join('\n').toStdString();
    for (const char* name : {"nowhere/libMokavel.so", "libNoSuchMokavel.so"})
        EXPECT_TRUE(g_warnings.front().contains(name)) << name;
}

TEST_F(MokavelLibraryTest, missingExportIsReportedOnceAndTheOthersStillWork)
{
    MokavelLibrary library({builtLibrary(QStringLiteral("libmokavel_partial.so"))});
    EXPECT_EQ(library.GetPersonalDocsPath(), QStringLiteral("/partial/docs")) << "its count overstates what it wrote";
    EXPECT_EQ(library.ExportFavorites(env.path("favorites.dat")), 0);
    EXPECT_EQ(library.ExportFavorites(env.path("favorites.dat")), 0);
    ASSERT_EQ(g_warnings.size(), 1) << g_warnings.join('\n').toStdString();
    EXPECT_TRUE(g_warnings.front().contains(QStringLiteral("ExportFavorites")));
}

// The reader must read back what the real library writes, non-ASCII paths included.
TEST_F(MokavelLibraryTest, realLibraryRoundTripsNonAsciiPathsAndTheBuffer)
{
    env.setEnv("VORLIX_MOKAVEL", builtLibrary(QStringLiteral("libMokavel.so")));
    MokavelLibrary library;
    const QString folder = env.path(QStringLiteral("Dokumente für Jürgen"));
    IsolatedEnvironment::writeFile(folder + "/report.doc", {});
    IsolatedEnvironment::writeFile(folder + QStringLiteral("/über.txt"), {});
    ASSERT_EQ(library.ExportPersonalDocs(folder, env.path("documents.dat")), 1);
    EXPECT_EQ(ReadExportRecords(env.path("documents.dat")),
              (std::vector<ExportRecord>{{QStringLiteral("über"), folder + QStringLiteral("/über.txt"), ""},
                                         {"report", folder + "/report.doc", ""}}));

    ASSERT_TRUE(registry::writeValue(registry::Root::CurrentUser, registry::kShellFoldersKey, "Personal",
                                     QStringLiteral("/home/jürgen/Dokumente").toStdString()));
    EXPECT_EQ(library.GetPersonalDocsPath(), QStringLiteral("/home/jürgen/Dokumente"));

    const QString ini = env.path(QStringLiteral("Web.INI"));
    IsolatedEnvironment::writeFile(ini, "[Sité]\r\nURL=x\r\n[Other]\r\nURL=y\r\n");
    EXPECT_EQ(library.fnDeleteSectionfromIni(QStringLiteral("Sité"), ini), 1);
    EXPECT_EQ(IsolatedEnvironment::readFile(ini), QByteArray("[Other]\r\nURL=y\r\n"));
}

class ExportRecordsTest : public IsolatedTest {
protected:
    std::vector<ExportRecord> read(const QByteArray& bytes)
    {
        IsolatedEnvironment::writeFile(env.path("records.dat"), bytes);
        return ReadExportRecords(env.path("records.dat"));
    }
};

TEST_F(ExportRecordsTest, readsWholeRecordsKeepsACutLastRecordWithItsTargetAndTakesBareLineFeeds)
{
    EXPECT_TRUE(ReadExportRecords(env.path("missing.dat")).empty());
    EXPECT_EQ(read("A\r\n/a\r\n\r\nCaf\xC3\xA9\r\n/b\r\n-x y\r\n"),
              (std::vector<ExportRecord>{{"A", "/a", ""}, {QString::fromUtf8("Caf\xC3\xA9"), "/b", "-x y"}}));
    EXPECT_EQ(read("A\n/a\n\nB\r\n/b"), (std::vector<ExportRecord>{{"A", "/a", ""}, {"B", "/b", ""}}));
    EXPECT_EQ(read("A\r\n/a\r\n\r\nB\r\n"), (std::vector<ExportRecord>{{"A", "/a", ""}}));
    EXPECT_EQ(read("\r\n\r\n\r\n"), (std::vector<ExportRecord>{{"", "", ""}})) << "emptiness is the reader's callers' to judge";
}
