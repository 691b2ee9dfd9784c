#include "scene/parts_info.h"

namespace v2d {

PartsInfo::PartsInfo(std::string text)
    : product_(Product::Parse(text)), pattern_(ReadPatternSettings(text)), laidSize_(ReadLaidSize(text)),
      lightMode_(ReadLightMode(text)) {}

}  // namespace v2d
