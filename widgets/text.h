#pragma once
#include <QString>
#include <string>

namespace sayolt::widgets {

// The layers below hold text as UTF-8 in std::string.
inline QString q(const std::string& utf8) { return QString::fromStdString(utf8); }

}  // namespace sayolt::widgets
