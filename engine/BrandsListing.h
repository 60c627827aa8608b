#pragma once

#include "Requests.h"

#include <string>

namespace pellorin::engine {

// What 'pellorin-cli brands' prints: every network of the table with its
// id, lengths, code length, print groups and prefixes, as a text table
// (Format::Text) or a JSON array (Format::Json).
std::string brandsListing(Format format);

} // namespace pellorin::engine
