// Edits a built workbook as a user might before saving it in a spreadsheet program: a title of
// their own, a note beside the table, and a sheet of their own.
//   sayolt-edit-workbook IN.xls OUT.xls
#include <fstream>
#include <iostream>
#include <iterator>

#include "workbook/compound_file.h"
#include "workbook/workbook_layout.h"
#include "workbook/workbook_stream.h"

using namespace sayolt::workbook;

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: sayolt-edit-workbook IN.xls OUT.xls\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  CompoundFile file = readCompoundFile(bytes);
  WorkbookStream wb = readWorkbookStream(file.findStream(u"Workbook")->data);
  Sheet& plan = wb.sheets[static_cast<std::size_t>(wb.findWorksheet(kPlanSheet))];
  plan.cells[cellKey(0, 0)].text = wb.addString(u"営業所の予定");
  plan.cells[cellKey(4, 19)] = Cell(Cell::Kind::Text, 15, 0, wb.addString(u"メモ欄"));
  Sheet memo = wb.sheets[static_cast<std::size_t>(wb.findWorksheet(kDatesSheet))];
  memo.name = u"メモ";
  memo.cells.clear();
  memo.cells[cellKey(1, 1)] = Cell(Cell::Kind::Text, 15, 0, wb.addString(u"月末は点検"));
  wb.sheets.push_back(memo);
  wb.globals.insert(wb.globals.end() - 1, BiffRecord(rec::kBoundSheet, boundSheetBody(u"メモ")));
  file.findStream(u"Workbook")->data = writeWorkbookStream(wb);
  std::ofstream out(argv[2], std::ios::binary);
  const std::string written = writeCompoundFile(file);
  out.write(written.data(), static_cast<std::streamsize>(written.size()));
  return out ? 0 : 1;
}
