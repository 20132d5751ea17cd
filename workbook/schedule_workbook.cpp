#include "workbook/schedule_workbook.h"

#include <fstream>
#include <system_error>

#include "platform/file_replace.h"
#include "shared/utf8_path.h"
#include "workbook/compound_file.h"
#include "workbook/conflicts.h"
#include "workbook/timetable_sheets.h"
#include "workbook/workbook_error.h"
#include "workbook/workbook_layout.h"
#include "workbook/workbook_stream.h"

namespace sayolt::workbook {

namespace {

constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{256} << 20;
constexpr int kViewRow = 2;  // 閲覧 shows the sheet from its headings on

std::optional<std::string> readExisting(const std::filesystem::path& file) {
  std::error_code error;
  const auto status = std::filesystem::status(file, error);
  if (status.type() == std::filesystem::file_type::not_found) return std::nullopt;
  if (error || !std::filesystem::is_regular_file(status)) throw WorkbookError("ファイルとして読めません");
  const auto size = std::filesystem::file_size(file, error);
  if (error) throw WorkbookError("ファイルを読めません");
  if (size > kMaxFileBytes) throw WorkbookError("ファイルが大きすぎます");
  std::ifstream in(file, std::ios::binary);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (!in || !in.read(bytes.data(), static_cast<std::streamsize>(size))) throw WorkbookError("ファイルを読めません");
  return bytes;
}

std::string fileName(const std::filesystem::path& file) { return utf8FromPath(file.filename()); }

std::string unreadableMessage(const std::filesystem::path& file, const std::string& reason) {
  return fileName(file) + " を書き換えられません（" + reason +
         "）。ファイルはそのまま残してあります。名前を変えるか削除してから、もう一度作成してください。";
}

// Replacing by rename would go past a file that nobody may write to; the Windows build refuses
// such a file anyway, so both refuse it before anything is read.
void refuseReadOnly(const std::filesystem::path& file) {
  std::error_code error;
  const auto status = std::filesystem::status(file, error);
  if (error || status.type() != std::filesystem::file_type::regular) return;
  using std::filesystem::perms;
  if ((status.permissions() & (perms::owner_write | perms::group_write | perms::others_write)) == perms::none)
    throw WorkbookError(fileName(file) +
                        " は読み取り専用です。読み取り専用を解除してから再度作成ボタンを押してください");
}

// The system's own words are English; say what the user can check. The old file is always kept.
std::string saveFailureMessage(const std::filesystem::path& file, const std::system_error& error) {
  if (error.code() == std::errc::no_space_on_device || error.code() == std::errc::file_too_large)
    return fileName(file) + " を保存できません。ディスクの空きが足りません。空きを作ってから、もう一度作成してください";
  return fileName(file) + " を保存できません。保存先のフォルダーがあり、書き込めるかを確かめてください";
}

}  // namespace

std::string buildWorkbookBytes(const TimetableInput& input, std::optional<std::string_view> existing) {
  CompoundFile container;
  WorkbookStream workbook;
  if (existing) {
    container = readCompoundFile(*existing);
    const CompoundEntry* stream = container.findStream(u"Workbook");
    if (!stream) throw WorkbookError(kDamaged);
    workbook = readWorkbookStream(stream->data);
  } else {
    container.root.children.push_back(named(u"Workbook", false));
    workbook = emptyScheduleWorkbook();
  }
  const Timetable table = buildTimetable(input);
  writeTimetableSheets(workbook, table, findConflicts(table), input.holidayDates, input.absenceDates);
  container.findStream(u"Workbook")->data = writeWorkbookStream(workbook);
  return writeCompoundFile(container);
}

void writeScheduleWorkbook(const std::filesystem::path& file, const TimetableInput& input) {
  refuseReadOnly(file);
  std::string bytes;
  try {
    const auto existing = readExisting(file);
    bytes = buildWorkbookBytes(input, existing ? std::optional<std::string_view>(*existing) : std::nullopt);
  } catch (const WorkbookError& error) {
    throw WorkbookError(unreadableMessage(file, error.what()));
  } catch (const std::exception&) {
    // Whatever else a damaged file provokes (sizes beyond memory) ends the same way.
    throw WorkbookError(unreadableMessage(file, kDamaged));
  }
  try {
    replaceFileAtomically(file, bytes);
  } catch (const std::system_error& error) {
    throw WorkbookError(saveFailureMessage(file, error));
  }
}

void showPlanSheetAtA2(const std::filesystem::path& file) {
  refuseReadOnly(file);
  const auto existing = readExisting(file);
  if (!existing) return;
  CompoundFile container = readCompoundFile(*existing);
  CompoundEntry* stream = container.findStream(u"Workbook");
  if (!stream) throw WorkbookError(kDamaged);
  WorkbookStream workbook = readWorkbookStream(stream->data);
  showPlanSheet(workbook, kViewRow);
  stream->data = writeWorkbookStream(workbook);
  std::string bytes = writeCompoundFile(container);
  if (bytes == *existing) return;
  try {
    replaceFileAtomically(file, bytes);
  } catch (const std::system_error& error) {
    throw WorkbookError(saveFailureMessage(file, error));
  }
}

}  // namespace sayolt::workbook
