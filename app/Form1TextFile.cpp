#include "app/Form1.h"

namespace pellorin {

void Form1::PushButton4_Click()
{
}

} // namespace pellorin
