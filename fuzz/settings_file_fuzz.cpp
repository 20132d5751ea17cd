// Any bytes as a settings file: reads and a rewrite must neither crash nor break the file's rules.
// Seeds in corpus/settings_file, names and syntax in settings_file.dict (see CMakeLists.txt).
#include <cstdint>
#include <string_view>

#include "shared/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto ini = sayolt::IniSnapshot::fromBytes(bytes);
  (void)ini.get("起動終了時刻", "0-0-0");
  (void)ini.getSection("祝日");
  try {
    sayolt::IniBatch batch;
    batch.set("次回起動", "時刻", "7:30").deleteKey("不在", "登録日1").setSection("祝日", {"登録日1=2027/1/1"});
    const std::string written = sayolt::applyToBytes(bytes, batch);
    const auto reread = sayolt::IniSnapshot::fromBytes(written);
    if (reread.get("次回起動", "時刻") != "7:30") __builtin_trap();
    // A whole-section write leaves exactly the given entries in the section that is read.
    const auto holidays = reread.getWholeSection("祝日");
    if (holidays.size() != 1 || holidays[0] != "登録日1=2027/1/1") __builtin_trap();
  } catch (const sayolt::IniError&) {
  }
  return 0;
}
