// Saving the settings file on Windows while another program holds it open, as the scheduler's
// reader may at that moment, and what a refused save leaves behind.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <thread>

#include "platform/windows/win_text.h"
#include "shared/ini_file.h"
#include "tests/support/test_files.h"

namespace sayolt {
namespace {

std::size_t filesIn(const std::filesystem::path& folder) {
  std::size_t n = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

constexpr const char* kOld = "[s]\r\nk=old\r\n";
constexpr const char* kNew = "[s]\r\nk=new\r\n";

// The C and C++ runtimes open files without FILE_SHARE_DELETE, which is how our own engine reads,
// and Windows will not rename over such a file while it is open.
TEST(Win32FileReplace, SaveWaitsForAReaderThatLetsGoSoon) {
  test::TempFolder folder;
  const auto path = folder / "Sayolt設定.ini";
  test::writeBytes(path, kOld);
  auto reader = std::make_unique<std::ifstream>(path, std::ios::binary);
  ASSERT_TRUE(reader->is_open());
  std::thread closer([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    reader.reset();
  });

  IniFile(path).set("s", "k", "new");
  closer.join();
  EXPECT_EQ(test::readBytes(path), kNew);
  EXPECT_EQ(filesIn(folder.path()), 1u) << "no temporary file may be left behind";
}

TEST(Win32FileReplace, FileHeldByAnotherProgramFailsCleanlyWithAReadableMessage) {
  test::TempFolder folder;
  const auto path = folder / "Sayolt設定.ini";
  test::writeBytes(path, kOld);
  HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);

  std::string message;
  try {
    IniFile(path).set("s", "k", "new");
  } catch (const IniError& e) {
    message = e.what();
  }
  CloseHandle(held);
  ASSERT_FALSE(message.empty()) << "the save must fail while the file is locked";
  // UTF-8 throughout, the system's reason included, so that it shows as written.
  EXPECT_FALSE(widen(message).empty()) << message;
  EXPECT_NE(message.find("Sayolt設定.ini"), std::string::npos) << message;
  EXPECT_EQ(test::readBytes(path), kOld);
  EXPECT_EQ(filesIn(folder.path()), 1u) << "no temporary file may be left behind";
}

TEST(Win32FileReplace, ReadOnlyFileIsNotOverwritten) {
  test::TempFolder folder;
  const auto path = folder / "Sayolt設定.ini";
  test::writeBytes(path, kOld);
  ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));

  EXPECT_THROW(IniFile(path).set("s", "k", "new"), IniError);
  EXPECT_TRUE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY);
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(test::readBytes(path), kOld);
  EXPECT_EQ(filesIn(folder.path()), 1u);
}

}  // namespace
}  // namespace sayolt
