// What lists and maps share: the order of their elements, computed in one pass, and the
// release of nested containers without recursion.
#pragma once

#include <map>
#include <vector>

#include "CKesmar.h"

namespace kesmar::detail {

// Both strict tests of two values at once: less is "a < b", greater is "b < a". Lists and
// maps are ordered lexicographically by their elements' operator<; asking both tests of a
// pair of nested containers in one walk keeps comparing two trees linear in their size
// (two separate walks per level would double the work at every level).
struct Precedence {
  bool less = false;
  bool greater = false;
};

// The tests of two values: nested lists and maps in one walk, any other values through
// operator<. Throws OutOfBoundsException for a container that holds itself or nests too deep.
Precedence ElementPrecedence(const CKesmar& a, const CKesmar& b);
Precedence ListPrecedence(const std::vector<CKesmar>& a, const std::vector<CKesmar>& b);
Precedence MapPrecedence(const std::map<CKesmar, CKesmar>& a, const std::map<CKesmar, CKesmar>& b);

// True for a value whose release may release further containers.
inline bool HoldsElements(const CKesmar& value) {
  const OTX::ValueType type = value.Type();
  return type == OTX::LIST || type == OTX::MAP;
}

// How far this thread's list and map destructors are nested, and the work list of the
// one that drains deeper releases (null while there is none). Initial-exec: a fixed offset
// from the thread pointer, no lookup per access.
struct ReleaseState {
  int depth = 0;
  std::vector<CKesmar>* pending = nullptr;
};
[[gnu::tls_model("initial-exec")]] inline thread_local ReleaseState t_release;

// Destructors of lists and maps nested up to this deep release their elements the ordinary,
// recursive way; deeper ones hand their child containers to a work list.
inline constexpr int kRecursiveRelease = 64;

// The release of a list's or map's elements, called from its destructor. Within
// kRecursiveRelease nested destructors, clear() releases the elements in place. The
// destructor first reached at that depth drains a work list instead, onto which every
// deeper destructor moves its child containers (takeChildren(pending)): a chain of
// containers a million levels deep is released in a loop, its stack bounded. Only the
// dying container's own handles move, so no other owner of a child can observe it; a
// child shared elsewhere merely loses one owner a little later.
template <class Clear, class TakeChildren>
void ReleaseChildren(Clear clear, TakeChildren takeChildren) noexcept {
  ReleaseState& state = t_release;
  if (state.depth < kRecursiveRelease) [[likely]] {
    ++state.depth;
    clear();
    --state.depth;
    return;
  }
  if (state.pending != nullptr) {
    takeChildren(*state.pending);
    return;
  }
  std::vector<CKesmar> pending;
  takeChildren(pending);
  state.pending = &pending;
  while (!pending.empty()) {
    // Released at the end of the body; its own children join pending meanwhile.
    const CKesmar next = std::move(pending.back());
    pending.pop_back();
  }
  state.pending = nullptr;
}

// Appends a container element to pending. Should the work list fail to grow, the element
// stays and is released where it is, recursively.
inline void Defer(CKesmar& element, std::vector<CKesmar>& pending) noexcept {
  try {
    pending.push_back(std::move(element));
  } catch (...) {
  }
}

}  // namespace kesmar::detail
