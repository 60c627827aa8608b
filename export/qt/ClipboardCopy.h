#pragma once

namespace pellorin {

class Clipboard;
class ResultsModel;
class RowSource;
class Yielder;

// Puts the ticked rows on the clipboard as padded table text. A list without
// rows leaves the clipboard alone. Otherwise this program's own earlier copy
// is dropped first, so that a copy after a copy needs no more memory than the
// first; the whole text is then built before the clipboard is given it. A
// failure (overflow, rows gone, no memory) therefore leaves the clipboard
// empty when it held our earlier copy, and another program's text as it was.
void CopyListToClipboard(const RowSource& rows, Clipboard& clipboard, Yielder& yielder);

// The same for the results list, yielding to the event loop now and then.
void CopyListToClipboard(const ResultsModel& list, Clipboard& clipboard);

} // namespace pellorin
