// The face of Output that every system shares; OutputFile.h is what each
// system does beneath it.

#include "OutputFile.h"

namespace pellorin {

Output::Output(std::string fileName)
    : m_file(File::open(std::move(fileName)))
{
}

Output::~Output() = default;

bool Output::write(std::string_view bytes)
{
    return m_file->write(bytes);
}

void Output::commit()
{
    m_file->commit();
}

} // namespace pellorin
