// The front end's process-wide state: its result buffers, its two name lists and the
// template kind of the last standard decode. Created when the library is loaded and
// released when it is unloaded.
#pragma once

#include <cstdint>

#include "name_list.hpp"
#include "result_buffers.hpp"

namespace quillon {

struct FrontEndState {
  ResultBuffers buffers;
  NameList templates;
  NameList manufacturers;
  // 0 standard or 1 manufacturer's template; becomes the kind of the next array
  // converted from form text.
  int32_t savedKind = 0;
};

FrontEndState& state();

}  // namespace quillon
