"""The real launcher over what NSIS installers write: the three kinds of
nsis/product.nsi, built with the build's run_exact.exe as their program, each
installed through the launcher with /S, started as installed, removed by its
own uninstaller with /S and installed again, in the Wine tests' prefix. The
two installers for all users write the same values into the two registry
views, %ProgramFiles% in an expandable one: the view that is not the
launcher's own is read as a program of its bitness would. Rows as in
test_msi.py, run in turn."""

import os
import pwd
import unittest

from test_exe import APP_STARTED, BUILD, ENVIRON, JOINED, STARTED, batch, check_rows, row, serve, unix

OWN, OTHER = ("64", "32") if ENVIRON["STARTPOINT_BITS"] == "64" else ("32", "64")
USER = ENVIRON.get("USER") or pwd.getpwuid(os.getuid()).pw_name  # Wine's name for the user's profile
HOME = {p: f"{folder}\\Startpoint NSIS" for p, folder in
        {"64": "C:\\Program Files", "32": "C:\\Program Files (x86)", "user": f"C:\\users\\{USER}\\AppData\\Local"}.items()}
UNINSTALL = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Startpoint NSIS\\"
# The own view's program with its icon index cut, the other view's expandable path, the per-user folder.
INI = {OWN: {"InstalledRegFullFilename": f"HKEY_LOCAL_MACHINE{UNINSTALL}DisplayIcon", "InstalledRegFullFilenameRemove": "0"},
       OTHER: {"InstalledRegFullFilename": f"HKEY_LOCAL_MACHINE{OTHER}\\Software\\Startpoint NSIS\\ProgramPath"},
       "user": {"InstalledRegPath": f"HKEY_CURRENT_USER{UNINSTALL}InstallLocation", "InstalledAppFilename": "app.exe"}}


def medium(step, p):
    """A run of D:\\<step>_<p>\\start.exe, whose installer is the product's. At the step "start"
    it starts the installed program, run_exact.exe, which records its start."""
    name, setup, program = f"{step}_{p}", f"nsis-{p}.exe", f"{HOME[p]}\\app.exe"
    r = row(name, ini={"InstallParameters": "/S", "InstalledAppParameters": "--by " + name, **INI[p]},
            starts=f"{program}|--by {name}|{HOME[p]}" if step == "start" else "",
            log={"start": JOINED if p == "user" else APP_STARTED}.get(step, f"@\\Setup\\{setup}|/S|{STARTED}"),
            setup="Setup\\" + setup, files={f"D:\\{name}\\Setup\\{setup}": BUILD / "tests/wine" / setup})
    r.files.pop(program, None)  # the installer puts it there
    return r


def removal(p):
    """The product's uninstaller with /S, run in place, so that it ends when the product is gone."""
    r = row("remove_" + p, starts="", log=None)
    r.program, r.line = f"{HOME[p]}\\uninstall.exe", f'"{HOME[p]}\\uninstall.exe" /S _?={HOME[p]}'
    return r


INSTALL, START, AGAIN = ([medium(step, p) for p in INI] for step in ("install", "start", "again"))
REMOVE = [removal(p) for p in INI]


@unittest.skipUnless((BUILD / "tests/wine/nsis-user.exe").exists(), "makensis is not installed: no NSIS installers")
class Installers(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        serve(cls, INSTALL + START + REMOVE + AGAIN)
        batch([r for r in REMOVE if unix(r.program).exists()], in_turn=True)  # what an earlier run left
        cls.results = batch(INSTALL + START + REMOVE, in_turn=True)
        cls.left = [p for p in INI if unix(f"{HOME[p]}\\app.exe").exists()]
        cls.results.update(batch(AGAIN, in_turn=True))

    def test_rows(self):
        self.assertEqual(self.left, [], "programs the uninstallers left")
        check_rows(self, INSTALL + START + REMOVE + AGAIN, self.results)
