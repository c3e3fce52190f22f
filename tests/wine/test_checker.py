"""The configuration checker under Wine: its warnings, and that its verdict is
what the launcher then does on the same medium and machine."""

import os
import re
import shutil
import subprocess
import unittest
from pathlib import Path

from harness import TIMESTAMP, WineTest, install, log_entries, write_ini

CHECKER = os.environ["STARTPOINT_CHECKER"]
EXAMPLES = Path(os.environ["STARTPOINT_EXAMPLES"])
EXAMPLE_MEDIUM = Path(__file__).resolve().parents[2] / "examples" / "medium"
SETUP = "D:\\Title\\Setup\\setup.exe"
APP = "D:\\App\\app.exe"
EXAMPLE_KEY = "HKEY_LOCAL_MACHINE\\Software\\Startpoint Example"

# Each row: a change to a clean [start] section (None: leave the key out), the
# warning expected (None: none) and the exit status.
WARNINGS = [
    ({"InstallParameters": "p" * 258}, None, 0),
    ({"InstallParameters": "p" * 300}, "InstallParameters is 259 characters long", 1),
    ({"InstallFilename": ""}, "InstallFilename is empty", 2),
    ({"InstallFilename": "Setup\\missing.exe"},
     "the installer D:\\Title\\Setup\\missing.exe is not on the medium", 2),
    ({"InstalledRegFullFilename": "hkey_local_machine\\Software\\X\\Path"},
     "InstalledRegFullFilename names no registry root", 1),
    ({"InstalledRegPath": "HKLM\\Software\\X\\Dir"}, "InstalledRegPath names no registry root", 1),
    ({"InstalledRegFullFilename": "HKEY_LOCAL_MACHINE\\{key}\\Long"},
     "InstalledRegFullFilename: the registry value is longer than 255 bytes", 1),
    ({"InstalledAppParameters": "PATH:\\data"}, "PATH: has no spare character in front", 1),
    ({"InstalledAppParameters": "/play PATH:\\data"}, "the space in front of PATH: is removed", 1),
    ({"InstalledAppParameters": "%path:\\data"}, "path: is not the marker", 1),
    ({"InstallParameters": "/from %PATH:"}, "InstallParameters holds PATH:", 1),
    ({"InstalledRegPathRemove": "x"}, "InstalledRegPathRemove is set", 1),
    ({"InstalledRegFilenameRemove": "x"}, "InstalledRegFilenameRemove is set", 1),
    ({"InstallFilenam": "x", "installedappparameters": "y", "Colour": "z"},
     "holds keys the launcher does not know (typing mistakes?): InstallFilenam, Colour", 1),
]

# Each row: the alias, the sections of start.ini (None: no file), the registry
# values and the programs on the medium.
AGREEMENT = [
    ("", {"start": {"InstallFilename": "Setup\\setup.exe",
                    "InstalledRegFullFilename": "HKEY_LOCAL_MACHINE\\{key}\\Full",
                    "InstalledAppParameters": "/data %PATH:\\data"}},
     {"Full": APP}, [SETUP, APP]),
    ("", {"start": {"InstallFilename": "C:\\Title\\Setup\\setup.exe",
                    "InstallParameters": "/quiet",
                    "InstalledRegFullFilename": "HKEY_LOCAL_MACHINE\\{key}\\Full"}},
     {"Full": "D:\\App\\gone.exe"}, [SETUP, APP]),
    ("movie", {"movie": {"InstallFilename": "Setup\\setup.exe",
                         "InstalledRegPath": "HKEY_LOCAL_MACHINE\\{key}\\Dir",
                         "InstalledAppFilename": "app.exe"}},
     {"Dir": "D:\\App"}, [SETUP, APP]),
    ("", {"start": {"InstallFilename": "Setup\\setup.exe",
                    "InstalledRegPath": "HKEY_LOCAL_MACHINE\\{key}\\Dir"}},
     {}, []),
    ("", None, {}, [SETUP]),
]


