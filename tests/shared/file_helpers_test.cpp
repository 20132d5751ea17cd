// UTF-8 paths and temporary folders: Japanese names survive the round trip, folders stay apart and
// leave nothing behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "shared/temp_folder.h"
#include "shared/utf8_path.h"

namespace sayolt {
namespace {

TEST(Utf8Path, JapaneseName_SameTextBackFromTheFileSystem) {
  TempFolder folder;
  const std::string name = "Sayolt設定①.ini";
  std::ofstream(pathFromUtf8(utf8FromPath(folder.path()) + "/" + name)) << "x";

  std::optional<std::string> listed;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
    listed = utf8FromPath(entry.path().filename());
  ASSERT_TRUE(listed.has_value());
  EXPECT_EQ(*listed, name);
  EXPECT_TRUE(std::filesystem::exists(folder / name));
}

TEST(TempFolder, TwoFolders_ApartAndRemovedWithTheirFiles) {
  std::filesystem::path first, second;
  {
    TempFolder a("sayolt-helper-");
    TempFolder b("sayolt-helper-");
    first = a.path();
    second = b.path();
    EXPECT_NE(first, second);
    EXPECT_TRUE(std::filesystem::is_directory(first));
    std::filesystem::create_directories(a / "下/段");
    std::ofstream(a / "下/段/ファイル.txt") << "data";
  }
  EXPECT_FALSE(std::filesystem::exists(first));
  EXPECT_FALSE(std::filesystem::exists(second));
}

}  // namespace
}  // namespace sayolt
