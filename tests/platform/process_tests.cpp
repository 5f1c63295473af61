// Executable path, file versions, library loading and last-error values.
#include "platform/process.h"

#include <gtest/gtest.h>

#include <atomic>

#include "platform/threads.h"
#include "temp_folder.h"

using namespace platform;

TEST(Process, ExecutablePathCanBeStoodInFor) {
  std::string real = GetExecutablePath();
  EXPECT_NE(real.find("platform_tests"), std::string::npos);
  SetExecutablePath("/sims/P3D/Prepar3D.exe");
  EXPECT_EQ(GetExecutablePath(), "/sims/P3D/Prepar3D.exe");
  SetExecutablePath("");
  EXPECT_EQ(GetExecutablePath(), real);
}

TEST(Process, FileVersionComesFromTheFile) {
  TempFolder dir;
  uint32_t ms = 1, ls = 1;
  std::string stamped = dir.Write("a.dll", std::string("\x7f"
                                                       "ELF junk ") +
                                               ORVANTE_FILE_VERSION_MARKER "2.5.300.4" + '\0');
  ASSERT_TRUE(GetFileVersion(stamped, ms, ls));
  EXPECT_EQ(ms, (2u << 16) | 5u);
  EXPECT_EQ(ls, (300u << 16) | 4u);
  EXPECT_FALSE(GetFileVersion(dir.Write("b.dll", "no record"), ms, ls));
  EXPECT_EQ(ms, 0u);
  EXPECT_FALSE(GetFileVersion(dir.Write("c.dll", ORVANTE_FILE_VERSION_MARKER "1.2"), ms, ls));
  EXPECT_FALSE(GetFileVersion(dir.Path("missing.dll"), ms, ls));
}

TEST(Process, LibraryLoadingReportsWindowsErrors) {
  TempFolder dir;
  EXPECT_EQ(LoadLibraryU8(dir.Path("missing.so")), nullptr);
  EXPECT_EQ(GetLastError(), 126u);
  EXPECT_EQ(LoadLibraryU8(dir.Write("garbage.so", "not a library")), nullptr);
  EXPECT_NE(GetLastError(), 0u);
  EXPECT_FALSE(LastLoaderError().empty());
  ModuleHandle self = LoadLibraryU8(GetModuleFileNameU8(reinterpret_cast<const void*>(&GetLastError)));
  ASSERT_NE(self, nullptr);
  EXPECT_NE(GetProcAddress(self, "_ZN8platform12GetLastErrorEv"), nullptr);
  EXPECT_EQ(GetProcAddress(self, "NO_SUCH_EXPORT"), nullptr);
  EXPECT_EQ(GetLastError(), 127u);
  FreeLibrary(self);
}

TEST(Process, LastErrorBelongsToTheThread) {
  SetLastError(87);
  static std::atomic<uint32_t> seenByOther{1};
  uint32_t id = CreateThread(
      [](void*) -> uint32_t {
        seenByOther = GetLastError();
        SetLastError(5);
        return 0;
      },
      nullptr);
  EXPECT_NE(id, 0u);
  for (int i = 0; i < 200 && seenByOther == 1; ++i) usleep(5000);
  EXPECT_EQ(seenByOther, 0u);
  EXPECT_EQ(GetLastError(), 87u);
}

TEST(Process, AppDataFolderOverrideAndWinePrefix) {
  TempFolder dir;
  SetAppDataFolder(dir.Path());
  EXPECT_EQ(GetAppDataFolder(), dir.Path());
  SetAppDataFolder("");
  setenv("WINEPREFIX", dir.Path().c_str(), 1);
  setenv("USER", "pilot", 1);
  EXPECT_EQ(GetAppDataFolder(), "");  // no roaming folder in the prefix yet
  dir.Write("drive_c/users/pilot/AppData/Roaming/.keep", "");
  EXPECT_EQ(GetAppDataFolder(), dir.Path("drive_c/users/pilot/AppData/Roaming"));
  unsetenv("WINEPREFIX");
}
