// Profiles and aircraft models. A profile lists the models it is linked to
// ("Model.0", "Model.1", ... in its file); when the simulator loads an
// aircraft, the profile linked to that aircraft's model is loaded, or the
// unit is switched off.
#include "profiles/aircraft_association.h"

#include "core/module_log.h"
#include "profiles/profile_files.h"

namespace orvante {

bool LinkCurrentModel(ProfilePart& part) {
  const std::string model = part.currentAircraftModel;
  if (model.empty()) return false;
  if (IsProfileLinked(part, part.settings.profileName)) return true;
  // Each model is one "Model.N=" line of the profile file: a line break in
  // the name would end that line and let the rest pass for other keys.
  for (unsigned char c : model) {
    if (c < 32) {
      LogWrite("Aircraft model name holds a control character, not linked\n");
      return false;
    }
  }
  part.linkedModels.push_back(model);
  return true;
}

void UnlinkModel(ProfilePart& part, const std::string& model) {
  if (model.empty()) return;
  std::erase_if(part.linkedModels, [&model](const std::string& entry) { return SameName(entry, model); });
}

bool IsProfileLinked(const ProfilePart& part, const std::string& name) {
  const std::string model = part.currentAircraftModel;
  if (name.empty() || model.empty()) return false;
  auto linked = [&model](const std::vector<std::string>& models) {
    for (const std::string& entry : models)
      if (SameName(entry, model)) return true;
    return false;
  };
  if (SameName(name, part.settings.profileName)) return linked(part.linkedModels);
  if (!IsValidProfileName(name)) return false;
  return linked(ReadLinkedModels(ProfilePath(name)));
}

void SelectProfileForAircraft(ProfilePart& part) {
  std::lock_guard<std::mutex> changing(part.changeLock);
  LogWrite("Searching for associated profile....\n");
  if (part.currentAircraftModel[0] == '\0' || part.profileNames.empty()) return;
  std::string candidate;
  for (const std::string& name : part.profileNames)
    if (ProfileExists(name) && IsProfileLinked(part, name)) candidate = name;
  if (!candidate.empty()) {
    LogWrite("Profile FOUND!: %s \n", candidate.c_str());
    LoadProfile(part, candidate);
    return;
  }
  LogWrite("Couldn't find ANY associated profile... \n");
  LogWrite("Switching ORVA system OFF! \n");
  part.settings.MasterSwitch = 0;
}

}  // namespace orvante
