#include "velk_pad/first_word.h"
#include "velk_pad/velk_pad.h"

// Attaches the named vessel by its first point to a parent onto the first point for children of
// the vessel in focus (the mount that opened the box). Refused, with nothing changed: no word, a
// name nothing bears, a name of something that is not a vessel (a celestial body), the mount
// itself, a mount that already holds a vessel, a vessel without a free point to a parent, and an
// attachment the host refuses.
bool velk_pad::mount_target_callback(void*, char* str, void*) {
  char name[256];
  if (!first_word(str, name)) return false;
  const OBJHANDLE target = oapiGetObjectByName(name);
  if (target == nullptr) return false;
  VESSEL* child = oapiGetVesselInterface(target);
  if (child == nullptr) return false;

  const OBJHANDLE focus = oapiGetFocusObject();
  VESSEL* mount = focus != nullptr ? oapiGetVesselInterface(focus) : nullptr;
  if (mount == nullptr || focus == target) return false;
  const ATTACHMENTHANDLE mount_point = mount->GetAttachmentHandle(false, 0);
  if (mount_point == nullptr || mount->GetAttachmentStatus(mount_point) != nullptr) return false;

  if (child->AttachmentCount(true) == 0) return false;
  const ATTACHMENTHANDLE child_point = child->GetAttachmentHandle(true, 0);
  if (child_point == nullptr || child->GetAttachmentStatus(child_point) != nullptr) return false;

  return mount->AttachChild(target, mount_point, child_point);
}
