// Where behaviours live. Every value is one shared behaviour, so reading a JSON document or
// building a list allocates (and later frees) one small block per value: the allocator's
// speed is most of the cost of such work. With KESMAR_MIMALLOC (set by the build unless a
// sanitizer build asks for the standard allocator, under which address errors would
// otherwise hide), behaviours and their reference counts share one block from mimalloc;
// otherwise from std::make_shared. Either way the result is an ordinary std::shared_ptr.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <utility>

#ifdef KESMAR_MIMALLOC
#include <mimalloc.h>
#endif

namespace kesmar::detail {

#ifdef KESMAR_MIMALLOC

// A stateless allocator over mimalloc: any instance frees what any other allocated, on any
// thread.
template <class T>
struct BehaviourAllocator {
  using value_type = T;

  BehaviourAllocator() noexcept = default;
  template <class U>
  BehaviourAllocator(const BehaviourAllocator<U>&) noexcept {}

  T* allocate(std::size_t n) {
    if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
    void* block = mi_malloc_aligned(n * sizeof(T), alignof(T));
    if (block == nullptr) throw std::bad_alloc();
    return static_cast<T*>(block);
  }
  void deallocate(T* block, std::size_t) noexcept { mi_free(block); }

  template <class U>
  bool operator==(const BehaviourAllocator<U>&) const noexcept {
    return true;
  }
};

template <class T, class... Args>
std::shared_ptr<T> MakeBehaviour(Args&&... args) {
  return std::allocate_shared<T>(BehaviourAllocator<T>(), std::forward<Args>(args)...);
}

#else

template <class T, class... Args>
std::shared_ptr<T> MakeBehaviour(Args&&... args) {
  return std::make_shared<T>(std::forward<Args>(args)...);
}

#endif

}  // namespace kesmar::detail
