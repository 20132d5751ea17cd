#include "platform/linux/desktop_entry_linux.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

namespace sayolt {
namespace {

using Args = std::vector<std::string>;

DesktopEntry entryWithExec(const std::string& exec) {
  DesktopEntry e;
  e.exec = exec;
  e.name = "ビューア";
  e.icon = "viewer";
  e.location = "/apps/viewer.desktop";
  return e;
}

std::optional<Args> expand(const std::string& exec, const std::string& doc = "/home/a/予定 1.pdf") {
  return expandDesktopExec(entryWithExec(exec), doc);
}

TEST(DesktopEntryParse, ReadsMainGroupOnly_SkippingCommentsAndLocalizedKeys) {
  const auto entry = parseDesktopEntry(
      "# comment\n[Desktop Entry]\nName=Viewer\nName[ja]=ビューア\nIcon=viewer\n"
      "Exec=viewer --new\\swindow %U\nTryExec=viewer\nPath=/srv\nTerminal=true\r\n"
      "[Desktop Action other]\nExec=other %f\nName=Other\n",
      "/x/viewer.desktop");
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->name, "Viewer");
  EXPECT_EQ(entry->icon, "viewer");
  EXPECT_EQ(entry->exec, "viewer --new window %U");
  EXPECT_EQ(entry->tryExec, "viewer");
  EXPECT_EQ(entry->workingDirectory, "/srv");
  EXPECT_TRUE(entry->terminal);
  EXPECT_FALSE(entry->hidden);
  EXPECT_EQ(entry->location, "/x/viewer.desktop");
}

TEST(DesktopEntryParse, Nullopt_WithoutDesktopEntryGroup) {
  EXPECT_FALSE(parseDesktopEntry("[Other]\nExec=x\n", "a"));
  EXPECT_FALSE(parseDesktopEntry("", "a"));
  EXPECT_FALSE(readDesktopEntry("/nonexistent/sayolt.desktop"));
}

TEST(DesktopEntryExec, PlacesDocumentAsOneArgument_ForEachFileCode) {
  const std::string doc = "/home/a/予定 1.pdf";
  for (const char* code : {"%f", "%F", "%u", "%U"}) {
    EXPECT_EQ(expand(std::string("viewer ") + code), (Args{"viewer", doc})) << code;
  }
}

TEST(DesktopEntryExec, AppendsDocument_WhenLineHasNoFileCode) {
  EXPECT_EQ(expand("viewer --open"), (Args{"viewer", "--open", "/home/a/予定 1.pdf"}));
}

TEST(DesktopEntryExec, PlacesDocumentOnce_WhenLineHasSeveralCodes) {
  EXPECT_EQ(expand("viewer %f %U", "/d"), (Args{"viewer", "/d"}));
}

TEST(DesktopEntryExec, HonoursQuotesAndTheirEscapes) {
  EXPECT_EQ(expand("\"/opt/My App/run\" --title \"a \\\"b\\\" \\$c \\\\d\" %f", "/d"),
            (Args{"/opt/My App/run", "--title", "a \"b\" $c \\d", "/d"}));
  EXPECT_EQ(expand("viewer \"\" %f", "/d"), (Args{"viewer", "", "/d"}));
}

TEST(DesktopEntryExec, BackslashInFileNeedsBothEscapeLevels) {
  // In the file a literal backslash inside quotes is written as four.
  const auto entry = parseDesktopEntry("[Desktop Entry]\nExec=run \"a\\\\\\\\b\" %f\n", "x");
  ASSERT_TRUE(entry);
  EXPECT_EQ(expandDesktopExec(*entry, "/d"), (Args{"run", "a\\b", "/d"}));
}

TEST(DesktopEntryExec, ExpandsOtherFieldCodes_AndDropsDeprecatedOnes) {
  EXPECT_EQ(expand("viewer %i --name=%c --from %k 100%% %d %m %f", "/d"),
            (Args{"viewer", "--icon", "viewer", "--name=ビューア", "--from", "/apps/viewer.desktop", "100%", "/d"}));
  DesktopEntry noIcon = entryWithExec("viewer %i %f");
  noIcon.icon.clear();
  EXPECT_EQ(expandDesktopExec(noIcon, "/d"), (Args{"viewer", "/d"}));
}

TEST(DesktopEntryExec, Nullopt_ForMalformedOrEmptyLine) {
  EXPECT_FALSE(expand("viewer \"unterminated %f"));
  EXPECT_FALSE(expand(""));
  EXPECT_FALSE(expand("   "));
  EXPECT_FALSE(expand("%d %f"));
}

TEST(DesktopEntryFind, SearchesFoldersInOrder_AndVendorSubfolders) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  namespace fs = std::filesystem;
  const std::string user = dir.filePath("user").toStdString();
  const std::string system = dir.filePath("system").toStdString();
  fs::create_directories(user);
  fs::create_directories(system + "/kde");
  std::ofstream(user + "/viewer.desktop") << "[Desktop Entry]\n";
  std::ofstream(system + "/viewer.desktop") << "[Desktop Entry]\n";
  std::ofstream(system + "/kde/okular.desktop") << "[Desktop Entry]\n";
  const std::vector<std::string> folders{user, system};
  EXPECT_EQ(findDesktopFile("viewer.desktop", folders), user + "/viewer.desktop");
  EXPECT_EQ(findDesktopFile("kde-okular.desktop", folders), system + "/kde/okular.desktop");
  EXPECT_EQ(findDesktopFile("missing.desktop", folders), "");
  EXPECT_EQ(findDesktopFile("../viewer.desktop", folders), "");
  EXPECT_EQ(findDesktopFile("", folders), "");
}

}  // namespace
}  // namespace sayolt
