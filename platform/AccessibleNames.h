#pragma once

#include <QString>

#include "display/Fields.h"

namespace tallowmere {

// What a screen reader says for a field: a caption its own words, an indicator what it
// indicates, a value what it holds.
QString accessibleNameOf(Field f);

}  // namespace tallowmere
