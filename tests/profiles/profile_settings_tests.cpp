// The field tables and the corrections applied after reading, independent of
// any file.
#include "profiles/profile_settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

using namespace orvante;

TEST(ProfileSettingsTest, EveryFieldIsDescribedOnceWithItsOwnKey) {
  std::set<std::string> keys;
  std::set<const void*> fields;
  ProfileSettings s;
  for (const SwitchField& f : kSwitchFields) {
    keys.insert(f.key);
    fields.insert(&(s.*f.field));
  }
  for (const LimitField& f : kLimitFields) {
    keys.insert(f.key);
    fields.insert(&(s.*f.field));
  }
  EXPECT_EQ(keys.size(), 38u);
  EXPECT_EQ(fields.size(), 38u);
  EXPECT_STREQ(kSwitchFields.front().key, "MasterSwitch");
  EXPECT_STREQ(kSwitchFields.back().key, "RepAltSetCallOut");
}

TEST(ProfileSettingsTest, CorrectionsClampSwitchesRestoreNegativeLimitsAndPickAnInstalledSoundSet) {
  ProfileSettings s;
  ApplyNewProfileDefaults(s);
  s.OnRunway = 5;
  s.LongLanding = 5;
  s.MinTakeOffLength = static_cast<uint32_t>(-5);
  s.MinLandingLength = 0x7FFFFFFF;
  s.UnitsOfMeasure = 255;
  CopyName(s.SoundSet, "Unknown");
  CorrectProfileSettings(s, {"First", "Other"});
  EXPECT_EQ(s.OnRunway, 1u);
  EXPECT_EQ(s.LongLanding, 5u);
  EXPECT_EQ(s.MinTakeOffLength, 1000u);
  EXPECT_EQ(s.MinLandingLength, 0x7FFFFFFFu);
  EXPECT_EQ(s.UnitsOfMeasure, 1);
  EXPECT_STREQ(s.SoundSet, "First");
  CopyName(s.SoundSet, "Unknown");
  CorrectProfileSettings(s, {});  // nothing installed: nothing to replace it with
  EXPECT_STREQ(s.SoundSet, "Unknown");
}

TEST(ProfileSettingsTest, NamesAreCutToTheirBufferAndZeroFilled) {
  char buffer[8];
  std::memset(buffer, 'x', sizeof buffer);
  CopyName(buffer, "abcdefghij");
  EXPECT_STREQ(buffer, "abcdefg");
  CopyName(buffer, "ab");
  EXPECT_EQ(std::string(buffer, sizeof buffer), std::string("ab\0\0\0\0\0\0", 8));
}
