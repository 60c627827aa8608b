#include "app/Form1.h"

namespace pellorin {

void Form1::PushButton13_Click()
{
}

} // namespace pellorin
