"""The launch sequence on the real launcher: real INI files, registry values
and shell starts, observed through the trace log and the probe's records."""

import shutil
import unittest

from harness import WineTest, install, log_entries, write_ini

LOGGED_KEYS = ["InstallFilename", "InstallParameters", "InstalledRegPath", "InstalledRegPathRemove",
               "InstalledRegFilename", "InstalledRegFilenameRemove", "InstalledAppFilename",
               "InstalledRegFullFilename", "InstalledRegFullFilenameRemove",
               "InstalledAppParameters"]
SETUP = "D:\\Setup\\setup.exe"
APP = "D:\\App\\app.exe"
# A full path of 254 characters: with its zero it fills the 255 bytes a read may take.
LONG = "D:\\" + "d" * 243 + "\\app.exe"
# The little-endian bytes of this number are "D:\" and a zero.
DWORD_DRIVE_ROOT = int.from_bytes(b"D:\\\0", "little")
# A value below the test's own key, named in start.ini.
REG = "HKEY_LOCAL_MACHINE\\{key}\\"


def start(exe, parameters=""):
    """A probe record: the shell quotes the program and appends the parameters."""
    command_line = f'"{exe}" {parameters}' if parameters else f'"{exe}"'
    return (exe, command_line, exe.rsplit("\\", 1)[0])


def installed(label, path):
    return [label, path, "And parameters:", ""]


def installer(started=True):
    outcome = "Successfully Launched" if started else "Error Launching"
    return ["Trying to Launch installer now:", SETUP, "With Parameter :", "",
            outcome + " InstallFilename"]


def full_path(value):
    return {"InstallFilename": SETUP, "InstalledRegFullFilename": value}


