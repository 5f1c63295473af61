// The small dialogs of the settings dialog's "Profiles" menu: Create Profile,
// Open Profile, Delete Profile and Unlink Model. Each is modal, owned by the
// settings dialog, and works on the profile part it is given.
#pragma once
#include "profiles/profile_part.h"
#include "platform/dialog.h"

namespace orvante {

enum ProfileDialogControl : int {
  kProfileNameBox = 3000,  // Create Profile: "Profile Name:"
  kCreateProfileButton,
  kSelectProfileList,  // Open and Delete Profile: "Select Profile:"
  kDefaultProfileBox,  // Open Profile: "Default?"
  kOpenProfileButton,
  kDeleteProfileButton,
  kSelectModelList,  // Unlink Model: "Select Model:"
  kUnlinkModelButton,
};

// Creates, saves and lists a new profile with the name typed (the current
// aircraft model to begin with). Result 1 when a profile was created.
class CreateProfileDialog : public platform::Dialog {
 public:
  explicit CreateProfileDialog(ProfilePart& part);
  void Open() override;
  void Command(int id) override;

 private:
  ProfilePart& part_;
};

// Loads another profile, and makes it the default one when "Default?" is set.
// Result 1 when a profile was opened.
class OpenProfileDialog : public platform::Dialog {
 public:
  explicit OpenProfileDialog(ProfilePart& part);
  void Open() override;
  void Command(int id) override;

 private:
  ProfilePart& part_;
};

// Deletes profiles other than the loaded one; stays open after each.
class DeleteProfileDialog : public platform::Dialog {
 public:
  explicit DeleteProfileDialog(ProfilePart& part);
  void Open() override;
  void Command(int id) override;

 private:
  void Refill();
  ProfilePart& part_;
};

// Removes aircraft models from the loaded profile's links; stays open after
// each. The change reaches the file at the next save.
class UnlinkModelDialog : public platform::Dialog {
 public:
  explicit UnlinkModelDialog(ProfilePart& part);
  void Open() override;
  void Command(int id) override;

 private:
  void Refill();
  ProfilePart& part_;
};

}  // namespace orvante
