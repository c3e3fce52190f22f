"""Start-up, command-line analysis and the trace log, on the real launcher."""

import unittest

from harness import WineTest, install, log_entries, write_ini


class StartUp(WineTest):
    def test_analysis_is_logged_to_the_default_log(self):
        old = self.w.drive_c / "install.log"
        old.write_bytes(b"an older run\r\n")
        command_line = '"D:\\Title\\start.exe" movie -log'
        self.launch(command_line)
        entries = log_entries(old)
        self.assertEqual(entries[:11], [
            " Log File Started",
            "Command Line Parameters passed to the launch are:", command_line,
            "m_szCurrentPath=", "D:\\Title",
            "m_szCurrentExeName=", "start.exe",
            "m_szAppAlias=", "start",
            "m_szPassedAlias=", "movie"])
        self.assertNotIn("an older run", entries)

    def test_without_exe_nothing_is_named_deleted_or_logged(self):
        keep = self.w.drive_c / "keep.txt"
        keep.write_bytes(b"precious")
        self.launch("D:\\Title\\start -log C:\\keep.txt")
        self.launch("D:\\Title\\start -log")
        self.assertEqual(keep.read_bytes(), b"precious")
        self.assertFalse((self.w.drive_c / "install.log").exists())

    def test_a_named_log_and_capital_letters(self):
        self.launch("D:\\TITLE\\START.EXE -LOG C:\\trace.log")
        entries = log_entries(self.w.drive_c / "trace.log")
        self.assertEqual(entries[3:9], ["m_szCurrentPath=", "D:\\TITLE", "m_szCurrentExeName=",
                                        "START.EXE", "m_szAppAlias=", "START"])

    def test_log_in_a_folder_name_is_not_the_switch(self):
        keep = self.medium / "Setup -Logs"
        keep.mkdir()
        self.launch('"D:\\Setup -Logs\\start.exe" movie-logo', program="D:\\Title\\start.exe")
        self.assertEqual(list(keep.iterdir()), [])
        self.assertFalse((self.w.drive_c / "install.log").exists())

    def test_renamed_setup_exe_starts_its_installer(self):
        install(self.w.launcher, self.medium, "setup.exe")
        install(self.w.probe, self.medium, "Install\\real-setup.exe")
        write_ini(self.medium / "setup.ini", {"setup": {"InstallFilename": "Install\\real-setup.exe"}})
        self.launch('"D:\\setup.exe"', program="D:\\setup.exe")
        self.assertEqual([(exe, cwd) for exe, _, cwd in self.w.take_starts()],
                         [("D:\\Install\\real-setup.exe", "D:\\Install")])


if __name__ == "__main__":
    unittest.main()
