// Telling the simulator from its executable.
#include "core/simulator_detection.h"

#include <gtest/gtest.h>

using namespace orvante;

TEST(SimulatorDetection, KnownExecutablesInAnyLetterCase) {
  EXPECT_EQ(DetectSimulator("C:\\P3D v4\\Prepar3D.exe").kind, 11);
  EXPECT_EQ(DetectSimulator("C:\\P3D v4\\PREPAR3D.EXE").directory, "C:\\P3D v4");
  EXPECT_EQ(DetectSimulator("/sims/p3d/prepar3d.exe").directory, "/sims/p3d");
  EXPECT_EQ(DetectSimulator("/sims/fsx/FSX.EXE").kind, 10);
  EXPECT_EQ(DetectSimulator("D:/fs9/fs9.exe").kind, 9);
}

TEST(SimulatorDetection, UnknownOrUnusablePaths) {
  DetectedSimulator other = DetectSimulator("/usr/bin/orvante-sim");
  EXPECT_EQ(other.kind, -1);
  EXPECT_EQ(other.directory, "/usr/bin");
  DetectedSimulator bare = DetectSimulator("prepar3d.exe");
  EXPECT_EQ(bare.kind, -1);
  EXPECT_EQ(bare.directory, "");
  EXPECT_EQ(DetectSimulator("").kind, -1);
}
