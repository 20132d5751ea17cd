// The Windows side of 作成 and 閲覧: the in-use probe (a rename of the file to its own name, and
// LibreOffice's lock file) and the opener.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>

#include "platform/office_lock_file.h"
#include "platform/workbook_viewer.h"
#include "tests/support/test_files.h"

namespace sayolt {
namespace {

TEST(Win32WorkbookViewer, InUseWhileAnotherProgramHoldsTheFileOpen) {
  test::TempFolder folder;
  const auto file = folder / "Sayolt予定表.xls";
  const auto viewer = createWorkbookViewer();
  EXPECT_FALSE(viewer->isInUse(file));  // no file yet
  test::writeBytes(file, "book");
  EXPECT_FALSE(viewer->isInUse(file));

  // A spreadsheet program opens its document without letting others rename it.
  const HANDLE held = CreateFileW(file.wstring().c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(viewer->isInUse(file));
  CloseHandle(held);
  EXPECT_FALSE(viewer->isInUse(file));
  EXPECT_EQ(test::readBytes(file), "book");
}

TEST(Win32WorkbookViewer, LibreOfficeLockFromAnotherHostCountsAStaleLocalOneIsCleared) {
  test::TempFolder folder;
  const auto file = folder / "Sayolt予定表.xls";
  test::writeBytes(file, "book");
  const auto viewer = createWorkbookViewer();
  const auto lock = officeLockPath(file);

  test::writeBytes(lock, "利用者,user,ANOTHER-PC,07.12.2026 10:00,file:///C:/profile;");
  EXPECT_TRUE(viewer->isInUse(file));
  EXPECT_TRUE(std::filesystem::exists(lock));

  // This computer, and no LibreOffice running here: a lock left behind by a crash.
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  ASSERT_TRUE(GetComputerNameW(name, &size));
  std::string host;
  for (DWORD i = 0; i < size; ++i) host.push_back(static_cast<char>(name[i]));
  test::writeBytes(lock, "利用者,user," + host + ",07.12.2026 10:00,file:///C:/profile;");
  EXPECT_FALSE(viewer->isInUse(file));
  EXPECT_FALSE(std::filesystem::exists(lock));
}

TEST(Win32WorkbookViewer, ShowWithoutAProgramForTheFileReportsIt) {
  test::TempFolder folder;
  // No program is registered for this kind of file, so nothing is started.
  const auto file = folder / "予定.sayolt-unregistered";
  test::writeBytes(file, "book");
  EXPECT_FALSE(createWorkbookViewer()->show(file));
  EXPECT_FALSE(createWorkbookViewer()->show(folder / "無い.sayolt-unregistered"));
}

}  // namespace
}  // namespace sayolt
