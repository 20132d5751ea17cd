#pragma once
// The editor's pages place their controls in twips, as the scheduler's windows do.
#include "widgets/twips.h"

namespace sayolt::editor::ui {

using widgets::twips;
using widgets::twipsRect;

}  // namespace sayolt::editor::ui
