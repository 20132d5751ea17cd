#include <algorithm>
#include <ostream>
#include <string_view>

#include "tools/plan/commands.h"

#ifndef SAYOLT_VERSION
#error "SAYOLT_VERSION comes from the project's version in CMake"
#endif

namespace sayolt::plan {

namespace {

struct CommandHelp {
  std::string_view name;
  std::string_view usage;
  std::string_view summary;
  std::string_view example;
};

constexpr CommandHelp kCommands[] = {
    {"check", "check FILE", "設定ファイルをスケジューラーと同じ手順で読み、OK か、読めない最初の箇所を表示します",
     "sayolt-plan check Sayolt設定.ini"},
    {"check", "check FILE --conflicts [--json]",
     "予定表で赤く示される矛盾 (電源が入っている間の起動など) を一覧にします",
     "sayolt-plan check Sayolt設定.ini --conflicts"},
    {"workbook", "workbook FILE OUT.xls",
     "設定ファイルから予定表のブックを作ります (設定プログラムの「作成」と同じもの)",
     "sayolt-plan workbook Sayolt設定.ini Sayolt予定表.xls"},
    {"show", "show FILE --at \"YYYY-MM-DD HH:MM:SS\" [--json]",
     "その時刻に読み込んだときの判断 (曜日の区分、本日の終了時刻、次回起動時刻、予定) を表示します",
     "sayolt-plan show Sayolt設定.ini --at \"2027-01-04 07:59:00\""},
    {"simulate", "simulate FILE --from \"YYYY-MM-DD HH:MM:SS\" --days N [--json]",
     "スケジューラーを仮想の時間で N 日間動かし、起こることを表示します (時計も設定ファイルも変えません)",
     "sayolt-plan simulate Sayolt設定.ini --from \"2027-01-04 07:59:00\" --days 7"},
    {"timecheck", "timecheck FILE [--json]",
     "設定ファイルのタイムサーバーに実際に問い合わせ、自動起動か手動起動かの判定を表示します (時計は変えません)",
     "sayolt-plan timecheck Sayolt設定.ini"},
    {"ini", "ini get|set|delete-key|delete-section|get-section|set-section FILE ...",
     "設定ファイルのキーやセクションを Windows と同じ規則で読み書きします (ファイルはコードページ 932 のまま)",
     "sayolt-plan ini get Sayolt設定.ini 次回起動 時刻"},
};

void printCommand(std::ostream& out, const CommandHelp& command) {
  out << "  sayolt-plan " << command.usage << "\n"
      << "      " << command.summary << "\n"
      << "      例: " << command.example << "\n";
}

void printHelp(std::ostream& out) {
  out << "sayolt-plan: Sayolt の設定ファイル「Sayolt設定.ini」を調べ、スケジューラーの動きを確かめます。\n\n"
         "コマンド:\n";
  for (const auto& command : kCommands) printCommand(out, command);
  out << "\n"
         "  sayolt-plan COMMAND --help  コマンドの説明\n"
         "  sayolt-plan --version       版\n\n"
         "終了コード: 0 成功、1 失敗 (理由を表示)、2 引数の誤り\n";
}

void printUsage(std::ostream& err) {
  err << "使い方:\n";
  for (const auto& command : kCommands) err << "  sayolt-plan " << command.usage << "\n";
  err << "  sayolt-plan --help\n";
}

bool isHelp(std::string_view arg) { return arg == "--help" || arg == "-h"; }

// "COMMAND --help"; within ini only right after it, since a value there may read "--help".
bool asksForHelp(const std::string& command, const Args& rest) {
  if (rest.empty()) return false;
  if (command == "ini") return isHelp(rest[0]);
  return std::any_of(rest.begin(), rest.end(), [](const std::string& arg) { return isHelp(arg); });
}

}  // namespace

int runPlan(const Args& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    printUsage(err);
    return 2;
  }
  const std::string& command = args[0];
  const Args rest(args.begin() + 1, args.end());
  if (args.size() == 1 && (isHelp(command) || command == "help")) {
    printHelp(out);
    return 0;
  }
  if (args.size() == 1 && command == "--version") {
    out << "sayolt-plan " << SAYOLT_VERSION << "\n";
    return 0;
  }
  const bool known =
      std::any_of(std::begin(kCommands), std::end(kCommands), [&](const CommandHelp& c) { return c.name == command; });
  if (known && asksForHelp(command, rest)) {
    for (const auto& c : kCommands)
      if (c.name == command) printCommand(out, c);
    return 0;
  }
  if (command == "ini") return iniCommand(rest, out, err);
  if (command == "check") return checkCommand(rest, out, err);
  if (command == "show") return showCommand(rest, out, err);
  if (command == "timecheck") return timecheckCommand(rest, out, err);
  if (command == "simulate") return simulateCommand(rest, out, err);
  if (command == "workbook") return workbookCommand(rest, out, err);
  err << "不明なコマンドです: " << command << "\n";
  printUsage(err);
  return 2;
}

}  // namespace sayolt::plan
