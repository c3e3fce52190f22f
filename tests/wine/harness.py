"""Runs the real launcher under Wine in a throwaway prefix inside the build
tree, with drive D: mapped to a fresh test medium for every test."""

import os
import re
import shutil
import subprocess
import unittest
from pathlib import Path

TIMESTAMP = re.compile(r"^\((\d{1,2})/(\d{1,2})/(\d{4}), (\d{1,2}):(\d{2}):(\d{2}):(\d{3})(AM|PM)\) ")


# Only there to stop a hang: making the prefix takes a minute or two.
TIMEOUT = 600


class Wine:
    def __init__(self):
        env = os.environ
        self.loader = env["STARTPOINT_WINE"]
        self.server = env["STARTPOINT_WINESERVER"]
        self.launcher = Path(env["STARTPOINT_LAUNCHER"])
        self.run_exact = Path(env["STARTPOINT_RUN_EXACT"])
        self.probe = Path(env["STARTPOINT_PROBE"])
        self.reg_view = env["STARTPOINT_REG_VIEW"]
        self.work = Path(env["STARTPOINT_WINE_WORK"])
        self.prefix = self.work / "prefix"
        self.env = dict(env, WINEPREFIX=str(self.prefix), WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        self.env.pop("DISPLAY", None)

    @property
    def drive_c(self):
        return self.prefix / "drive_c"

    def wine(self, *args, check=True):
        result = subprocess.run([self.loader, *args], env=self.env, capture_output=True,
                                timeout=TIMEOUT)
        self.wait()
        if check and result.returncode != 0:
            raise RuntimeError(f"wine {args} failed: {result.returncode} {result.stderr[-2000:]}")
        return result.returncode

    def wait(self):
        """Waits until every process of the prefix, started programs too, has ended."""
        subprocess.run([self.server, "-w"], env=self.env, timeout=TIMEOUT, check=False)

    def setup(self):
        if not (self.prefix / "system.reg").exists():
            self.work.mkdir(parents=True, exist_ok=True)
            self.wine("wineboot", "-i", check=False)
            if not (self.prefix / "system.reg").exists():
                raise RuntimeError("wineboot did not create the prefix")

    def new_medium(self, name):
        """A fresh, empty directory mapped as drive D:."""
        medium = self.work / "media" / name
        shutil.rmtree(medium, ignore_errors=True)
        medium.mkdir(parents=True)
        drive = self.prefix / "dosdevices" / "d:"
        if drive.is_symlink() or drive.exists():
            drive.unlink()
        drive.symlink_to(medium)
        return medium

    def run(self, command_line, program="D:\\Title\\start.exe", cwd=""):
        """Starts program with exactly command_line (bytes or text); returns its exit status."""
        if isinstance(command_line, str):
            command_line = command_line.encode("latin-1")
        request = self.drive_c / "run-request.txt"
        request.write_bytes(f"{program}\n{cwd}\n".encode("latin-1") + command_line)
        status = self.wine(str(self.run_exact), "C:\\run-request.txt", check=False)
        request.unlink()
        return status

    def reg_add(self, key, name, data, kind="REG_SZ"):
        self.wine("reg", "add", key, "/v", name, "/t", kind, "/d", data, "/f", self.reg_view)

    def reg_delete(self, key):
        self.wine("reg", "delete", key, "/f", self.reg_view, check=False)

    def take_starts(self):
        """The programs the probe recorded since the last call: (exe, command line, cwd)."""
        record = self.drive_c / "probe-starts.txt"
        if not record.exists():
            return []
        lines = record.read_bytes().decode("latin-1").splitlines()
        record.unlink()
        return [tuple(line.split("\t")) for line in lines]


def install(source, medium, relative):
    target = Path(medium, *relative.split("\\"))
    target.parent.mkdir(parents=True, exist_ok=True)
    shutil.copyfile(source, target)
    return target


def write_ini(path, sections):
    """Writes an INI file with CR LF line ends from {section: {key: value}}."""
    lines = []
    for section, keys in sections.items():
        lines.append(f"[{section}]")
        lines.extend(f"{key}={value}" for key, value in keys.items())
    Path(path).parent.mkdir(parents=True, exist_ok=True)
    Path(path).write_bytes("\r\n".join(lines).encode("latin-1") + b"\r\n")


def log_entries(path):
    """The messages of a trace log, after checking that every line is CR LF
    terminated and that each entry starts with a well-formed timestamp."""
    data = Path(path).read_bytes()
    assert data.endswith(b"\r\n"), "log does not end in CR LF"
    lines = data[:-2].split(b"\r\n")
    assert not any(b"\n" in line or b"\r" in line for line in lines), "bare line end in log"
    entries = []
    for line in lines:
        text = line.decode("latin-1")
        match = TIMESTAMP.match(text)
        assert match, f"no timestamp: {text!r}"
        month, day, _, hour, minute, second, _ = (int(g) for g in match.groups()[:7])
        assert 1 <= month <= 12 and 1 <= day <= 31 and hour <= 12 and minute < 60 and second < 60
        entries.append(text[match.end():])
    return entries


class WineTest(unittest.TestCase):
    """A test with the prefix ready and the launcher installed at D:\\Title\\start.exe."""

    def setUp(self):
        self.w = Wine()
        self.w.setup()
        self.medium = self.w.new_medium(self.id().split(".")[-1])
        install(self.w.launcher, self.medium, "Title\\start.exe")
        for stale in ("install.log", "probe-starts.txt"):
            (self.w.drive_c / stale).unlink(missing_ok=True)

    def launch(self, command_line, **kwargs):
        status = self.w.run(command_line, **kwargs)
        self.assertEqual(status, 0, f"exit status of {command_line!r}")
        return status