class Checker(WineTest):
    def setUp(self):
        super().setUp()
        self.subkey = "Software\\StartpointCheck\\" + self.id().split(".")[-1]
        self.key = "HKEY_LOCAL_MACHINE\\" + self.subkey
        self.addCleanup(self.w.reg_delete, self.key)

    def check(self, *args):
        """Runs the checker; returns its exit status, its warnings and its output."""
        result = subprocess.run([self.w.loader, CHECKER, *args], env=self.w.env,
                                capture_output=True, timeout=300)
        self.w.wait()
        output = result.stdout.decode("latin-1").replace("\r\n", "\n")
        warnings = [line[9:] for line in output.splitlines() if line.startswith("warning: ")]
        return result.returncode, warnings, output

    def test_each_likely_mistake_gives_its_warning(self):
        install(self.w.probe, self.medium, "Title\\Setup\\setup.exe")
        self.w.reg_add(self.key, "Long", "D:\\" + "x" * 300)
        for change, warning, status in WARNINGS:
            with self.subTest(change=change):
                settings = {"InstallFilename": "Setup\\setup.exe", **change}
                settings = {k: v.format(key=self.subkey) for k, v in settings.items()}
                write_ini(self.medium / "Title" / "start.ini", {"start": settings})
                got_status, warnings, output = self.check("D:\\Title\\start.exe")
                self.assertEqual(got_status, status, output)
                self.assertEqual(len(warnings), 0 if warning is None else 1, output)
                if warning is not None:
                    self.assertIn(warning, warnings[0])

    def test_a_missing_section_is_named(self):
        install(self.w.probe, self.medium, "Title\\Setup\\setup.exe")
        write_ini(self.medium / "Title" / "start.ini", {"movie": {"InstallFilename": "x.exe"}})
        status, warnings, output = self.check("D:\\Title\\start.exe")
        self.assertEqual(status, 2, output)
        self.assertEqual(warnings, ["no section [start] in D:\\Title\\start.ini: every setting "
                                    "reads as empty", "InstallFilename is empty: the launcher "
                                    "starts nothing, not even the installed program"])

    def test_the_verdict_is_what_the_launcher_does(self):
        for row, (alias, sections, values, programs) in enumerate(AGREEMENT):
            with self.subTest(row=row):
                self.medium = self.w.new_medium(f"agreement-{row}")
                install(self.w.launcher, self.medium, "Title\\start.exe")
                for program in programs:
                    install(self.w.probe, self.medium, program[3:])
                self.w.reg_delete(self.key)
                for name, data in values.items():
                    self.w.reg_add(self.key, name, data)
                for section, settings in (sections or {}).items():
                    settings = {k: v.format(key=self.subkey) for k, v in settings.items()}
                    write_ini(self.medium / "Title" / ("config.ini" if alias else "start.ini"),
                              {section: settings})
                status, _, output = self.check("-log", "D:\\Title\\start.exe",
                                               *([alias] if alias else []))
                self.w.take_starts()
                self.launch(f'"D:\\Title\\start.exe" {alias + " " if alias else ""}-log')
                self.assertEqual(trace_of(output), log_entries(self.w.drive_c / "install.log"))
                starts = self.w.take_starts()
                if status == 2:
                    self.assertIn("Would start nothing.", output)
                    self.assertEqual(starts, [])
                    continue
                self.assertEqual(len(starts), 1, output)
                exe, command_line, cwd = starts[0]
                self.assertIn(f"\nWould start {exe}\n  Parameters: "
                              f"{command_line[len(exe) + 3:]}\n  Working directory: {cwd}\n",
                              output)

    def test_the_example_medium_before_and_after_its_installer(self):
        self.w.reg_delete(EXAMPLE_KEY)
        self.addCleanup(self.w.reg_delete, EXAMPLE_KEY)
        for program_files in ("Program Files", "Program Files (x86)"):
            installed = self.w.drive_c / program_files / "Startpoint Example"
            shutil.rmtree(installed, ignore_errors=True)
            self.addCleanup(shutil.rmtree, installed, ignore_errors=True)
        shutil.copytree(EXAMPLE_MEDIUM, self.medium, dirs_exist_ok=True)
        install(self.w.launcher, self.medium, "start.exe")
        for name in ("setup.exe", "example.exe"):
            install(EXAMPLES / name, self.medium, "Setup\\" + name)
        runs = list(self.w.drive_c.glob("users/*/AppData/Local/Startpoint Example"))
        for old in runs:
            shutil.rmtree(old)

        status, warnings, output = self.check("D:\\start.exe")
        self.assertEqual((status, warnings), (0, []), output)
        self.assertIn("\nWould start D:\\Setup\\setup.exe\n  Parameters: /silent\n", output)
        self.launch('"D:\\start.exe"', program="D:\\start.exe")
        # Program Files of the installer's own bitness.
        program = re.fullmatch(r'setup.exe installed (C:\\Program Files[^,]*\\example.exe), '
                               r'started as: "D:\\Setup\\setup.exe" /silent\r\n',
                               self.take_runs()).group(1)
        for alias, parameters in (("", "--medium D:\\"),
                                  ("folder", "--medium D:\\ --found-by folder"),
                                  ("fixed", "--medium D:\\ --found-by fixed name")):
            with self.subTest(alias=alias):
                status, warnings, output = self.check("D:\\start.exe", *([alias] if alias else []))
                self.assertEqual((status, warnings), (0, []), output)
                self.assertIn(f"\nWould start {program}\n  Parameters: {parameters}\n", output)
                self.launch(f'"D:\\start.exe" {alias}'.rstrip(), program="D:\\start.exe")
                self.assertEqual(self.take_runs(), f'example.exe ran, started as: "{program}" '
                                 f'{parameters}, working directory: {program[:-12]}\r\n')

    def take_runs(self):
        """What the example programs recorded since the last call."""
        record = next(self.w.drive_c.glob("users/*/AppData/Local/Startpoint Example/runs.txt"))
        text = record.read_bytes().decode("latin-1")
        record.unlink()
        return text


def trace_of(output):
    """The messages of the trace the checker printed."""
    trace = output.split("Trace log, as the launcher writes it with -log\n", 1)[1]
    return [line[TIMESTAMP.match(line).end():] for line in trace.split("\n")[:-1]]


if __name__ == "__main__":
    unittest.main()
