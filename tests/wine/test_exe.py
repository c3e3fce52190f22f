"""The real executables. Tables: the launcher as shipped. Runs: each row of ROWS
is one launcher run under Wine, made by run_exact.exe, which waits for the
launcher and all it started; the rows start together in one batch (the
double-byte rows in a second one, under the Japanese code page) in a prefix
made once per build tree. Each row must exit 0, leave no process running,
start exactly the programs given and log the entries given, with timestamps
that tell the time of the run; no file but the rows' logs may change. The
checker then runs on some rows and must agree with the launcher."""

import os
import re
import struct
import subprocess
import unittest
import uuid
from datetime import datetime, timedelta, timezone
from pathlib import Path
from types import SimpleNamespace

ENVIRON, HERE = os.environ, Path(__file__).resolve().parent
BUILD, WINE = Path(ENVIRON["STARTPOINT_BUILD"]), ENVIRON["STARTPOINT_WINE"]
LAUNCHER, RUNNER, WORK = BUILD / "startpoint.exe", BUILD / "tests/wine/run_exact.exe", BUILD / "wine"
PREFIX, DRIVE_C, SERVER = WORK / "prefix", WORK / "prefix/drive_c", Path(WINE).with_name("wineserver")
MEDIUM = PREFIX / "dosdevices/unc/server/share"  # drive D: too
# Nine hours east of UTC, whatever the host's zone: the log must tell local time.
ENV = {**ENVIRON, "WINEPREFIX": str(PREFIX), "WINEDEBUG": "-all", "WINEDLLOVERRIDES": "mscoree,mshtml=", "TZ": "JST-9"}
LOCAL = timezone(timedelta(hours=9))
ENV.pop("DISPLAY", None)  # no window may be shown
JAPANESE = {**ENV, "LANG": "ja_JP.UTF-8", "LOCPATH": str(WORK / "locale")}  # code page 932
# As root, Wine ignores Unix file modes, where Windows refuses even administrators
# a read-only file: the server that opens files for Wine runs without that power.
AS_USER = ["setpriv", "--bounding-set=-dac_override,-dac_read_search"] if os.geteuid() == 0 else []
ENTRY = re.compile(r"\((1[0-2]|[1-9])/([1-9]\d?)/(\d{4}), (1[0-2]|\d):([0-5]\d):([0-5]\d):(\d{3})([AP])M\) (.*)")

# A start is "file|parameters|working directory"; a log, entries joined by "|"
# that it holds in this order; "@" stands for the row's folder.
INSTALLER, APP = "@\\Setup\\setup.exe||@\\Setup", "D:\\App\\app.exe||D:\\App"
STARTED, FAILED = "Successfully Launched InstallFilename", "Error Launching InstallFilename"
OLD = b"(1/2/2003, 4:05:06:007AM) an earlier run\r\n"
APP_STARTED, JOINED = "Successfully Launched Installed App", "Success Launching InstalledApp"
REFUSED = "Not started: it is this launcher itself"
SELF = f"{REFUSED}|{FAILED}"
# Values from registry.reg, named in InstalledRegFullFilename.
TEST_KEY = "HKEY_CURRENT_USER\\Software\\StartpointTest\\"
FULL_PATH, SHARE = "InstalledRegFullFilename", "\\\\server\\share"
NO_KEY = "HKEY_CURRENT_USER\\Software\\StartpointNone\\Folder"
# Two folders of 80 characters, 160 bytes each in code page 932.
DEEP = "\\".join(["フォルダ" * 20] * 2)
# 254 and 255 characters: with its zero, the first fills the 255 bytes a read takes.
R255, R256 = "D:\\" + "r" * 243 + "\\app.exe", "D:\\" + "s" * 244 + "\\app.exe"
# The longest command line Windows takes, 32,766 characters, with words that look
# like the switch, a format and quotes.
HEAD, TAIL = '"D:\\long\\start.exe" ', " -log run.log"
FILLER = ("x" + 'movie-log %s "a" ' * 3000)[:32766 - len(HEAD) - len(TAIL) - 1] + "x"


def full(value, **ini):
    """Settings that name the test key's value as the installed program's full path."""
    return {FULL_PATH: TEST_KEY + value, **ini}


