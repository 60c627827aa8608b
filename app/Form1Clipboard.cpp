#include "app/Form1.h"

namespace pellorin {

void Form1::PushButton2_Click()
{
}

} // namespace pellorin
