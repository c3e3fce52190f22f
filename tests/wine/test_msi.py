"""The real launcher over what the real Windows Installer engine writes: the
build's example packages, one 64-bit and one 32-bit, installed through the
launcher and removed by msiexec in the Wine tests' prefix. Rows as in
test_exe.py, run in turn, each waited on with the msiexec that the shell
starts for it. The checker runs on the uninstalled and on the installed
machine, and must foresee the launcher's start. The rows change Program Files
and the registry, so they run apart from the other runs' snapshot."""

import unittest

from test_exe import APP_STARTED, BUILD, ENVIRON, JOINED, STARTED, batch, check_rows, row, serve, wine

OWN, OTHER = ("64", "32") if ENVIRON["STARTPOINT_BITS"] == "64" else ("32", "64")
ARCH, FILES = {"64": "x64", "32": "x86"}, {"64": "C:\\Program Files", "32": "C:\\Program Files (x86)"}
PROGRAM = {bits: f"{FILES[bits]}\\Startpoint Example\\example.exe" for bits in ARCH}
KEY, INSTALL = "HKEY_LOCAL_MACHINE{}\\Software\\Startpoint Example\\", "@\\Setup\\example-{}.msi|/passive|" + STARTED
FULL, OTHER_FULL = ({"InstalledRegFullFilename": KEY.format(view) + "ProgramPath"} for view in ("", OTHER))
FOLDER = {"InstalledRegPath": KEY.format("") + "InstallDir"}


def package(name, bits, ini, log):
    """A run of D:\\<name>\\start.exe, whose installer is the build's package of these bits."""
    msi = f"example-{ARCH[bits]}.msi"
    return row(name, ini={"InstallParameters": "/passive", "InstalledAppParameters": "--by " + name, **ini},
               starts="", log=log,
               setup="Setup\\" + msi, files={f"D:\\{name}\\Setup\\{msi}": BUILD / "examples" / msi})


# In turn: both packages installed through the launcher, then each route to a program
# that one of them installed; the own view is read while the other holds the same key.
ROWS = [package("install", OWN, FULL, INSTALL.format(ARCH[OWN])),
        package("install_other", OTHER, OTHER_FULL, INSTALL.format(ARCH[OTHER])),
        package("full", OWN, FULL, f"{PROGRAM[OWN]}|--by full|{APP_STARTED}"),
        package("folder", OWN, {**FOLDER, "InstalledRegFilename": KEY.format("") + "ProgramName"},
                f"{PROGRAM[OWN]}|--by folder|{JOINED}"),
        package("fixed", OWN, {**FOLDER, "InstalledAppFilename": "example.exe"}, f"{PROGRAM[OWN]}|--by fixed|{JOINED}"),
        package("other", OTHER, OTHER_FULL, f"{PROGRAM[OTHER]}|--by other|{APP_STARTED}")]
AGAIN = package("again", OWN, FULL, INSTALL.format(ARCH[OWN]))  # after the uninstall


def uninstall():
    """Removes both products; each msiexec's exit status (1605: it was not installed)."""
    return [wine("msiexec", "/x", f"Z:{BUILD}/examples/example-{a}.msi".replace("/", "\\"), "/qn")[0]
            for a in ARCH.values()]


@unittest.skipUnless((BUILD / "examples/example-x64.msi").exists(), "wixl is not installed: no example packages")
class Packages(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        serve(cls, ROWS + [AGAIN])
        uninstall()  # whatever an earlier run left
        check = lambda name: wine(BUILD / "startpoint-check.exe", f"D:\\{name}\\start.exe")  # noqa: E731
        cls.uninstalled, cls.results = check("install"), batch(ROWS, in_turn=True)
        cls.installed, cls.removed = check("full"), uninstall()
        cls.results.update(batch([AGAIN]))

    def test_rows(self):
        self.assertEqual(self.removed, [0, 0], "msiexec /x")
        check_rows(self, ROWS + [AGAIN], self.results)

    def test_checker_foresees_the_launchers_start(self):
        status, out = self.installed
        self.assertIn("\nWould start {}\n  Parameters: {}\n".format(*ROWS[2].log), out)
        self.assertEqual(status, 0, out)
        # Wine's shell opens a package with msiexec /i "%1", which drops the parameters.
        status, out = self.uninstalled
        msiexec = "\nWould start C:\\windows\\system32\\msiexec.exe\n  Parameters: /i \"{}\"\n"
        self.assertIn(msiexec.format(ROWS[0].log[0]), out)
        self.assertIn("the parameters /passive would be dropped", out)
        self.assertEqual(status, 1, out)