def ran(program):
    """The file that runs for a start recorded as program: Wine keeps a name that the
    shell completed with .exe as the program's own."""
    return program if "." in program.rpartition("\\")[2] else program + ".exe"


def shortcut(target, arguments):
    """A shell link (.lnk), in its ANSI form: a header, the target's local path in a
    link info, and the arguments."""
    path, volume = target.encode("cp932") + b"\0", struct.pack("<4I", 17, 3, 0, 16) + b"\0"
    base = 28 + len(volume)
    info = struct.pack("<7I", base + len(path) + 1, 28, 1, 28, base, 0, base + len(path)) + volume + path + b"\0"
    clsid = uuid.UUID("00021401-0000-0000-c000-000000000046").bytes_le
    header = struct.pack("<I16s2I", 76, clsid, 0x22, 0) + bytes(32) + struct.pack("<I", 1) + bytes(12)
    return header + info + struct.pack("<H", len(arguments)) + arguments.encode("cp932") + bytes(4)


def row(name, ini={}, starts=INSTALLER, log=STARTED, exe="start.exe", line='"@\\{exe}" -log run.log',
        at="D:\\", logfile="C:\\runs\\{name}\\run.log", files={}, setup="Setup\\setup.exe", mark=b"", **more):
    """A run of <at><name>\\<exe>, with section [<exe>] of <exe>.ini holding ini and
    InstallFilename=<setup>, after the bytes of mark, each program started copied to
    its place, and the other files given. starts: ";"-separated; log None: the run may write no
    log. more: copies (launchers started at once), check (the checker's exit
    status, when it runs on the row), says (words its report must hold, "|" between
    pieces), readonly (the log file is read-only, or without one its folder), whole
    (the log holds exactly the entries given) and env (the Wine environment)."""
    fill = lambda text: text.replace("@", at + name).format(name=name, exe=exe)
    starts = sorted(tuple(fill(start).split("|")) for start in starts.split(";") if start)
    files = {fill("@\\{exe}"): LAUNCHER, fill("@\\Setup\\setup.exe"): RUNNER, **{ran(s[0]): RUNNER for s in starts},
             fill("C:\\runs\\{name}\\starts.txt"): b"", **files}
    text = "".join(f"{k}={v}\r\n" for k, v in {"InstallFilename": setup, **ini}.items())
    files[fill(f"@\\{exe[:-4]}.ini")] = mark + f"[{exe[:-4]}]\r\n{text}".encode("cp932")
    return SimpleNamespace(name=name, program=fill("@\\{exe}"), line=fill(line), logfile=fill(logfile),
                           starts=starts, files=files, log=log and fill(log).split("|"),
                           **{"copies": 1, "check": None, "says": "", "readonly": False, "whole": False, "env": ENV, **more})


