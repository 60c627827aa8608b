#pragma once

class QStyle;

namespace pellorin {

// The style for the window's frames: the platform style, except that a
// frame is a plain line around the frame's own background, with the caption
// standing on the top line. (Fusion shades the inside of a group box, which
// would show the white option buttons as boxes on it, and puts the caption
// above the line, close to the controls below.) One shared instance, owned by
// the application.
QStyle* frameStyle();

} // namespace pellorin
