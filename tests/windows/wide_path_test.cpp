// Settings and log files under Japanese folder and file names, through the wide Win32 calls: the
// names on disk must be exactly the ones asked for, not their code page 932 or "?" forms.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "scheduler/timecheck/error_log.h"
#include "shared/ini_file.h"
#include "shared/utf8_path.h"
#include "tests/support/test_files.h"

namespace sayolt {
namespace {

// The name as the folder listing has it.
std::wstring nameOnDisk(const std::filesystem::path& path) {
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(path.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return L"";
  FindClose(search);
  return found.cFileName;
}

TEST(Win32WidePaths, SettingsFileUnderAJapaneseFolderAndName) {
  test::TempFolder root;
  const auto folder = root / "予定 ① ソフト";
  std::filesystem::create_directories(folder);
  // A plain char string would go through the ANSI code page on Windows.
  const auto path = folder / pathFromUtf8("Sayolt設定.ini");

  IniFile file(path);
  file.set("時刻指定プログラム", "名前0", "表示ソース");
  file.set("時刻指定プログラム", "パス0", "C:\\ツール\\表.exe");

  EXPECT_EQ(nameOnDisk(path), L"Sayolt\u8A2D\u5B9A.ini");
  EXPECT_EQ(IniFile(path).get("時刻指定プログラム", "名前0"), "表示ソース");
  EXPECT_EQ(IniSnapshot::load(path).get("時刻指定プログラム", "パス0"), "C:\\ツール\\表.exe");
  // Stored in code page 932.
  EXPECT_EQ(test::readBytes(path).substr(0, 3), "[\x8E\x9E");
  // Nothing else in the folder: the temporary file went.
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++files;
  EXPECT_EQ(files, 1u);
}

TEST(Win32WidePaths, NameWithoutACodePage932FormWorksToo) {
  test::TempFolder root;
  const auto path = root / "설정 é.ini";  // Hangul and an accent: no code page 932 form
  IniFile(path).set("s", "k", "v");
  EXPECT_EQ(nameOnDisk(path), L"\uC124\uC815 \u00E9.ini");
  EXPECT_EQ(IniFile(path).get("s", "k"), "v");
}

TEST(Win32WidePaths, ErrorLogUnderAJapaneseFolder) {
  test::TempFolder root;
  const auto folder = root / "ログ 置き場";
  std::filesystem::create_directories(folder);
  const auto log = folder / kErrorLogFileName;
  ASSERT_TRUE(appendErrorLogLine(log, "2027/01/04 8:00:00時刻サーバー応答なし"));
  ASSERT_TRUE(appendErrorLogLine(log, "2番目"));
  EXPECT_EQ(test::readBytes(log),
            "2027/01/04 8:00:00\x8E\x9E\x8D\x8F\x83\x54\x81\x5B\x83\x6F\x81\x5B\x89\x9E\x93\x9A\x82\xC8\x82\xB5\r\n"
            "2\x94\xD4\x96\xDA\r\n");
}

TEST(Win32WidePaths, MissingFolderIsAClearErrorAndCreatesNothing) {
  test::TempFolder root;
  const auto path = root / "ない フォルダ\\Sayolt設定.ini";
  EXPECT_THROW(IniFile(path).set("s", "k", "v"), IniError);
  EXPECT_FALSE(std::filesystem::exists(path.parent_path()));
  EXPECT_EQ(IniFile(path).get("s", "k"), "");
}

}  // namespace
}  // namespace sayolt
