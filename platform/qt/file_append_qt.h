#pragma once
#include <memory>

#include "platform/file_append.h"

namespace sayolt {

// Plain files through Qt, the same on both OSes.
std::unique_ptr<FileAppend> createQtFileAppend();

}  // namespace sayolt
