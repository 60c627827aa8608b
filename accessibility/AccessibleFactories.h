#pragma once

namespace pellorin {

// Gives the program's controls the interfaces assistive technology sees
// them through: the window of class `windowClassName` and the group boxes
// with their controls in screen order, the text boxes, the progress bar, the
// results list and the announcements. Call once at start-up, before the
// window is made.
void installAccessibleFactories(const char* windowClassName);

} // namespace pellorin
