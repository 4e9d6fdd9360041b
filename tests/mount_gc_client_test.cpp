// The launch mount with a graphics client that identifies itself, loaded under the first name the
// probe looks for.
#include "tests/mount_gc_fixture.h"

namespace {

TEST(MountGraphicsClient, FirstClientNameWithIdentity) {
  ASSERT_EQ(dlopen("D3D9Client.dll", RTLD_NOW | RTLD_NOLOAD), nullptr);
  void* client = mount_gc::load_stand_in("gc_d3d9_with_id");
  ASSERT_NE(client, nullptr);

  auto s = mount_gc::load_mount();
  EXPECT_TRUE(mount_gc::configured_for_client(*s));
  EXPECT_EQ(mount_gc::not_found_lines(*s), 0);
}

}  // namespace
