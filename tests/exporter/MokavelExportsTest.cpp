#include "exporter/Mokavel.h"

#include "platform/profile/PrivateProfile.h"

#include "tests/exporter/ExporterTestSupport.h"

#include <QProcess>

#include <dlfcn.h>

#include <cstring>

using namespace exportertest;

class MokavelExportsTest : public ExporterTest {};

TEST_F(MokavelExportsTest, theFiveExportsAreFoundByTheirPlainNames)
{
    const std::string library = qEnvironmentVariable("VORLIX_BUILD_DIR").toStdString() + "/lib/libMokavel.so";
    void* handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << ::dlerror();
    for (const char* name : {"fnMokavel", "fnDeleteSectionfromIni", "ExportFavorites", "ExportPersonalDocs",
                             "GetPersonalDocsPath"})
        EXPECT_NE(::dlsym(handle, name), nullptr) << name;
    EXPECT_EQ(::dlsym(handle, "GetPrivateProfileString"), nullptr) << "linked-in code must stay private";
    ::dlclose(handle);
}

TEST_F(MokavelExportsTest, deleteSectionRemovesTheWholeSectionAndAlwaysSucceeds)
{
    const std::string ini = path("apps.INI");
    writeBytes(ini, "[Keep]\r\nA=1\r\n[Gone]\r\nB=2\r\nC=3\r\n[Last]\r\nD=4\r\n");
    EXPECT_EQ(fnDeleteSectionfromIni("gone", ini.c_str()), 1);
    std::string value;
    EXPECT_EQ(GetPrivateProfileString("Gone", "B", "none", value, kProfileBufferSize, ini), 4);
    EXPECT_EQ(value, "none");
    GetPrivateProfileString("Last", "D", "", value, kProfileBufferSize, ini);
    EXPECT_EQ(value, "4");

    EXPECT_EQ(fnDeleteSectionfromIni("Nothing", ini.c_str()), 1);
    EXPECT_EQ(fnDeleteSectionfromIni("Any", path("missing.INI").c_str()), 1);
    EXPECT_FALSE(std::filesystem::exists(path("missing.INI")));
    EXPECT_EQ(fnDeleteSectionfromIni(nullptr, ini.c_str()), 1);
    EXPECT_EQ(fnDeleteSectionfromIni("Keep", nullptr), 1);
}

TEST_F(MokavelExportsTest, personalDocsPathComesFromTheStoreThenTheDataRoot)
{
    char buffer[MOKAVEL_PATH_BUFFER_SIZE];
    setShellFolder(false, "Personal", "/home/someone/My Documents");
    EXPECT_EQ(GetPersonalDocsPath(buffer), 26);
    EXPECT_STREQ(buffer, "/home/someone/My Documents");

    // A value that would not fit the caller's buffer is not used.
    setShellFolder(false, "Personal", "/" + std::string(MOKAVEL_PATH_BUFFER_SIZE, 'x'));
    std::memset(buffer, '?', sizeof buffer);
    const int32_t length = GetPersonalDocsPath(buffer);
    EXPECT_EQ(std::string(buffer), path("windir"));
    EXPECT_EQ(length, static_cast<int32_t>(path("windir").size()));
    EXPECT_EQ(GetPersonalDocsPath(nullptr), 0);
}

TEST_F(MokavelExportsTest, personalDocsPathFallsBackToTheDocumentsFolder)
{
    char buffer[MOKAVEL_PATH_BUFFER_SIZE];
    const int32_t length = GetPersonalDocsPath(buffer);
    ASSERT_GT(length, 0);
    EXPECT_EQ(std::strlen(buffer), static_cast<size_t>(length));
    EXPECT_EQ(std::string(buffer).rfind(path("home"), 0), 0u) << buffer;
}

// The shell tool, as a user runs it.
class VorlixExportToolTest : public ExporterTest {
protected:
    struct Run {
        int exitCode;
        QString output;
    };
    Run run(const QStringList& arguments)
    {
        QProcess tool;
        tool.start(qEnvironmentVariable("VORLIX_BUILD_DIR") + "/bin/vorlix-export", arguments);
        EXPECT_TRUE(tool.waitForFinished(60000));
        return {tool.exitCode(), QString::fromUtf8(tool.readAllStandardOutput() + tool.readAllStandardError())};
    }
};

TEST_F(VorlixExportToolTest, reportsWhatEachExportDid)
{
    writeBytes(path("Documents/report.doc"), "");
    const QString out = env.path("documents.dat");
    Run result = run({"documents", env.path("Documents"), out});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.output.contains("1 records")) << result.output.toStdString();

    result = run({"documents", env.path("missing"), env.path("other.dat")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.output.contains("failed")) << result.output.toStdString();

    makeFolder(path("Empty"));
    result = run({"documents", env.path("Empty"), env.path("other.dat")});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.output.contains("nothing found")) << result.output.toStdString();

    setShellFolder(false, "Personal", "/srv/docs");
    result = run({"personal"});
    EXPECT_EQ(result.output.trimmed(), "/srv/docs");
}

TEST_F(VorlixExportToolTest, wrongUsageShowsHelp)
{
    for (const QStringList& arguments : {QStringList{}, QStringList{"apps", "x", "7z"}}) {
        const Run result = run(arguments);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_TRUE(result.output.contains("usage:"));
    }
}
