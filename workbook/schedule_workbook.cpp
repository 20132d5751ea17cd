#include "workbook/schedule_workbook.h"

#include <fstream>
#include <system_error>

#include "platform/file_replace.h"
#include "workbook/compound_file.h"
#include "workbook/conflicts.h"
#include "workbook/timetable_sheets.h"
#include "workbook/workbook_error.h"
#include "workbook/workbook_layout.h"
#include "workbook/workbook_stream.h"

namespace sayolt::workbook {

namespace {

constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{256} << 20;

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

std::string unreadableMessage(const std::string& reason) {
  return std::string(kWorkbookFileName) + " を書き換えられません（" + reason +
         "）。ファイルはそのまま残してあります。名前を変えるか削除してから、もう一度作成してください。";
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
  std::string bytes;
  try {
    const auto existing = readExisting(file);
    bytes = buildWorkbookBytes(input, existing ? std::optional<std::string_view>(*existing) : std::nullopt);
  } catch (const WorkbookError& error) {
    throw WorkbookError(unreadableMessage(error.what()));
  } catch (const std::exception&) {
    // Whatever else a damaged file provokes (sizes beyond memory) ends the same way.
    throw WorkbookError(unreadableMessage(kDamaged));
  }
  try {
    replaceFileAtomically(file, bytes);
  } catch (const std::system_error& error) {
    throw WorkbookError(std::string(kWorkbookFileName) + " を保存できません（" + error.what() + "）");
  }
}

}  // namespace sayolt::workbook
