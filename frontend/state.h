// The front end's process-wide state: its result buffers, its two name lists and the
// template kind of the last standard decode. Created when the library is loaded and
// released when it is unloaded.
#ifndef TEDSKIT_FRONTEND_STATE_H
#define TEDSKIT_FRONTEND_STATE_H

#include <cstdint>

#include "name_list.h"
#include "result_buffers.h"

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

#endif  // TEDSKIT_FRONTEND_STATE_H
