#pragma once

namespace quorvel {

// The program's flat silver skin for standard controls: the frames of edit
// boxes, lists and buttons drawn in RGB 198, 197, 215, and drop-down lists
// that open as a plain list under the box. Applied once, unless the
// application already has a style sheet of its own.
void ApplyControlSkin();

}  // namespace quorvel
