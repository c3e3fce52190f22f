"""Hostile input on the real launcher. Every row must end with exit status 0
and no process left running, change no file on the medium or on C: other than
its named log, and log what the launcher's rules say for that case."""

import os
import random
import shutil
import subprocess
import unittest
from dataclasses import dataclass, field
from pathlib import Path

from harness import Wine, WineTest, log_entries, write_ini

INSTALLER = "D:\\Title\\Setup\\probe.exe"
APP = "D:\\App\\probe.exe"
PROBE = "probe"
# Root ignores Unix file modes, where Windows refuses even administrators a
# read-only file, so as root the runs go without that power. The server that
# opens files for Wine is started by the run, and inherits the restriction.
AS_USER = (["setpriv", "--bounding-set=-dac_override,-dac_read_search"]
           if os.geteuid() == 0 else [])
# Runs start in C:\matrix and log to a relative name there: an entry written
# while the current directory is left changed would land in another folder.
WORK = "C:\\matrix"
LOG = WORK + "\\matrix.log"
REG_KEY = "HKEY_LOCAL_MACHINE\\Software\\StartpointMatrix"
# A key path of 300 characters below the root. Only the first 259 characters
# of the setting naming it arrive; they name a value of a shorter key.
LONG_KEY = REG_KEY + "\\" + "k" * 120 + "\\" + "l" * 120 + "\\" + "m" * 32
CUT_KEY, CUT_VALUE = (LONG_KEY + "\\Long")[:259].rsplit("\\", 1)
# 254 and 255 characters: with its terminating zero, the first fits the 255
# bytes the launcher reads, the second does not.
PATH_255 = "D:\\Title\\" + "r" * 235 + "\\probe.exe"
PATH_256 = "D:\\Title\\" + "s" * 236 + "\\probe.exe"
INSTALLER_259 = "E:\\Title\\" + "t" * 240 + "\\probe.exe"
MOVED_259 = "D:" + INSTALLER_259[2:]
BINARY = APP.encode() + b"\0junk"
EXPAND = "%SystemDrive%\\App\\probe.exe"


def reg_text(value):
    return '"' + value.replace("\\", "\\\\") + '"'


def reg_hex(data):
    return ",".join(f"{byte:02x}" for byte in data)


REGISTRY = f"""REGEDIT4

[-{REG_KEY}]

[{REG_KEY}]
"Sz255"={reg_text(PATH_255)}
"Sz256"={reg_text(PATH_256)}
"Dword"=dword:00434241
"Binary"=hex:{reg_hex(BINARY)}
"Expand"=hex(2):{reg_hex(EXPAND.encode() + bytes(1))}

[{LONG_KEY}]
"Long"={reg_text(INSTALLER)}

[{CUT_KEY}]
"{CUT_VALUE}"={reg_text(APP)}
"""
# The longest line CreateProcessA accepts here: 32,766 characters and the
# terminating zero, the Windows limit; one more is refused.
LINE_LIMIT = 32766
HEAD, TAIL = "D:\\Title\\start.exe ", " -log matrix.log"
# Words that look like a switch, a format and quotes, none of them the switch.
FILLER = ("x" + "movie-log %s \"a\" " * 3000)[:LINE_LIMIT - len(HEAD) - len(TAIL) - 1] + "x"
KEYS = ["InstallFilename", "InstallParameters", "InstalledRegPath", "InstalledRegPathRemove",
        "InstalledRegFilename", "InstalledRegFilenameRemove", "InstalledAppFilename",
        "InstalledRegFullFilename", "InstalledRegFullFilenameRemove", "InstalledAppParameters"]
VALUES_300 = {key: (f"%PATH:{key}" if key == "InstalledAppParameters" else f"Setup\\{key}")
              .ljust(300, "v") for key in KEYS}


def settings(section="start", name="D:\\Title\\start.ini", **keys):
    return {name: {section: {"InstallFilename": "Setup\\probe.exe", **keys}}}


CONFIG_INI = settings(name="D:\\Title\\config.ini")


def tried(*names):
    return [entry for name in names
            for entry in ("Trying to Configuration File with the following name: ", name)]


def parsed(name, section="start"):
    return ["Parsing Config File:", name, "Using Section Name:", section]


def launched(path, outcome):
    return ["Launching Installed App with path:", path, "And parameters:", "", *outcome]


def installer(path=INSTALLER, outcome="Successfully Launched InstallFilename"):
    return ["Trying to Launch installer now:", path, "With Parameter :", "", outcome]


NO_INSTALLER = ["Error szInstallFilename is NULL "]
LAST_SETTING = ["szInstalledAppParameters:", ""]


@dataclass
class Row:
    name: str
    # Windows path: an INI as {section: {key: value}}, bytes, or PROBE.
    files: dict = field(default_factory=settings)
    # Runs of consecutive entries, in this order; the last one ends the log.
    # None: no log may be written.
    expect: list = None
    started: list = field(default_factory=lambda: [INSTALLER])
    line: str = '"D:\\Title\\start.exe" -log matrix.log'
    log: str = LOG
    cwd: str = WORK
    # (Windows path, Unix mode) given to a file once the files are written.
    mode: tuple = None
    together: bool = False


