// The About box.
#include "profiles/about_box.h"

#include "profiles/profiles_environment.h"

namespace orvante {
namespace {

platform::DialogControl Make(int id, platform::ControlKind kind, const char* caption) {
  platform::DialogControl control;
  control.id = id;
  control.kind = kind;
  control.caption = caption;
  if (kind == platform::ControlKind::kLabel) control.text = caption;
  return control;
}

}  // namespace

AboutBox::AboutBox() : Dialog("About Orvante") {
  Add(Make(kAboutMakerLabel, platform::ControlKind::kLabel, "Orvante was developed by Vescor."));
  Add(Make(kAboutVersionLabel, platform::ControlKind::kLabel, "Version: 0.0.0.0"));
  Add(Make(kAboutWebsiteButton, platform::ControlKind::kPushButton, "Visit Vescor website"));
  Add(Make(kAboutManualButton, platform::ControlKind::kPushButton, "View online manual"));
  Add(Make(kAboutForumButton, platform::ControlKind::kPushButton, "Visit support forum"));
}

void AboutBox::Open() { Control(kAboutVersionLabel)->text = g_profilesEnvironment.versionText; }

void AboutBox::Command(int id) {
  switch (id) {
    case kAboutWebsiteButton: platform::ShellExecuteOpen(kMakerWebsiteAddress); return;
    case kAboutManualButton: platform::ShellExecuteOpen(kOnlineManualAddress); return;
    case kAboutForumButton: platform::ShellExecuteOpen(kSupportForumAddress); return;
    default: return;
  }
}

}  // namespace orvante
