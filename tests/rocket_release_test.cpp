// The rocket releases its sixteen animation components exactly once when the host destroys it.
//
// This program replaces the global allocation functions so that it can count which blocks are
// freed; the module library, loaded into the same process, allocates through them as well.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <new>

#include "tarvon_kx7/tarvon_kx7.h"
#include "tests/support/sim_fixture.h"

namespace {

bool g_recording = false;
// Fixed-size record, so that recording itself never allocates.
constexpr int kMaxFrees = 4096;
void* g_freed[kMaxFrees];
int g_freed_count = 0;

void note_free(void* p) {
  if (g_recording && p != nullptr && g_freed_count < kMaxFrees) g_freed[g_freed_count++] = p;
}

void* allocate(std::size_t n) {
  if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t n) { return allocate(n); }
void* operator new[](std::size_t n) { return allocate(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return std::malloc(n == 0 ? 1 : n); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return std::malloc(n == 0 ? 1 : n); }
void operator delete(void* p) noexcept {
  note_free(p);
  std::free(p);
}
void operator delete[](void* p) noexcept {
  note_free(p);
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  note_free(p);
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  note_free(p);
  std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
  note_free(p);
  std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
  note_free(p);
  std::free(p);
}

namespace {

TEST(RocketRelease, DestructionFreesEachAnimationComponentOnce) {
  auto s = test_support::load(test_support::scenario(
      "KX7:tarvon_kx7\n  STATUS Landed Earth\n  POS -80.675 28.52\n  HEADING 0\nEND\n"));
  sim::HostVessel* v = s->vessel("KX7");
  ASSERT_NE(v, nullptr);
  ASSERT_EQ(v->anim_components.size(), 16u);
  void* const rocket = static_cast<tarvon_kx7*>(v->iface);  // the object, not its VESSEL part
  void* components[16];
  for (int i = 0; i < 16; ++i) components[i] = v->anim_components[i]->trans;

  // Destroy the rocket as the host does, then tell the host it is gone.
  g_freed_count = 0;
  g_recording = true;
  v->module->ovcExit(v->iface);
  g_recording = false;
  v->iface = nullptr;

  std::map<void*, int> times;
  for (int i = 0; i < g_freed_count; ++i) ++times[g_freed[i]];
  for (int i = 0; i < 16; ++i) EXPECT_EQ(times[components[i]], 1) << i;
  // Besides its components the rocket frees only itself: host handles stay with the host.
  EXPECT_EQ(times[rocket], 1);
  EXPECT_EQ(g_freed_count, 17);
}

}  // namespace
