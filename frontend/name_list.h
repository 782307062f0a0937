// The (ID, name) lists handed to callers: doubly linked IDNameNode records whose first
// node is owned by the list itself, so a caller always has a node to start from.
#ifndef TEDSKIT_FRONTEND_NAME_LIST_H
#define TEDSKIT_FRONTEND_NAME_LIST_H

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "tedskit/records.h"

namespace quillon {

class NameList {
 public:
  NameList();
  NameList(const NameList&) = delete;
  NameList& operator=(const NameList&) = delete;

  // Frees every node after the first and empties the first (id -1, no name, no links).
  void clear();

  // Fills the first node if nothing has been added yet, otherwise links a new node
  // after the last. Names longer than a node holds are cut.
  IDNameNode& add(int32_t id, std::string_view name);

  // Links a new node after the last, leaving the first node as it is.
  IDNameNode& append(int32_t id, std::string_view name);

  IDNameNode* first() { return &first_; }

 private:
  IDNameNode first_{};
  std::vector<std::unique_ptr<IDNameNode>> rest_;
  bool firstUsed_ = false;
};

}  // namespace quillon

#endif  // TEDSKIT_FRONTEND_NAME_LIST_H
