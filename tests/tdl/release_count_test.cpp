// Destroying a template releases every object it holds, nested select cases included.
// The global deallocation functions of this binary watch the objects the test made; the
// sanitizers add that none is released twice.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <new>

#include "tedskit/orlin.hpp"

namespace {

std::array<const void*, 32> watched{};
int releasedWatched = 0;

void noteRelease(void* block) {
  for (const void*& slot : watched) {
    if (block != nullptr && slot == block) {
      slot = nullptr;
      ++releasedWatched;
    }
  }
}

template <typename T>
T* made() {
  T* object = new T;
  for (const void*& slot : watched) {
    if (slot == nullptr) {
      slot = object;
      return object;
    }
  }
  ADD_FAILURE() << "more objects than watch slots";
  return object;
}

TEST(Template, ReleasesNestedSelectCasesWithEverythingInThem) {
  auto* tmpl = made<CTDLTemplate>();
  tmpl->m_templateID = 25;
  tmpl->addDescription("T");
  auto* outer = made<CTDLSelectCase>();
  outer->setDescription("outer");
  int objects = 2;
  for (int i = 0; i < 3; ++i) {
    auto* c = made<CTDLCase>();
    c->addDescription("case");
    auto* p = made<CTDLProperty>();
    p->setDescription("\"p\"");
    c->addProperty(p);
    auto* nested = made<CTDLSelectCase>();
    auto* nestedCase = made<CTDLCase>();
    auto* q = made<CTDLProperty>();
    q->setDescription("\"q\"");
    nestedCase->addProperty(q);
    nested->addCase(nestedCase);
    c->addProperty(nested);
    outer->addCase(c);
    objects += 5;
  }
  tmpl->addProperty(outer);
  auto* enumeration = made<CTDLEnumeration>();
  enumeration->setDescription("E");
  tmpl->addEnumeration(enumeration);
  ++objects;

  delete tmpl;
  EXPECT_EQ(releasedWatched, objects);
  for (const void* slot : watched) EXPECT_EQ(slot, nullptr) << "an object the template held was kept";
}

}  // namespace

// Out of line: g++ sees through inlined replacements to malloc and free, and warns
// that they do not match new and delete.
[[gnu::noinline]] void* operator new(std::size_t size) {
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* block) noexcept {
  noteRelease(block);
  std::free(block);
}
void operator delete(void* block, std::size_t) noexcept { operator delete(block); }