ROWS = [
    Row("longest_command_line", files=dict(CONFIG_INI), line=HEAD + FILLER + TAIL, started=[],
        expect=[["Command Line Parameters passed to the launch are:", HEAD + FILLER + TAIL],
                ["m_szPassedAlias=", FILLER,
                 *tried("D:\\Title\\start.ini", f"D:\\Title\\{FILLER}.ini",
                        "D:\\Title\\config.ini"),
                 *parsed("D:\\Title\\config.ini", FILLER)], NO_INSTALLER]),
    Row("no_exe_with_log", files={**settings(), LOG: b"an older log\r\n"},
        line="D:\\Title\\start -log matrix.log", log=None, started=[]),
    Row("configuration_is_a_folder",
        files={**CONFIG_INI, "D:\\Title\\start.ini\\keep.txt": b"keep"},
        expect=[[*tried("D:\\Title\\start.ini", "D:\\Title\\config.ini"),
                 *parsed("D:\\Title\\config.ini")], installer()]),
    Row("configuration_of_random_bytes",
        files={"D:\\Title\\start.ini": random.Random(4).randbytes(4096)}, started=[],
        expect=[[*parsed("D:\\Title\\start.ini"), "szInstallFilename:", ""], NO_INSTALLER]),
    Row("configuration_that_cannot_be_read",
        files={**settings(), **CONFIG_INI},
        mode=("D:\\Title\\start.ini", 0),
        expect=[[*tried("D:\\Title\\start.ini", "D:\\Title\\config.ini"),
                 *parsed("D:\\Title\\config.ini")], installer()]),
    Row("missing_section", files=settings("other"), started=[],
        expect=[[*parsed("D:\\Title\\start.ini"), "szInstallFilename:", ""], NO_INSTALLER]),
    Row("ten_values_of_300_characters", files=settings(**VALUES_300), started=[],
        expect=[[entry for key in KEYS for entry in (f"sz{key}:", VALUES_300[key][:259])],
                ["Changed the InstalledAppParameters by replacing the Drive Letter variable",
                 "D:\\Title" + VALUES_300["InstalledAppParameters"][6:259]],
                ["Trying to Launch installer now:",
                 "D:\\Title\\" + VALUES_300["InstallFilename"][:259], "With Parameter :",
                 VALUES_300["InstallParameters"][:259], "Error Launching InstallFilename"]]),
    Row("registry_value_of_255_bytes", started=[PATH_255],
        files={**settings(InstalledRegFullFilename=REG_KEY + "\\Sz255"), PATH_255: PROBE},
        expect=[launched(PATH_255, ["Successfully Launched Installed App"])]),
    Row("registry_value_of_256_bytes",
        files={**settings(InstalledRegFullFilename=REG_KEY + "\\Sz256"), PATH_256: PROBE},
        expect=[LAST_SETTING + installer()]),
    Row("registry_dword", files=settings(InstalledRegFullFilename=REG_KEY + "\\Dword"),
        expect=[launched("ABC", installer())]),
    Row("registry_binary", started=[APP],
        files={**settings(InstalledRegFullFilename=REG_KEY + "\\Binary"), APP: PROBE},
        expect=[launched(APP, ["Successfully Launched Installed App"])]),
    # Taken as written: the launcher expands nothing, and C:\App does not exist.
    Row("registry_expand_sz", files=settings(InstalledRegFullFilename=REG_KEY + "\\Expand"),
        expect=[launched(EXPAND, installer())]),
    Row("registry_key_path_of_300_characters", started=[APP],
        files={**settings(InstalledRegFullFilename=LONG_KEY + "\\Long"), APP: PROBE},
        expect=[["szInstalledRegFullFilename:", CUT_KEY + "\\" + CUT_VALUE],
                launched(APP, ["Successfully Launched Installed App"])]),
    Row("log_is_a_folder", files={**settings(), "C:\\matrix\\folder.log\\keep.txt": b"keep"},
        line='"D:\\Title\\start.exe" -log folder.log', log=None),
    Row("log_on_a_missing_drive", line='"D:\\Title\\start.exe" -log Q:\\matrix.log', log=None),
    Row("log_is_read_only", files={**settings(), LOG: b"an older log\r\n"}, mode=(LOG, 0o444),
        log=None),
    Row("installer_of_one_character", files=settings(InstallFilename="x"), started=[],
        expect=[installer("D:\\Title\\x", "Error Launching InstallFilename")]),
    Row("installer_of_259_characters", started=[MOVED_259],
        files={**settings(InstallFilename=INSTALLER_259), MOVED_259: PROBE},
        expect=[installer(MOVED_259)]),
    # Without a directory every name begins with a backslash, so \config.ini
    # is in the root of the current drive.
    Row("started_by_bare_name", line="start.exe movie -log matrix.log", cwd="D:\\Title",
        log="D:\\Title\\matrix.log",
        files={"D:\\config.ini": {"movie": {"InstallFilename": "Title\\Setup\\probe.exe"}}},
        expect=[["m_szCurrentPath=", "", "m_szCurrentExeName=", "", "m_szAppAlias=", "",
                 "m_szPassedAlias=", "movie", *tried("\\.ini", "\\movie.ini", "\\config.ini"),
                 *parsed("\\config.ini", "movie")], installer("\\Title\\Setup\\probe.exe")]),
    Row("two_launchers_on_one_log", files={**settings(), LOG: b"an older log\r\n"},
        together=True, expect=[[" Log File Started"], installer()]),
]
for row in ROWS:
    row.files.setdefault(INSTALLER, PROBE)


