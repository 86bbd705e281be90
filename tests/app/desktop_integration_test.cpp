#include "app/desktop_integration.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/bytes.h"

namespace mv {
namespace {

namespace fs = std::filesystem;

TEST(DesktopIntegration, PackagingFilesAreWhatTheProgramRegisters) {
  // The files shipped for packagers and the ones each start writes for the user stay the same.
  const std::string packaging = MV_SOURCE_DIR "/packaging/";
  EXPECT_EQ(test::ReadFileBytes(packaging + "morvalen-mime.xml"), MimePackageXml());
  EXPECT_EQ(test::ReadFileBytes(packaging + "morvalen.desktop"), DesktopEntry(""));
  EXPECT_EQ(test::ReadFileBytes(packaging + "icons/morvalen.svg"), ProgramIconSvg());
  for (const char* ext : {"mvl", "msa", "mef"}) {
    EXPECT_NE(MimePackageXml().find(std::string("<glob pattern=\"*.") + ext + "\" case-sensitive=\"false\"/>"),
              std::string::npos);
  }
}

TEST(DesktopIntegration, RegistrationWritesIntoTheUsersDataFolder) {
  test::TempFolder dir;
  std::string problem;
  ASSERT_TRUE(RegisterFileTypes(dir.path(), "/opt/my programs/morvalen", problem)) << problem;
  EXPECT_EQ(test::ReadFileBytes(dir.Path("mime/packages/morvalen.xml")), MimePackageXml());
  const std::string entry = test::ReadFileBytes(dir.Path("applications/morvalen.desktop"));
  EXPECT_NE(entry.find("Exec=\"/opt/my programs/morvalen\" %F\n"), std::string::npos);
  EXPECT_NE(entry.find("MimeType=application/x-morvalen-spc;application/x-morvalen-msa;application/x-morvalen-exchange;\n"),
            std::string::npos);
  EXPECT_TRUE(fs::exists(dir.Path("icons/hicolor/scalable/mimetypes/application-x-morvalen-spc.svg")));
  EXPECT_TRUE(fs::exists(dir.Path("icons/hicolor/scalable/apps/morvalen.svg")));
  // A second start leaves what is there alone.
  const auto before = fs::last_write_time(dir.Path("mime/packages/morvalen.xml"));
  ASSERT_TRUE(RegisterFileTypes(dir.path(), "/opt/my programs/morvalen", problem));
  EXPECT_EQ(fs::last_write_time(dir.Path("mime/packages/morvalen.xml")), before);
  // A data folder that cannot hold the files is reported.
  test::WriteFileBytes(dir.Path("blocked"), "x");
  EXPECT_FALSE(RegisterFileTypes(dir.Path("blocked"), "", problem));
  EXPECT_FALSE(problem.empty());
}

}  // namespace
}  // namespace mv
