#pragma once

#include "platform/SkinEngine.h"

namespace pellorin {

// Our skin engine: a skin file is a Qt style sheet in UTF-8.
class StyleSheetSkinEngine final : public SkinEngine {
};

} // namespace pellorin
