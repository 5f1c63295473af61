// Profile files: one INI file per profile, "<name>.INI" in the folder
// ORVANTE\Profiles under the user's application-data folder, section
// "ORVANTE". Listing, loading, saving, creating and deleting them.
#pragma once
#include <string>

#include "profiles/profile_part.h"
#include "platform/user_interface.h"

namespace orvante {

// The profile folder for the current application-data folder.
std::string ProfileFolder();

// Whether name can be the name of a profile file: not empty, at most 69
// characters, no path separator, wildcard or other character that Windows
// refuses in a file name, not "." or "..". Other names never reach the file
// system: they exist nowhere and are never written.
bool IsValidProfileName(const std::string& name);

// Path of the profile's file. An existing file whose name differs only in
// letter case is the profile's file, as on Windows.
std::string ProfilePath(const std::string& name);

// Rebuilds the list of profile names from the ".INI" files of the folder.
void BuildProfileList(ProfilePart& part);

// True when the profile's file exists.
bool ProfileExists(const std::string& name);

// Replaces the loaded profile by the named one (all defaults when its file is
// missing or unreadable). An empty name does nothing.
void LoadProfile(ProfilePart& part, const std::string& name);

// Writes the loaded profile to its file. With an owner window, first offers
// to link the profile to the current aircraft model. Creates the profile
// folder when it is missing. Without a profile name nothing happens; a
// profile that names no sound set, whose name cannot be a file name or whose
// file cannot be written is not saved, and the user is told so (in a box
// owned by owner, or by none). True when the file was written.
bool SaveProfile(ProfilePart& part, platform::WindowHandle owner);

// Makes a new, unsaved profile with the new-profile defaults the loaded one.
void CreateProfile(ProfilePart& part, const std::string& name);

// Deletes a profile's file and its entries in the profile list; the loaded
// profile is never deleted.
void DeleteProfile(ProfilePart& part, const std::string& name);

// The text of the profile file for the loaded profile, lines ending in CR LF.
std::string FormatProfileFile(const ProfilePart& part);

// Reads "Model.0", "Model.1", ... from a profile file up to the first key
// that is missing or empty.
std::vector<std::string> ReadLinkedModels(const std::string& path);

}  // namespace orvante
