// The launch mount with only the third known client loaded: the probe finds it on its last try.
#include "tests/mount_gc_fixture.h"

namespace {

TEST(MountGraphicsClient, ThirdClientNameWithIdentity) {
  void* client = mount_gc::load_stand_in("gc_d3d11_with_id");
  ASSERT_NE(client, nullptr);
  ASSERT_EQ(dlopen("D3D9Client.dll", RTLD_NOW | RTLD_NOLOAD), nullptr);
  ASSERT_EQ(dlopen("D3D9ClientDebug.dll", RTLD_NOW | RTLD_NOLOAD), nullptr);

  auto s = mount_gc::load_mount();
  EXPECT_TRUE(mount_gc::configured_for_client(*s));
  EXPECT_EQ(mount_gc::not_found_lines(*s), 0);
}

}  // namespace