ROWS = [
    # Each route ends in its start. The entries after a start land in the same
    # relative log: the launcher's working directory was restored.
    row("trace", ini=full("Full", InstalledAppParameters="%PATH:\\data"), starts="C:\\Prog\\app.exe|@\\data|C:\\Prog",
        log="|".join((HERE.parent / "trace.txt").read_text().splitlines()), check=0, whole=True),
    # An empty value, a missing key and a missing value: the launcher goes on past each, and the checker
    # tells them apart.
    row("lookups", ini=full("Empty", InstalledRegPath=NO_KEY, InstalledRegFilename=TEST_KEY + "None"), check=0,
        says='value "Empty": ""|value "Folder": not found|value "None": not found'),
    # A value found, a program not there: the checker warns that the installer runs again.
    row("fallback", ini=full("Missing"), log="D:\\App\\missing.exe|" + STARTED, check=1,
        says="finds the product installed (D:\\App\\missing.exe), but its program"),
    row("quoted", ini=full("Quoted"), starts="C:\\Prog Dir\\app.exe||C:\\Prog Dir", log=APP_STARTED, check=0),
    # The -log switch.
    row("default_log", line='"@\\start.exe" -log', logfile="C:\\install.log", files={"C:\\install.log": OLD}),
    # A file that is not a trace log stays, and the run writes no log.
    row("log_ini", line='"@\\start.exe" -log @\\start.ini', log=None, check=1, says="is a file but not a trace log"),
    # Bad input: each row also proves that nothing else changed or went on running.
    row("long", starts="", log=f"{HEAD}{FILLER}{TAIL}|m_szPassedAlias=|{FILLER}|Error szInstallFilename is NULL ",
        line=HEAD + FILLER + TAIL),
    row("long_values", ini={"InstallParameters": "p" * 300}, starts=f"@\\Setup\\setup.exe|{'p' * 259}|@\\Setup",
        check=1),
    row("reg255", ini=full("Sz255"), starts=f"{R255}||{R255[:-8]}", log=APP_STARTED),
    row("reg256", ini=full("Sz256"), files={R256: RUNNER}),  # the launcher must not find it
    row("binary", ini=full("Binary"), starts=APP, log="D:\\App\\app.exe|" + APP_STARTED),
    row("folder", ini=full("Dir"), log="Launching Installed App with path:|D:\\App|" + STARTED, check=1,
        says="that is the program's folder"),
    row("read_only", files={"C:\\runs\\read_only\\run.log": OLD}, log=None, readonly=True, check=1, says="read-only"),
    # Four at once on one log: entries can be lost, as each deletes the log, but no line may break.
    row("together", starts=";".join([INSTALLER] * 4), copies=4),
    row("share", starts=f"{SHARE}\\Setup\\setup.exe||{SHARE}\\Setup", at=SHARE + "\\", setup="E:\\Setup\\setup.exe"),
    row("share_self", starts="", log=SELF, exe="setup.exe", setup="setup.exe", at=SHARE + "\\"),
    # The registry names the launcher on D: by the share that D: maps.
    row("self_via_share", ini=full("ViaShare"), log=f"{REFUSED}|{STARTED}"),
    # Started as Title\start.exe, the launcher takes the drive from its folder in full.
    row("Title", starts="C:\\Setup\\setup.exe||C:\\Setup", at="C:\\runs\\Title\\", line="Title\\start.exe -log run.log",
        setup="E:\\Setup\\setup.exe"),
    # Explorer quotes the path: a folder named like a program is part of it.
    row("Tools.exe dir"),
    row("bare_self", ini=full("Self"), log=f"setup.exe|{REFUSED}|{STARTED}", exe="setup.exe"),
    row("expand", ini=full("Expand"), starts="C:\\Prog\\app.exe||C:\\Prog",
        log="Launching Installed App with path:|C:\\Prog\\app.exe"),
    # Typed without a folder, the launcher takes its executable's.
    row("bare_launcher", line="start.exe start -log run.log"),
    # A file: URL of the launcher is refused; run_exact ends a chain of launchers after 30 s.
    # Another program's goes to the shell, which starts it.
    row("file_self", ini=full("FileSelf"), log=f"{REFUSED}|{STARTED}"),
    row("file_other", ini=full("FileOther"), starts="D:\\file_other\\App\\app.exe||C:\\runs\\file_other",
        log=APP_STARTED),
    # An installer named by a URL, whose scheme a probe serves.
    row("url_installer", starts='D:\\url_installer\\probe.exe|"sptest:medium"|C:\\runs\\url_installer',
        setup="sptest:medium", check=0),
    # What Windows' reader does not skip, and an icon index, the checker names.
    row("bom", mark=b"\xef\xbb\xbf", check=1, says="begins with a UTF-8 byte order mark"),
    row("icon", ini=full("Icon"), check=1, says="icon index (,0)|set InstalledRegFullFilenameRemove=0",
        files={"D:\\icon\\App\\app.exe": RUNNER}),
    row("other_root", ini={FULL_PATH: "HKEY_LOCAL_MACHINE\\Software\\StartpointTest\\Full"}, check=1,
        says="write HKEY_CURRENT_USER\\Software\\StartpointTest\\Full"),
    # The checker agrees where the real API decides: the command line as typed, a log that
    # cannot be written, the .exe the shell adds, a shortcut (Wine's shell opens none for
    # the launcher), a document whose "open" action drops the parameters.
    row("spaced_log", line='"@\\start.exe" -log C:\\runs\\spaced_log\\my  log.txt',
        logfile="C:\\runs\\spaced_log\\my  log.txt", check=0),
    row("quoted_log", line='"@\\start.exe" -log "C:\\runs\\quoted_log\\my log.txt"', log=None, check=1,
        says="is not a valid file name"),
    row("no_folder", line='"@\\start.exe" -log C:\\runs\\gone\\x.log', log=None, check=1, says="does not exist"),
    row("log_folder", line='"@\\start.exe" -log @', log=None, check=1, says="D:\\log_folder is a folder"),
    row("ro_folder", line='"@\\start.exe" -log C:\\runs\\ro_folder\\ro\\x.log', log=None, check=1,
        logfile="C:\\runs\\ro_folder\\ro\\x.log", readonly=True, says="this user may not write"),
    row("typeless", starts="@\\Setup\\setup||@\\Setup", setup="Setup\\setup", check=0),
    # Wine's shell looks a typed bare name up in the Windows folder before the launcher's.
    row("bare", ini=full("Bare"), starts="C:\\windows\\sptbare.exe||C:\\runs\\bare", log=APP_STARTED, check=0,
        files={"D:\\bare\\sptbare.exe": RUNNER}),
    row("shortcut", starts="", log="@\\Setup\\setup.lnk|" + FAILED, setup="Setup\\setup.lnk", check=2,
        files={"D:\\shortcut\\Setup\\setup.lnk": shortcut("D:\\shortcut\\Setup\\setup.exe", "/a")},
        says="a shortcut to D:\\shortcut\\Setup\\setup.exe, which Wine's shell does not open"),
    row("document", ini={"InstallParameters": "-p"}, starts='D:\\document\\viewer.exe|"@\\manual.sptdoc"|@',
        setup="manual.sptdoc", files={"D:\\document\\manual.sptdoc": b""}, check=1, says="-p would be dropped"),
    # ソ is 83 5C in code page 932: its second byte is a backslash.
    row("dbcs", exe="ソフト.exe", env=JAPANESE, log="m_szCurrentPath=|@|ソフト.exe|ソフト"),
    # A working directory too long to save in 260 bytes: the installer starts from it.
    row(DEEP, starts="@\\Setup\\setup.exe||C:\\runs\\{name}", env=JAPANESE),
]


