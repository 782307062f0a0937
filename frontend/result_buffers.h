// The buffers the front end hands out: recorded in a fixed table, freed at unload.
#ifndef TEDSKIT_FRONTEND_RESULT_BUFFERS_H
#define TEDSKIT_FRONTEND_RESULT_BUFFERS_H

#include <array>
#include <cstddef>
#include <memory>

#include "tedskit/quillon.h"

namespace quillon {

class ResultBuffers {
 public:
  // A new zeroed buffer of `size` bytes. Once the table is full the buffer in its last
  // entry is freed and the entry reused, so the newest buffer is the one sacrificed
  // and every earlier one stays valid.
  char* allocate(std::size_t size);

 private:
  std::array<std::unique_ptr<char[]>, QUILLON_RESULT_BUFFERS> entries_;
  std::size_t used_ = 0;
};

}  // namespace quillon

#endif  // TEDSKIT_FRONTEND_RESULT_BUFFERS_H
