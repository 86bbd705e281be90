#include "platform/xdg_file_associations.h"

#include <gtest/gtest.h>

#include "platform/headless.h"
#include "platform/services.h"

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

TEST(HeadlessFileAssociations, KnowsNoHandlerChangesNothingAndRecordsTheRequests) {
  auto& headless = dynamic_cast<HeadlessFileAssociations&>(Current<IFileAssociations>());
  EXPECT_TRUE(headless.Query("application/x-morvalen-spc").defaultHandler.empty());
  EXPECT_FALSE(headless.SetDefault("application/x-morvalen-spc", "morvalen.desktop"));
  EXPECT_EQ(headless.queried.back(), "application/x-morvalen-spc");
  EXPECT_EQ(headless.setRequests.back(), "application/x-morvalen-spc morvalen.desktop");
}

}  // namespace
}  // namespace mv::platform
