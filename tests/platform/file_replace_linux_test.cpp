// The settings file's write path where its folder may not be written: the file rewritten in
// place, and a symbolic link kept. Root writes anywhere, so the writes run in a child process
// that has given up its capabilities, as a user's program would be.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/file_replace.h"
#include "shared/ini_file.h"
#include "tests/platform/plain_user.h"
#include "tests/support/test_files.h"

namespace sayolt {
namespace {

namespace fs = std::filesystem;
using test::asPlainUser;

std::vector<std::string> namesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  return names;
}

TEST(SettingsWrite, ReadOnlyFolderWritableFile_RewrittenInPlace) {
  test::TempFolder folder;
  const fs::path file = folder.path() / "Sayolt設定.ini";
  IniFile(file).set("次回起動", "時刻", "7:30");
  fs::permissions(folder.path(), fs::perms::owner_read | fs::perms::owner_exec);

  const int code = asPlainUser([&] {
    IniFile ini(file);
    ini.set("次回起動", "時刻", "8:00");
    return ini.lastWriteInPlace() ? 0 : 1;
  });
  fs::permissions(folder.path(), fs::perms::owner_all);

  EXPECT_EQ(code, 0);
  EXPECT_EQ(IniSnapshot::load(file).get("次回起動", "時刻"), "8:00");
  EXPECT_EQ(IniSnapshot::load(file).getSection("次回起動").size(), 1u);
  EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"Sayolt設定.ini"});  // no temporary file left
}

TEST(SettingsWrite, NeitherFolderNorFileWritable_ErrorAndFileUntouched) {
  test::TempFolder folder;
  const fs::path file = folder.path() / "Sayolt設定.ini";
  IniFile(file).set("次回起動", "時刻", "7:30");
  fs::permissions(file, fs::perms::owner_read);
  fs::permissions(folder.path(), fs::perms::owner_read | fs::perms::owner_exec);

  const int code = asPlainUser([&] {
    try {
      IniFile(file).set("次回起動", "時刻", "8:00");
    } catch (const IniError&) {
      return 0;
    }
    return 1;
  });
  fs::permissions(folder.path(), fs::perms::owner_all);

  EXPECT_EQ(code, 0);
  EXPECT_EQ(IniSnapshot::load(file).get("次回起動", "時刻"), "7:30");
}

// A read-only file in a writable folder is refused, as the Windows profile functions refuse it,
// though a rename over it would work; root is refused too.
TEST(SettingsWrite, ReadOnlyFileInWritableFolder_RefusedAndUntouched) {
  test::TempFolder folder;
  const fs::path file = folder.path() / "Sayolt設定.ini";
  IniFile(file).set("次回起動", "時刻", "7:30");
  const std::string before = test::readBytes(file);
  fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

  EXPECT_THROW(IniFile(file).set("次回起動", "時刻", "8:00"), IniError);
  EXPECT_THROW(IniFile(file).deleteSection("次回起動"), IniError);
  const int code = asPlainUser([&] {
    try {
      IniFile(file).setSection("不在", {"登録日1=2027/5/4"});
    } catch (const IniError&) {
      return 0;
    }
    return 1;
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(test::readBytes(file), before);
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"Sayolt設定.ini"});
  // A write that changes nothing is no write, and needs no permission.
  EXPECT_NO_THROW(IniFile(file).set("次回起動", "時刻", "7:30"));
}

TEST(SettingsWrite, SymbolicLinkKept_TheFileItPointsToReplaced) {
  test::TempFolder folder;
  fs::create_directory(folder.path() / "shared");
  const fs::path real = folder.path() / "shared" / "Sayolt設定.ini";
  const fs::path link = folder.path() / "Sayolt設定.ini";
  IniFile(real).set("次回起動", "時刻", "7:30");
  fs::create_symlink(fs::path("shared") / "Sayolt設定.ini", link);

  IniFile ini(link);
  ini.set("次回起動", "時刻", "8:00");

  EXPECT_FALSE(ini.lastWriteInPlace());
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(IniSnapshot::load(real).get("次回起動", "時刻"), "8:00");
  EXPECT_EQ(namesIn(folder.path() / "shared"), std::vector<std::string>{"Sayolt設定.ini"});
}

}  // namespace
}  // namespace sayolt
