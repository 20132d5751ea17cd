// Any bytes as an existing "Sayolt予定表.xls": the rebuild refuses them or gives a workbook it
// can read again, never a crash.
#include <cstdint>
#include <string_view>

#include "workbook/compound_file.h"
#include "workbook/schedule_workbook.h"
#include "workbook/workbook_error.h"
#include "workbook/workbook_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace sayolt::workbook;
  TimetableInput input;
  input.startTimes[0][0] = "8:00";
  input.runs[0][0] = {"9:00", 0};
  input.programNames[0] = "集計";
  input.holidayDates = {"2030/1/1"};
  std::string rebuilt;
  try {
    rebuilt = buildWorkbookBytes(input, std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const WorkbookError&) {
    return 0;
  }
  const CompoundFile file = readCompoundFile(rebuilt);
  (void)readWorkbookStream(file.findStream(u"Workbook")->data);
  return 0;
}
