#pragma once

namespace trekora {

// Shows the geometry and file library's notices as the program's boxes:
// messages as message boxes (with an error icon for failures), questions as
// input boxes whose answer goes back to the routine that asked.
void installShapeNotices();

} // namespace trekora
