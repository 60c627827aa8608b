#pragma once

#include <QString>

namespace pellorin {

// The focus check of the quantity box: the message for `text`, or an empty
// text when it passes. Reads the text through the same conversion as the
// generation run, rounding a fraction half to even:
//   not a number                  -> "Must be numeric entry."
//   0 or less                     -> "Must be greater than 0."
//   more than 2,147,483,647       -> "Must be 2147483647 or less."
// A count from 1 to 2,147,483,647 passes, beyond 16 bits as well, since the
// generation run accepts it.
QString quantityCheckMessage(const QString& text, char decimalSeparator);

} // namespace pellorin
