#include "common/globals.h"

namespace nl {

std::string WindowsVersionName;
std::int32_t WheelScrollLines = 0;

}  // namespace nl
