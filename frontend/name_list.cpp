#include "name_list.h"

#include "base/fixed_field.h"

namespace quillon {

namespace {

void setNode(IDNameNode& node, int32_t id, std::string_view name) {
  node.id = id;
  tedskit::base::copyToField(node.name, name);
}

}  // namespace

NameList::NameList() { clear(); }

void NameList::clear() {
  rest_.clear();
  first_ = IDNameNode{};
  first_.id = -1;
  firstUsed_ = false;
}

IDNameNode& NameList::add(int32_t id, std::string_view name) {
  if (!firstUsed_) {
    firstUsed_ = true;
    setNode(first_, id, name);
    return first_;
  }
  return append(id, name);
}

IDNameNode& NameList::append(int32_t id, std::string_view name) {
  auto node = std::make_unique<IDNameNode>();
  setNode(*node, id, name);
  IDNameNode* last = rest_.empty() ? &first_ : rest_.back().get();
  rest_.push_back(std::move(node));
  IDNameNode& added = *rest_.back();
  added.prev = last;
  last->next = &added;
  return added;
}

}  // namespace quillon