def is_subsequence(part, whole):
    rest = iter(whole)
    return all(entry in rest for entry in part)


class BadInput(WineTest):
    @classmethod
    def setUpClass(cls):
        wine = Wine()
        wine.setup()
        request = wine.drive_c / "matrix.reg"
        request.write_bytes(REGISTRY.encode("latin-1").replace(b"\n", b"\r\n"))
        wine.wine("reg", "import", "C:\\matrix.reg", wine.reg_view)
        request.unlink()

    def tearDown(self):
        shutil.rmtree(self.unix(WORK), ignore_errors=True)
        for tag in range(2):
            self.unix(f"C:\\run-request-{tag}.txt").unlink(missing_ok=True)

    def unix(self, path):
        root = self.w.drive_c if path[0].upper() == "C" else self.medium
        return Path(root, *path[3:].split("\\"))

    def prepare(self, row):
        self.unix(WORK).mkdir(exist_ok=True)
        for path, content in row.files.items():
            target = self.unix(path)
            target.parent.mkdir(parents=True, exist_ok=True)
            if content == PROBE:
                shutil.copyfile(self.w.probe, target)
            elif isinstance(content, dict):
                write_ini(target, content)
            else:
                target.write_bytes(content)
        if row.mode:
            self.unix(row.mode[0]).chmod(row.mode[1])

    def listing(self, row):
        """Size and modification time of every file on C: and the medium, but
        the named log and the probe's and runner's own files; folders by
        name only, since a created or deleted log changes theirs."""
        ignored = {self.unix(row.log) if row.log else None, self.w.drive_c / "probe-starts.txt",
                   *(self.unix(f"C:\\run-request-{tag}.txt") for tag in range(2))}
        found = {}
        for root in (self.w.drive_c, self.medium):
            for folder, _, names in os.walk(root):
                found[folder] = "folder"
                for name in names:
                    path = Path(folder, name)
                    if path not in ignored:
                        status = path.lstat()
                        found[str(path)] = (status.st_size, status.st_mtime_ns)
        return found

    def start(self, row, tag):
        program = "D:\\Title\\start.exe"
        request = f"C:\\run-request-{tag}.txt"
        self.unix(request).write_bytes(f"{program}\n{row.cwd}\n{row.line}".encode("latin-1"))
        return subprocess.Popen([*AS_USER, self.w.loader, str(self.w.run_exact), request],
                                env=self.w.env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    def attempt(self, row, count):
        """Runs count launchers at once; their log entries, or None without a log."""
        before = self.listing(row)
        runs = [self.start(row, tag) for tag in range(count)]
        for run in runs:
            self.assertEqual(run.wait(timeout=120), 0, "exit status")
        try:
            subprocess.run([self.w.server, "-w"], env=self.w.env, timeout=60, check=False)
        except subprocess.TimeoutExpired:
            self.fail("a process of the run was still running a minute later")
        after = self.listing(row)
        changed = {path: (before.get(path), after.get(path))
                   for path in before.keys() | after.keys() if before.get(path) != after.get(path)}
        self.assertEqual(changed, {}, "files other than the log changed")
        starts = [exe for exe, *_ in self.w.take_starts()]
        self.assertEqual(sorted(starts), sorted(row.started * count), "programs started")
        return log_entries(self.unix(row.log)) if row.expect is not None else None

    def check(self, row):
        self.prepare(row)
        entries = self.attempt(row, 1)
        if row.expect is None:
            return
        position = 0
        for run in row.expect:
            found = next((i for i in range(position, len(entries) - len(run) + 1)
                          if entries[i:i + len(run)] == run), None)
            self.assertIsNotNone(found, f"{run!r} not in order in the log")
            position = found + len(run)
        self.assertEqual(position, len(entries), "the log goes on after the last entry expected")
        if row.together:
            # Each deletes the log before its first entry and appends whole
            # entries, so the launcher that deleted last left all of its own.
            both = self.attempt(row, 2)
            self.assertTrue(is_subsequence(entries, both), "no run complete in the shared log")
            self.assertTrue(all(both.count(e) <= 2 * entries.count(e) for e in both))


for row in ROWS:
    setattr(BadInput, f"test_{row.name}", lambda self, row=row: self.check(row))

if __name__ == "__main__":
    unittest.main()
