#pragma once

#include <string_view>

namespace tallowmere {

// What lblPTY shows for a programme type code 0 to 31: the code, " - " and the name of
// the European RDS programme type, such as "10 - Pop Music".
std::string_view programmeTypeCaption(int ptyCode);
// The name alone: "Pop Music".
std::string_view programmeTypeName(int ptyCode);

}  // namespace tallowmere
