#pragma once
// The editor's Japanese sentences for what went wrong with the settings file.
#include <string>

#include "shared/ini_file.h"

namespace sayolt::editor {

// The first character of a UTF-8 text that code page 932 cannot hold; "" when there is none.
std::string firstCharacterWithoutCodePage932Form(const std::string& text);

// What to tell about a failed read or write. `field` names the control whose text could not be
// stored ("プログラム名 3"); when it is empty the sentence names only the text.
std::string settingsErrorMessage(const IniError& error, const std::string& field = {});

}  // namespace sayolt::editor
