#include "exporter/Mokavel.h"

#include "tests/exporter/ExporterTestSupport.h"

#include <QProcess>

#include <gmock/gmock.h>

#include <dlfcn.h>

#include <cstring>

using namespace exportertest;

class MokavelExportsTest : public ExporterTest {};

TEST_F(MokavelExportsTest, theFiveExportsAreFoundByTheirPlainNamesAndNothingElse)
{
    const QByteArray library = (qEnvironmentVariable("VORLIX_BUILD_DIR") + "/lib/libMokavel.so").toUtf8();
    void* handle = ::dlopen(library.constData(), RTLD_NOW | RTLD_LOCAL);
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
    EXPECT_EQ(readBytes(ini), "[Keep]\r\nA=1\r\n[Last]\r\nD=4\r\n");

    const std::string missing = path("missing.INI");
    for (const auto& [section, file] : {std::pair{"Nothing", ini.c_str()}, {"Any", missing.c_str()},
                                        {nullptr, ini.c_str()}, {"Keep", nullptr}})
        EXPECT_EQ(fnDeleteSectionfromIni(section, file), 1);
    EXPECT_EQ(readBytes(ini), "[Keep]\r\nA=1\r\n[Last]\r\nD=4\r\n");
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(MokavelExportsTest, personalDocsPathComesFromTheStoreElseTheDocumentsFolderOrTheDataRoot)
{
    char buffer[MOKAVEL_PATH_BUFFER_SIZE] = {};
    setShellFolder(false, "Personal", "/home/someone/My Documents");
    EXPECT_EQ(GetPersonalDocsPath(buffer), 26);
    EXPECT_STREQ(buffer, "/home/someone/My Documents");
    // A value that would not fit the caller's buffer is not used.
    setShellFolder(false, "Personal", "/" + std::string(MOKAVEL_PATH_BUFFER_SIZE, 'x'));
    std::memset(buffer, '?', sizeof buffer);
    EXPECT_EQ(GetPersonalDocsPath(buffer), static_cast<int32_t>(path("windir").size()));
    EXPECT_EQ(std::string(buffer), path("windir"));
    EXPECT_EQ(GetPersonalDocsPath(nullptr), 0);
}

TEST_F(MokavelExportsTest, theShellToolReportsWhatEachExportDidAndWrongUsageShowsHelp)
{
    using testing::HasSubstr, testing::Pair;
    const auto run = [](const QStringList& arguments) { // exit code, then standard output and error together
        QProcess tool;
        tool.start(qEnvironmentVariable("VORLIX_BUILD_DIR") + "/bin/vorlix-export", arguments);
        EXPECT_TRUE(tool.waitForFinished(60000));
        return std::pair{tool.exitCode(), (tool.readAllStandardOutput() + tool.readAllStandardError()).toStdString()};
    };
    writeBytes(path("Documents/report.doc"), "");
    EXPECT_THAT(run({"documents", env.path("Documents"), env.path("documents.dat")}), Pair(0, HasSubstr("1 records")));
    EXPECT_THAT(run({"documents", env.path("missing"), env.path("other.dat")}), Pair(1, HasSubstr("failed")));
    EXPECT_THAT(run({"documents", env.path("bin"), env.path("other.dat")}), Pair(0, HasSubstr("nothing found")));
    setShellFolder(false, "Personal", "/srv/docs");
    EXPECT_EQ(run({"personal"}), std::pair(0, std::string("/srv/docs\n")));
    for (const QStringList& arguments : {QStringList{}, QStringList{"apps", "x", "7z"}})
        EXPECT_THAT(run(arguments), Pair(2, HasSubstr("usage:")));
}