def unix(path):
    """The Unix path of a Windows path on C:, on D: or on the share (the medium too)."""
    drive, _, rest = path.replace(SHARE, "D:", 1).partition(":\\")
    return {"C": DRIVE_C, "D": MEDIUM}[drive].joinpath(*rest.split("\\"))


def wine(*args, env=ENV):
    """Runs a Windows program; its exit status and output. The output goes to a
    file: services that Wine starts on the way would hold a pipe open."""
    with (WORK / "output.txt").open("w+b") as out:
        status = subprocess.run([WINE, *map(str, args)], env=env, stdout=out, stderr=subprocess.DEVNULL).returncode
        return status, out.seek(0) or out.read().decode("cp932").replace("\r\n", "\n")  # seek gives 0


def stamp(entry):
    """The time that an entry's timestamp tells."""
    month, day, year, hour, minute, second, milliseconds = map(int, entry.groups()[:7])
    return datetime(year, month, day, hour % 12 + 12 * (entry[8] == "P"), minute, second, milliseconds * 1000, LOCAL)


def entries(path, during=None):
    """The messages of a log, after checking that each line has its timestamp and CR LF; given
    when a run began and ended, also that the timestamps tell the time in between, to the
    millisecond (not always on a whole second)."""
    *lines, end = path.read_bytes().decode("cp932").split("\r\n")
    found = [ENTRY.fullmatch(line) for line in lines]
    bad = [line for line, entry in zip(lines, found) if not entry] + [end] * (end != "")
    assert not bad, f"{path}: lines without a timestamp or CR LF: {bad}"
    if during:
        wrong = [entry[0] for entry in found if not during[0] <= stamp(entry) <= during[1]]
        assert not wrong and any(entry[7] != "000" for entry in found), \
            f"{path}: not the time between {during[0]} and {during[1]}: {wrong or 'only whole seconds'}"
    return [entry[9] for entry in found]


