// A client module without gcClientID counts as absent, and once found it is never searched for
// again while the mount module stays loaded; a fresh load of the module searches afresh.
#include <filesystem>

#include "tests/mount_gc_fixture.h"

namespace {

TEST(MountGraphicsClient, FoundWithoutIdentityNeverSearchedAgain) {
  void* bare = mount_gc::load_stand_in("gc_d3d9_without_id");
  ASSERT_NE(bare, nullptr);

  // Keep the mount module loaded across the simulations below, so its probe state lives on.
  const std::string module_path = (sim::default_modules_dir() / "velk_pad.so").string();
  void* module = dlopen(module_path.c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(module, nullptr) << dlerror();

  {
    auto s = mount_gc::load_mount();
    EXPECT_FALSE(mount_gc::configured_for_client(*s));
    EXPECT_EQ(mount_gc::not_found_lines(*s), 0);  // a client module was found: nothing to log
  }

  // A client with identity appears under another name. The module already holds a client handle,
  // so a new mount does not look again and stays without a client.
  void* full = mount_gc::load_stand_in("gc_d3d11_with_id");
  ASSERT_NE(full, nullptr);
  {
    auto s = mount_gc::load_mount();
    EXPECT_FALSE(mount_gc::configured_for_client(*s));
    EXPECT_EQ(mount_gc::not_found_lines(*s), 0);
  }

  // Unloaded and loaded again (the host drops the module with its last simulation), the module
  // starts with an empty probe state and finds the client that identifies itself.
  dlclose(module);
  dlclose(bare);
  ASSERT_EQ(dlopen(module_path.c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr)
      << "the mount module is still loaded";
  ASSERT_EQ(dlopen("D3D9Client.dll", RTLD_NOW | RTLD_NOLOAD), nullptr);
  {
    auto s = mount_gc::load_mount();
    EXPECT_TRUE(mount_gc::configured_for_client(*s));
  }
}

}  // namespace