class Launch(WineTest):
    def setUp(self):
        super().setUp()
        self.subkey = "Software\\StartpointTest\\" + self.id().split(".")[-1]
        self.key = "HKEY_LOCAL_MACHINE\\" + self.subkey

    def registry(self, **values):
        """Writes the values below the test's own key; text is REG_SZ, a number REG_DWORD."""
        self.addCleanup(self.w.reg_delete, self.key)
        for name, data in values.items():
            kind = "REG_DWORD" if isinstance(data, int) else "REG_SZ"
            self.w.reg_add(self.key, name, str(data), kind)

    def fresh_medium(self, label, probes):
        self.medium = self.w.new_medium(self.id().split(".")[-1] + "-" + label)
        install(self.w.launcher, self.medium, "Title\\start.exe")
        (self.w.drive_c / "install.log").unlink(missing_ok=True)
        for path in probes:
            install(self.w.probe, self.medium, path[3:])

    def run_logged(self, settings, command_line='"D:\\Title\\start.exe" -log', log=None, **run):
        """Runs the launcher with start.ini holding settings (None: no file), checks the
        log up to the settings and returns the entries after them and the starts."""
        if settings is not None:
            settings = {key: value.format(key=self.subkey) for key, value in settings.items()}
            write_ini(self.medium / "Title" / "start.ini", {"start": settings})
        self.launch(command_line, **run)
        prologue = [" Log File Started", "Command Line Parameters passed to the launch are:",
                    command_line, "m_szCurrentPath=", "D:\\Title", "m_szCurrentExeName=",
                    "start.exe", "m_szAppAlias=", "start", "m_szPassedAlias=", "",
                    "Trying to Configuration File with the following name: ",
                    "D:\\Title\\start.ini"]
        if settings is not None:
            prologue += ["Parsing Config File:", "D:\\Title\\start.ini", "Using Section Name:",
                         "start"]
            for key in LOGGED_KEYS:
                prologue += [f"sz{key}:", settings.get(key, "")]
        entries = log_entries(log or self.w.drive_c / "install.log")
        self.assertEqual(entries[:len(prologue)], prologue)
        return entries[len(prologue):], self.w.take_starts()

    def test_typical_run_starts_the_installer_from_the_own_drive(self):
        install(self.w.probe, self.medium, "Setup\\setup.exe")
        write_ini(self.medium / "Title" / "start.ini", {"start": {
            "InstallFilename": "C:\\Setup\\setup.exe", "InstallParameters": '/quiet "a b"',
            "InstalledRegFullFilename": self.key + "\\Full"}})
        self.launch('"D:\\Title\\start.exe"')
        self.assertEqual(self.w.take_starts(), [start(SETUP, '/quiet "a b"')])
        self.assertFalse((self.w.drive_c / "install.log").exists())

    def test_whole_trace_of_a_full_path_start(self):
        self.addCleanup(shutil.rmtree, self.w.drive_c / "Prog", ignore_errors=True)
        install(self.w.probe, self.w.drive_c, "Prog\\app.exe")
        install(self.w.probe, self.medium, "Setup\\setup.exe")
        self.registry(Full="C:\\Prog\\app.exe")
        full = self.key + "\\Full"
        write_ini(self.medium / "Title" / "start.ini", {"start": {
            "InstallFilename": "Setup\\setup.exe", "InstalledRegFullFilename": full,
            "InstalledAppParameters": "%PATH:\\data"}})
        self.launch('"D:\\Title\\start.exe" -log')
        self.assertEqual(log_entries(self.w.drive_c / "install.log"), [
            " Log File Started",
            "Command Line Parameters passed to the launch are:", '"D:\\Title\\start.exe" -log',
            "m_szCurrentPath=", "D:\\Title", "m_szCurrentExeName=", "start.exe",
            "m_szAppAlias=", "start", "m_szPassedAlias=", "",
            "Trying to Configuration File with the following name: ", "D:\\Title\\start.ini",
            "Parsing Config File:", "D:\\Title\\start.ini", "Using Section Name:", "start",
            "szInstallFilename:", "Setup\\setup.exe", "szInstallParameters:", "",
            "szInstalledRegPath:", "", "szInstalledRegPathRemove:", "",
            "szInstalledRegFilename:", "", "szInstalledRegFilenameRemove:", "",
            "szInstalledAppFilename:", "", "szInstalledRegFullFilename:", full,
            "szInstalledRegFullFilenameRemove:", "", "szInstalledAppParameters:", "%PATH:\\data",
            "Changed the InstalledAppParameters by replacing the Drive Letter variable",
            "D:\\Title\\data",
            "Launching Installed App with path:", "C:\\Prog\\app.exe",
            "And parameters:", "D:\\Title\\data",
            "Successfully Launched Installed App"])
        self.assertEqual(self.w.take_starts(), [start("C:\\Prog\\app.exe", "D:\\Title\\data")])

    def test_registry_values_as_read_by_the_launcher(self):
        self.registry(Long=LONG, TooLong=LONG + "x", Dir=DWORD_DRIVE_ROOT, App=APP)
        cases = [
            ("254 characters", full_path(REG + "Long"),
             installed("Launching Installed App with path:", LONG)
             + ["Successfully Launched Installed App"], [start(LONG)]),
            ("255 characters", full_path(REG + "TooLong"), installer(), [start(SETUP)]),
            ("lower-case root", full_path("hkey_local_machine\\{key}\\App"), installer(),
             [start(SETUP)]),
            # The number's bytes up to its zero name the directory; this is also the
            # route of the directory joined with InstalledAppFilename.
            ("number", {"InstallFilename": SETUP, "InstalledRegPath": REG + "Dir",
                        "InstalledAppFilename": "App\\app.exe"},
             installed("Launching app with path:", APP) + ["Success Launching InstalledApp"],
             [start(APP)]),
        ]
        for label, settings, tail, starts in cases:
            with self.subTest(label):
                self.fresh_medium(label, [SETUP, APP, LONG])
                self.assertEqual(self.run_logged(settings), (tail, starts))

    def test_routes(self):
        self.registry(Dir="D:\\App", File="app.exe", Full=APP, Folder="D:\\App")
        cases = [
            ("directory and registry file name", [SETUP, APP],
             {"InstallFilename": SETUP, "InstalledRegPath": REG + "Dir",
              "InstalledRegFilename": REG + "File", "InstalledAppFilename": "other.exe"},
             installed("Launching Installed App with path:", APP)
             + ["Success Launching InstalledApp"], [start(APP)]),
            # The shell would open a folder window: the launcher counts it as a failed start.
            ("a folder as the full path", [SETUP, APP], full_path(REG + "Folder"),
             installed("Launching Installed App with path:", "D:\\App") + installer(),
             [start(SETUP)]),
            ("missing installer", [APP], {"InstallFilename": "E:\\Setup\\setup.exe"},
             installer(started=False), []),
            ("empty installer setting", [SETUP, APP],
             {"InstalledRegFullFilename": REG + "Full", "InstalledAppParameters": "PATH:"},
             ["Changed the InstalledAppParameters by replacing the Drive Letter variable",
              "D:\\Title", "Error szInstallFilename is NULL "], []),
            ("no configuration", [SETUP, APP], None,
             ["Trying to Configuration File with the following name: ", "D:\\Title\\config.ini",
              "ERROR: Unable to open any log file! Exiting App"], []),
        ]
        for label, probes, settings, tail, starts in cases:
            with self.subTest(label):
                self.fresh_medium(label, probes)
                self.assertEqual(self.run_logged(settings), (tail, starts))

    def test_failed_installed_start_falls_back_and_a_relative_log_stays_put(self):
        # Each start changes to the program's directory; the entries written after
        # it land in the runner's directory only when the launcher changed back.
        self.registry(Missing="D:\\App\\missing.exe")
        install(self.w.probe, self.medium, "App\\app.exe")
        install(self.w.probe, self.medium, "Setup\\setup.exe")
        (self.medium / "Work").mkdir()
        settings = {"InstallFilename": SETUP, "InstalledRegFullFilename": REG + "Missing"}
        tail, starts = self.run_logged(settings, '"D:\\Title\\start.exe" -log trace.log',
                                       log=self.medium / "Work" / "trace.log", cwd="D:\\Work")
        self.assertEqual(tail, installed("Launching Installed App with path:",
                                         "D:\\App\\missing.exe") + installer())
        self.assertEqual(starts, [start(SETUP)])
        self.assertEqual(list(self.medium.rglob("trace.log")), [self.medium / "Work" / "trace.log"])


if __name__ == "__main__":
    unittest.main()
