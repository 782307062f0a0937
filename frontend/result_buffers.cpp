#include "result_buffers.h"

#include <utility>

namespace quillon {

char* ResultBuffers::allocate(std::size_t size) {
  auto buffer = std::make_unique<char[]>(size);
  const std::size_t slot = used_ < entries_.size() ? used_++ : entries_.size() - 1;
  entries_[slot] = std::move(buffer);
  return entries_[slot].get();
}

}  // namespace quillon