def snapshot():
    """Every file and folder on C: and on the medium; a file with its size and time."""
    return {p: p.is_dir() or (p.lstat().st_size, p.lstat().st_mtime_ns) for d in (DRIVE_C, MEDIUM) for p in d.rglob("*")}


def serve(cls, rows):
    """Makes the prefix, once per build tree; starts one server for all runs of a test
    class, to its end (should this process be killed, 30 s more); lays out a fresh
    medium with the rows' files."""
    if not (PREFIX / "system.reg").exists():
        (WORK / "locale").mkdir(parents=True, exist_ok=True)
        subprocess.run(["localedef", "-i", "ja_JP", "-f", "UTF-8", WORK / "locale/ja_JP.UTF-8"], check=True)
        wine("wineboot", "-i")
        subprocess.run([SERVER, "-w"], env=ENV)  # until the registry is saved
    subprocess.run([SERVER, "-k"], env=ENV, stderr=subprocess.DEVNULL)
    subprocess.run([*AS_USER, SERVER, "-p30"], env=ENV, stdout=subprocess.DEVNULL, check=True)
    cls.addClassCleanup(subprocess.run, [SERVER, "-k"], env=ENV)
    subprocess.run(["rm", "-rf", MEDIUM, DRIVE_C / "runs", PREFIX / "dosdevices/d:"], check=True)
    (PREFIX / "dosdevices/d:").symlink_to(MEDIUM)
    for r in rows:
        for path, data in r.files.items():
            unix(path).parent.mkdir(parents=True, exist_ok=True)
            unix(path).write_bytes(data.read_bytes() if isinstance(data, Path) else data)
            unix(path).chmod(0o444 if r.readonly and path == r.logfile else 0o644)
        if r.readonly and r.logfile not in r.files:  # a folder that takes no new file
            unix(r.logfile).parent.mkdir()
            unix(r.logfile).parent.chmod(0o555)


def batch(rows, env=ENV, in_turn=False):
    """Runs the rows in one run_exact.exe, at once or in turn: by name, each one's exit
    statuses and the processes it left, with when the batch began and ended."""
    (WORK / "request.txt").write_bytes("".join(
        f"{r.copies}\n{r.program}\nC:\\runs\\{r.name}\n{r.line}\n" for r in rows).encode("cp932"))
    began = datetime.now(LOCAL)
    out = wine(RUNNER, f"Z:{WORK}\\request.txt".replace("/", "\\"), *["in-turn"] * in_turn, env=env)[1]
    ended = datetime.now(LOCAL)
    return {r.name: (status, began, ended) for r, status in zip(rows, out.splitlines())}


def check_rows(test, rows, results):
    """Each row exited 0, left nothing running, started exactly its programs and
    logged its entries."""
    for r in rows:
        with test.subTest(r.name):
            status, *during = results.get(r.name, ("no result",))
            test.assertEqual(status, "0 " * r.copies + "0", "exit statuses, processes left")
            record = unix(f"C:\\runs\\{r.name}\\starts.txt").read_bytes().decode("cp932")
            test.assertEqual(sorted(re.findall(r'^"([^"]*)" ?(.*)\t(.*)\r$', record, re.M)), r.starts, "starts")
            log = entries(unix(r.logfile), during) if r.log else []
            test.assertEqual(REFUSED in log, REFUSED in (r.log or []), "a start refused as the launcher itself")
            rest = iter(log)  # the entries after the last one found
            if r.log and (r.whole or not all(entry in rest for entry in r.log)):
                test.assertEqual(log, r.log, "the log, or entries it must hold in this order")


