#include "launch/target_rules.h"

#include <gtest/gtest.h>

namespace {

std::string Marked(std::string parameters, const std::string& dir) {
  ReplaceDirectoryMarker(parameters, dir);
  return parameters;
}

}  // namespace

TEST(DirectoryMarker, ReplacesTheFirstMarkerAndTheCharacterBeforeIt) {
  EXPECT_EQ(Marked("/play %PATH:\\Movie", "D:"), "/play D:\\Movie");
  EXPECT_EQ(Marked("%PATH:\\a %PATH:\\b", "D:\\T"), "D:\\T\\a %PATH:\\b");
  EXPECT_EQ(Marked("PATH:", "D:\\Title"), "D:\\Title");
  EXPECT_EQ(Marked("PATH:\\x", "D:"), "D:\\x");
  std::string lower = "/dir %path:\\x";
  EXPECT_FALSE(ReplaceDirectoryMarker(lower, "D:"));
  EXPECT_EQ(lower, "/dir %path:\\x");
}

TEST(InstallerLocation, MovesToTheLaunchersDriveOrDirectory) {
  const std::string dir = "D:\\Title";
  EXPECT_EQ(LocateInstaller("E:\\Setup\\setup.exe", dir), "D:\\Setup\\setup.exe");
  EXPECT_EQ(LocateInstaller("C:setup.exe", dir), "D:setup.exe");
  EXPECT_EQ(LocateInstaller("Setup\\setup.exe", dir), "D:\\Title\\Setup\\setup.exe");
  EXPECT_EQ(LocateInstaller("\\setup.exe", dir), "D:\\Title\\setup.exe");
  EXPECT_EQ(LocateInstaller("/setup.exe", dir), "D:\\Title/setup.exe");
  EXPECT_EQ(LocateInstaller("x", dir), "D:\\Title\\x");
  EXPECT_EQ(LocateInstaller("\\\\server\\share\\setup.exe", dir),
            "D:\\Title\\\\server\\share\\setup.exe");
  EXPECT_EQ(LocateInstaller("E:\\Setup\\setup.exe", "D:"), "D:\\Setup\\setup.exe");
}

TEST(InstallerLocation, WithoutALauncherDirectoryADrivePathIsEmpty) {
  EXPECT_EQ(LocateInstaller("E:\\Setup\\setup.exe", ""), "");
  EXPECT_EQ(LocateInstaller("Setup\\setup.exe", ""), "\\Setup\\setup.exe");
}

TEST(InstallerLocation, ALauncherOnANetworkShareUsesTheShare) {
  EXPECT_EQ(LocateInstaller("E:\\Setup\\setup.exe", "\\\\server\\share\\Title"),
            "\\\\server\\share\\Setup\\setup.exe");
  EXPECT_EQ(LocateInstaller("E:setup.exe", "\\\\server\\share"), "\\\\server\\share\\setup.exe");
  EXPECT_EQ(LocateInstaller("Setup\\setup.exe", "\\\\server\\share\\Title"),
            "\\\\server\\share\\Title\\Setup\\setup.exe");
}

TEST(CutText, RemovesTheFirstOccurrenceAndTheCharacterBeforeIt) {
  EXPECT_EQ(CutText("C:\\Prog\\app.exe /autorun", "/autorun"), "C:\\Prog\\app.exe");
  EXPECT_EQ(CutText("C:\\Prog\\app.exe -a x -a", "-a"), "C:\\Prog\\app.exe x -a");
  EXPECT_EQ(CutText("\"C:\\P\\app.exe\"", "\"C:"), "\\P\\app.exe\"");
  EXPECT_EQ(CutText("C:\\Prog\\app.exe", "C:\\Prog\\app.exe"), "");
  EXPECT_EQ(CutText("C:\\Prog\\app.exe", ":\\Prog\\app.exe"), "");
  EXPECT_EQ(CutText("C:\\Prog\\app.exe", "none"), "C:\\Prog\\app.exe");
  EXPECT_EQ(CutText("C:\\Prog\\app.exe", ""), "C:\\Prog\\app.exe");
  EXPECT_EQ(CutText("", "x"), "");
}

TEST(JoinPath, LeavesOneSeparatorAtTheSeam) {
  EXPECT_EQ(JoinPath("C:\\App\\", "\\app.exe"), "C:\\App\\app.exe");
  EXPECT_EQ(JoinPath("C:\\App", "app.exe"), "C:\\App\\app.exe");
  EXPECT_EQ(JoinPath("C:\\App/", "app.exe"), "C:\\App/app.exe");
  EXPECT_EQ(JoinPath("C:\\App", "/app.exe"), "C:\\App/app.exe");
  EXPECT_EQ(JoinPath("C:\\App\\", "/bin\\app.exe"), "C:\\App\\bin\\app.exe");
}
