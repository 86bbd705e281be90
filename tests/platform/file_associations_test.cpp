#include "platform/xdg_file_associations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "platform/headless.h"
#include "platform/services.h"
#include "support/bytes.h"

namespace mv::platform {
namespace {

TEST(DesktopEntry, OnlyTheEntryGroupCountsAndTheRussianNameWins) {
  const DesktopEntryFacts f = ParseDesktopEntry(
      "# comment\n[Desktop Entry]\r\nName=Viewer\nName[ru]=Просмотр\nName=Again\nComment = Смотрит \n"
      "Exec=viewer %F\nMimeType=application/x-morvalen-spc; text/plain;;\n"
      "[Desktop Action Edit]\nName=Edit\nMimeType=image/png;\nExec=other\n");
  EXPECT_EQ(f.name, "Просмотр");
  EXPECT_EQ(f.comment, "Смотрит");
  EXPECT_EQ(f.exec, "viewer %F");
  EXPECT_EQ(f.mimeTypes, (std::vector<std::string>{"application/x-morvalen-spc", "text/plain"}));
  EXPECT_FALSE(f.hidden);
  EXPECT_TRUE(ParseDesktopEntry("[Desktop Entry]\nHidden=true\n").hidden);
  EXPECT_TRUE(ParseDesktopEntry("Name=outside any group\n=\n[").name.empty());
}

TEST(DesktopEntry, ATextLongerThanTheLimitIsReadOnlyToTheLimit) {
  std::string text = "[Desktop Entry]\nName=A\n";
  text += std::string(kMaxEntryBytes, 'x');
  text += "\nName=B\n";
  EXPECT_EQ(ParseDesktopEntry(text).name, "A");
}

// Sets an environment variable for the lifetime of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : m_name(name) {
    if (const char* old = std::getenv(name)) m_old = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() { m_old ? setenv(m_name, m_old->c_str(), 1) : unsetenv(m_name); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* m_name;
  std::optional<std::string> m_old;
};

TEST(XdgFileAssociations, HandlersAreTheDesktopEntriesThatListTheTypeTheUsersFirst) {
  test::TempFolder dir;
  namespace fs = std::filesystem;
  fs::create_directories(dir.Path("home/applications/kde"));
  fs::create_directories(dir.Path("system/applications"));
  const std::string spc = "application/x-morvalen-spc";
  test::WriteFileBytes(dir.Path("home/applications/morvalen.desktop"),
                       "[Desktop Entry]\nName=Morvalen\nExec=morvalen %F\nMimeType=" + spc + ";\n");
  test::WriteFileBytes(dir.Path("home/applications/kde/viewer.desktop"),
                       "[Desktop Entry]\nName=Viewer\nMimeType=" + spc + ";text/plain;\n");
  test::WriteFileBytes(dir.Path("home/applications/gone.desktop"),
                       "[Desktop Entry]\nName=Gone\nHidden=true\nMimeType=" + spc + ";\n");
  // Hidden by the user's entry of the same name.
  test::WriteFileBytes(dir.Path("system/applications/morvalen.desktop"),
                       "[Desktop Entry]\nName=Old\nMimeType=" + spc + ";\n");
  test::WriteFileBytes(dir.Path("system/applications/text.desktop"), "[Desktop Entry]\nName=Text\nMimeType=text/plain;\n");
  const ScopedEnv home("XDG_DATA_HOME", dir.Path("home"));
  const ScopedEnv dirs("XDG_DATA_DIRS", dir.Path("system"));
  const ScopedEnv path("PATH", dir.Path("no-tools"));  // no xdg-mime: no default, nothing set

  XdgFileAssociations desktop;
  const FileTypeAssociation found = desktop.Query(spc);
  EXPECT_EQ(found.defaultHandler, "");
  std::vector<std::string> ids, names;
  for (const FileTypeHandler& h : found.handlers) {
    ids.push_back(h.id);
    names.push_back(h.name);
  }
  std::sort(ids.begin(), ids.end());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(ids, (std::vector<std::string>{"kde-viewer.desktop", "morvalen.desktop"}));
  EXPECT_EQ(names, (std::vector<std::string>{"Morvalen", "Viewer"}));
  EXPECT_FALSE(desktop.SetDefault(spc, "morvalen.desktop"));
}

TEST(XdgFileAssociations, TheDefaultComesFromXdgMimeAndIsSetThroughIt) {
  test::TempFolder dir;
  namespace fs = std::filesystem;
  fs::create_directories(dir.Path("bin"));
  // A stand-in for the tool: answers the query, records what it is asked to set.
  const std::string tool = dir.Path("bin/xdg-mime");
  test::WriteFileBytes(tool, "#!/bin/sh\nif [ \"$1\" = query ]; then echo \"viewer.desktop\"; echo extra; exit 0; fi\n"
                             "echo \"$@\" > \"" + dir.Path("set.txt") + "\"\n");
  fs::permissions(tool, fs::perms::owner_all);
  const ScopedEnv path("PATH", dir.Path("bin") + ":/usr/bin:/bin");
  const ScopedEnv home("XDG_DATA_HOME", dir.Path("none"));
  const ScopedEnv dirs("XDG_DATA_DIRS", dir.Path("none"));
  XdgFileAssociations desktop;
  EXPECT_EQ(desktop.Query("application/x-morvalen-msa").defaultHandler, "viewer.desktop");
  EXPECT_TRUE(desktop.SetDefault("application/x-morvalen-msa", "morvalen.desktop"));
  EXPECT_EQ(test::ReadFileBytes(dir.Path("set.txt")), "default morvalen.desktop application/x-morvalen-msa\n");
}

TEST(HeadlessFileAssociations, KnowsNoHandlerChangesNothingAndRecordsTheRequests) {
  auto& headless = dynamic_cast<HeadlessFileAssociations&>(Current<IFileAssociations>());
  EXPECT_TRUE(headless.Query("application/x-morvalen-spc").defaultHandler.empty());
  EXPECT_FALSE(headless.SetDefault("application/x-morvalen-spc", "morvalen.desktop"));
  EXPECT_EQ(headless.queried.back(), "application/x-morvalen-spc");
  EXPECT_EQ(headless.setRequests.back(), "application/x-morvalen-spc morvalen.desktop");
}

}  // namespace
}  // namespace mv::platform