class Tables(unittest.TestCase):
    def test_imports_exports_manifest_and_version(self):
        dump = subprocess.run([ENVIRON["STARTPOINT_OBJDUMP"], "-p", LAUNCHER], capture_output=True, text=True).stdout
        imports = set(re.findall(r"dll name: (\S+)\.dll", dump.lower()))  # only DLLs that ship with Windows
        self.assertTrue(imports and imports <= set("kernel32 advapi32 shell32 msvcrt ole32".split()), imports)
        exports = dump.split("[Ordinal/Name Pointer] Table\n", 1)[1].split("\n\n", 1)[0]
        self.assertEqual(set(re.findall(r"\] (\S+)", exports)),
                         set("setLogFilename enableLogFile disableLogFile getCurrentDateAndTime qel_log".split()))
        self.assertIn("(Windows GUI)", dump)
        image, version = LAUNCHER.read_bytes(), ENVIRON["STARTPOINT_VERSION"]
        self.assertEqual(re.findall(rb'requestedExecutionLevel\s+level="(\w+)"', image), [b"asInvoker"])
        self.assertEqual(set(re.findall(rb'supportedOS\s+Id="{([^}]+)}"', image)), set((  # Vista to 11
            b"e2011457-1546-43c5-a5fe-008deee3d3f0 35138b9a-5d96-4fbd-8e2d-a2440225f93a 4a2f28e3-53b9-4441-ba9c-"
            b"d69d4a4a6e38 1f676c76-80e1-4239-95bb-83d0f6d0da78 8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a").split()))
        fixed = image.find(b"\xbd\x04\xef\xfe") + 8  # VS_FIXEDFILEINFO's version words
        ms, ls = (int.from_bytes(image[at:at + 4], "little") for at in (fixed, fixed + 4))
        self.assertEqual((fixed > 8, f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}"), (True, version))
        description = "Windowless launcher for install media"
        for pair in ("ProductName", "startpoint"), ("FileVersion", version), ("FileDescription", description):
            self.assertRegex(image, b"(\0\0)*".join(re.escape(f"{text}\0".encode("utf-16-le")) for text in pair))


class Runs(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        serve(cls, ROWS)
        # Also starts Wine's services, outside the runs' jobs.
        assert wine("reg", "import", f"Z:{HERE}\\registry.reg".replace("/", "\\"), "/reg:64")[0] == 0, "reg import"
        cls.before, cls.results = snapshot(), {}
        for env in ENV, JAPANESE:
            cls.results.update(batch([r for r in ROWS if r.env is env], env))
        cls.after = snapshot()

    def test_rows(self):
        check_rows(self, ROWS, self.results)

    def test_no_other_file_changed(self):
        named = {unix(r.logfile) for r in ROWS if r.log} | {unix(f"C:\\runs\\{r.name}\\starts.txt") for r in ROWS}
        changed = {p for p in self.before.keys() | self.after.keys() if self.before.get(p) != self.after.get(p)}
        self.assertEqual(sorted(map(str, changed - named)), [])

    def test_checker_agrees_with_the_launcher(self):
        """The checker, given a row's command line in the row's folder, changes no file, names
        the start the launcher made, and prints the trace it wrote or says why it wrote none."""
        rows = [r for r in ROWS if r.check is not None]
        checker = f"Z:{BUILD}\\startpoint-check.exe".replace("/", "\\")
        (WORK / "request.txt").write_bytes("".join(
            f'1\n{checker}\nC:\\runs\\{r.name}\n"{checker}" {r.line}\n' for r in rows).encode("cp932"))
        out = wine(RUNNER, f"Z:{WORK}\\request.txt".replace("/", "\\"), "in-turn")[1]
        self.assertEqual(snapshot(), self.after, "files the checker changed")
        parts = re.split(r"^(\d+) 0\n", out, flags=re.M)  # each report, then its exit status
        self.assertEqual(len(parts), 2 * len(rows) + 1, out)
        for r, report, status in zip(rows, parts[::2], parts[1::2]):
            with self.subTest(r.name):
                self.assertEqual(int(status), r.check, report)
                self.assertIn("".join(f"\nWould start {ran(f)}\n  Parameters: {p}\n  Working directory: {d}"
                                      for f, p, d in r.starts) or "\nWould start nothing.", report)
                for words in r.says.split("|"):
                    self.assertIn(words, report)
                trace = report.partition("Trace log, as the launcher writes it with -log\n")[2].splitlines()
                self.assertEqual([ENTRY.fullmatch(line)[9] for line in trace],
                                 entries(unix(r.logfile)) if r.log else [])


if __name__ == "__main__":
    unittest.main()
