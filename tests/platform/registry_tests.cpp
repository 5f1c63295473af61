// Registry values read from a Wine prefix's registry files.
#include "platform/registry.h"

#include <gtest/gtest.h>

#include "temp_folder.h"

using namespace platform;

TEST(Registry, ReadsStringsAndDwordsFromWineFiles) {
  TempFolder prefix;
  prefix.Write("user.reg",
               "WINE REGISTRY Version 2\n"
               ";; All keys relative to \\\\User\\\\S-1-5-21\n\n"
               "[Software\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\10.0] 1700000000\n"
               "#time=1d9\n"
               "\"AppPath\"=\"C:\\\\Program Files (x86)\\\\Steam\\\\steamapps\\\\common\\\\FSX\\\\\"\n"
               "\"Quote\"=\"say \\\"hi\\\"\"\n"
               "\"Count\"=dword:0000002a\n\n"
               "[Software\\\\Other] 1\n\"AppPath\"=\"wrong\"\n");
  prefix.Write("system.reg",
               "WINE REGISTRY Version 2\n"
               "[Software\\\\Microsoft\\\\XACT] 1\n\"DebugEngine\"=dword:00000001\n");
  setenv("WINEPREFIX", prefix.Path().c_str(), 1);
  const std::string key = "SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\10.0\\";
  EXPECT_TRUE(RegistryKeyExists(RegistryHive::CurrentUser, key));
  EXPECT_EQ(RegistryReadString(RegistryHive::CurrentUser, key, "AppPath").value_or("?"),
            "C:\\Program Files (x86)\\Steam\\steamapps\\common\\FSX\\");
  EXPECT_EQ(RegistryReadString(RegistryHive::CurrentUser, key, "apppath").value_or("?").size(), 50u);
  EXPECT_EQ(RegistryReadString(RegistryHive::CurrentUser, key, "Quote").value_or("?"), "say \"hi\"");
  EXPECT_EQ(RegistryReadDword(RegistryHive::CurrentUser, key, "Count").value_or(0), 42u);
  EXPECT_FALSE(RegistryReadString(RegistryHive::CurrentUser, key, "Count").has_value());
  EXPECT_FALSE(RegistryReadString(RegistryHive::CurrentUser, key, "SetupPath").has_value());
  EXPECT_FALSE(RegistryKeyExists(RegistryHive::LocalMachine, key));
  EXPECT_EQ(RegistryReadDword(RegistryHive::LocalMachine, "Software\\Microsoft\\XACT", "DebugEngine").value_or(0), 1u);
  unsetenv("WINEPREFIX");
}

TEST(Registry, MissingPrefixReadsNothing) {
  setenv("WINEPREFIX", "/nonexistent/prefix", 1);
  EXPECT_FALSE(RegistryKeyExists(RegistryHive::CurrentUser, "Software"));
  EXPECT_FALSE(RegistryReadString(RegistryHive::LocalMachine, "Software", "x").has_value());
  unsetenv("WINEPREFIX");
}
