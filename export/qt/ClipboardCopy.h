#pragma once

namespace pellorin {

class Clipboard;
class ResultsModel;
class RowSource;
class Yielder;

// Puts the ticked rows on the clipboard as padded table text. A list without
// rows leaves the clipboard alone; otherwise it is emptied and then given the
// whole text, which is built in full before the clipboard is touched, so a
// failure (overflow, rows gone, no memory) leaves the clipboard as it was.
void CopyListToClipboard(const RowSource& rows, Clipboard& clipboard, Yielder& yielder);

// The same for the results list, yielding to the event loop now and then.
void CopyListToClipboard(const ResultsModel& list, Clipboard& clipboard);

} // namespace pellorin
