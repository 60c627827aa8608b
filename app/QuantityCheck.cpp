#include "QuantityCheck.h"

#include "NumberText.h"

#include <cstdint>
#include <limits>

namespace pellorin {

QString quantityCheckMessage(const QString& text, char decimalSeparator)
{
    const Quantity quantity = readQuantity(text.toStdString(), decimalSeparator);
    if (quantity.kind != Quantity::Kind::Whole)
        return QStringLiteral("Must be numeric entry.");
    if (quantity.value <= 0)
        return QStringLiteral("Must be greater than 0.");
    if (quantity.value > std::numeric_limits<std::int32_t>::max())
        return QStringLiteral("Must be 2147483647 or less.");
    return {};
}

} // namespace pellorin
