// Reading dll.xml: the entries the simulator would start, the defaults it
// assumes, and a clear message for every file it cannot use.
#include "addon_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "temp_folder.h"

namespace sim {
namespace {

const char* kTwoAddons =
    "<?xml version=\"1.0\" encoding=\"Windows-1252\"?>\r\n"
    "<SimBase.Document Type=\"Launch\" version=\"1,0\">\r\n"
    "\t<Descr>Launch</Descr>\r\n"
    "\t<Filename>dll.xml</Filename>\r\n"
    "\t<Disabled>False</Disabled>\r\n"
    "\t<Launch.ManualLoad>False</Launch.ManualLoad>\r\n"
    "\t<Launch.Addon>\r\n"
    "\t\t<Name>ORVANTE</Name>\r\n"
    "\t\t<Disabled>False</Disabled>\r\n"
    "\t\t<ManualLoad>False</ManualLoad>\r\n"
    "\t\t<Path>.\\ORVANTE\\ORVANTE.dll</Path>\r\n"
    "\t\t<DllStartName>module_init</DllStartName>\r\n"
    "\t\t<DllStopName>module_deinit</DllStopName>\r\n"
    "\t</Launch.Addon>\r\n"
    "\t<Launch.Addon>\r\n"
    "\t\t<Name>Other</Name>\r\n"
    "\t\t<Disabled> true </Disabled>\r\n"
    "\t\t<Path> Other/other.dll </Path>\r\n"
    "\t</Launch.Addon>\r\n"
    "</SimBase.Document>\r\n";

TEST(AddonList, ReadsEveryEntryWithItsSwitchesAndEntryNames) {
  common::Result<AddonList> list = ParseAddonList(kTwoAddons, "dll.xml");
  ASSERT_TRUE(list.ok()) << list.error();
  EXPECT_TRUE(list->warnings.empty());
  ASSERT_EQ(list->entries.size(), 2u);

  const AddonEntry& orvante = list->entries[0];
  EXPECT_EQ(orvante.name, "ORVANTE");
  EXPECT_EQ(orvante.path, ".\\ORVANTE\\ORVANTE.dll");
  EXPECT_FALSE(orvante.disabled);
  EXPECT_FALSE(orvante.manualLoad);
  EXPECT_EQ(orvante.startName, "module_init");
  EXPECT_EQ(orvante.stopName, "module_deinit");
  EXPECT_EQ(orvante.line, 7);

  const AddonEntry& other = list->entries[1];
  EXPECT_TRUE(other.disabled) << "True in any letter case, blanks around it ignored";
  EXPECT_EQ(other.path, "Other/other.dll");
  EXPECT_EQ(other.startName, kDefaultStartName) << "without DllStartName the simulator calls DLLStart";
  EXPECT_EQ(other.stopName, kDefaultStopName);
}

TEST(AddonList, SkipsUnusableEntriesWithAWarningAndKeepsTheRest) {
  common::Result<AddonList> list = ParseAddonList(
      "<SimBase.Document>\n"
      "<Launch.Addon><Name>NoPath</Name></Launch.Addon>\n"
      "<Launch.Addon><Name>EmptyPath</Name><Path>  </Path></Launch.Addon>\n"
      "<Launch.Addon><Path>x.dll</Path><Disabled>Maybe</Disabled><ManualLoad>TRUE</ManualLoad></Launch.Addon>\n"
      "<launch.addon><Path>lower.dll</Path></launch.addon>\n"
      "</SimBase.Document>",
      "list.xml");
  ASSERT_TRUE(list.ok()) << list.error();
  ASSERT_EQ(list->entries.size(), 1u) << "element names are case-sensitive, as in XML";
  EXPECT_EQ(list->entries[0].name, "x.dll") << "an entry without a name goes by its path";
  EXPECT_FALSE(list->entries[0].disabled);
  EXPECT_TRUE(list->entries[0].manualLoad);
  ASSERT_EQ(list->warnings.size(), 3u);
  EXPECT_EQ(list->warnings[0], "list.xml: line 2: add-on \"NoPath\" has no <Path>; skipped");
  EXPECT_EQ(list->warnings[1], "list.xml: line 3: add-on \"EmptyPath\" has no <Path>; skipped");
  EXPECT_EQ(list->warnings[2], "list.xml: line 4: <Disabled> reads \"Maybe\", neither True nor False; taken as False");
}

TEST(AddonList, AnEmptyListHasNoEntries) {
  common::Result<AddonList> list = ParseAddonList("<SimBase.Document Type=\"Launch\"/>", "dll.xml");
  ASSERT_TRUE(list.ok());
  EXPECT_TRUE(list->entries.empty());
}

TEST(AddonList, MalformedFilesGiveTheFileLineAndFault) {
  struct Case {
    const char* text;
    const char* error;
  } cases[] = {
      {"<SimBase.Document>\n<Launch.Addon>\n<Path>x.dll</Path>\n</SimBase.Document>",
       "dll.xml: line 4: the end tag </SimBase.Document> does not match <Launch.Addon> opened on line 2"},
      {"<Addons>\n</Addons>", "dll.xml: line 1: the document element is <Addons>, not <SimBase.Document>"},
      {"", "dll.xml: line 1: the file holds no document element"},
      {"<SimBase.Document>\n<Launch.Addon><Name>A&B</Name></Launch.Addon></SimBase.Document>",
       "dll.xml: line 2: a '&' that starts no character reference (write \"&amp;\" for '&')"},
  };
  for (const Case& c : cases) {
    common::Result<AddonList> list = ParseAddonList(c.text, "dll.xml");
    EXPECT_FALSE(list) << c.text;
    EXPECT_EQ(list.error(), c.error);
  }
}

TEST(AddonListFile, ReadsAFileAndNamesMissingOrUnreadableOnes) {
  TempFolder temp;
  const std::filesystem::path& folder_ = temp.path();
  std::string path = (folder_ / "dll.xml").string();
  std::ofstream(path, std::ios::binary) << kTwoAddons;
  common::Result<AddonList> list = ReadAddonList(path);
  ASSERT_TRUE(list.ok()) << list.error();
  EXPECT_EQ(list->entries.size(), 2u);

  std::string missing = (folder_ / "none.xml").string();
  list = ReadAddonList(missing);
  EXPECT_FALSE(list.ok());
  EXPECT_EQ(list.error(), missing + ": cannot be opened");

  list = ReadAddonList(folder_.string());
  EXPECT_FALSE(list.ok());
  EXPECT_EQ(list.error(), folder_.string() + ": is a folder, not an add-on list");
}

}  // namespace
}  // namespace sim
