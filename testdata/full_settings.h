#pragma once
// A settings file with every key the editor knows set, as UTF-8 text: the largest file the
// editor meets. Used by the tests, the benchmark and the screenshots.
#include <string>

namespace sayolt::test {

std::string fullSettingsText();

}  // namespace sayolt::test
