// The program's global allocation functions: memory that cannot be had ends the program with
// the fatal-error report naming the byte count, instead of an exception nobody catches.
// Linked into the program only, and left out under the sanitizers, which bring their own.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "app/fatal_error.h"

#if defined(__SANITIZE_ADDRESS__)
#define MIAOHUI_OWN_ALLOCATION 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MIAOHUI_OWN_ALLOCATION 0
#endif
#endif
#ifndef MIAOHUI_OWN_ALLOCATION
#define MIAOHUI_OWN_ALLOCATION 1
#endif

#if MIAOHUI_OWN_ALLOCATION

namespace {

std::atomic<bool> failing{false};

[[noreturn]] void out_of_memory(std::size_t size) {
  if (failing.exchange(true)) {
    // The report itself could not be had.
    std::fputs("out of memory\n", stderr);
    std::_Exit(255);
  }
  miaohui::fatal_error(miaohui::allocation_failure_message(size), 0);
}

void* allocate(std::size_t size) {
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) out_of_memory(size);
  return p;
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size == 0 ? 1 : size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size == 0 ? 1 : size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

#endif
