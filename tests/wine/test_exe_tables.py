"""The executable imports only DLLs that ship with Windows and exports the
log's five functions by name."""

import os
import re
import subprocess
import unittest

SYSTEM_DLLS = {"kernel32.dll", "advapi32.dll", "shell32.dll", "msvcrt.dll", "user32.dll",
               "ole32.dll"}
EXPORTS = {"setLogFilename", "enableLogFile", "disableLogFile", "getCurrentDateAndTime",
           "qel_log"}


class ExeTables(unittest.TestCase):
    def test_imports_and_exports(self):
        dump = subprocess.run([os.environ["STARTPOINT_OBJDUMP"], "-p",
                               os.environ["STARTPOINT_LAUNCHER"]],
                              capture_output=True, text=True, check=True).stdout
        imports = {name.lower() for name in re.findall(r"DLL Name: (\S+)", dump)}
        self.assertTrue(imports, "no import table found")
        self.assertLessEqual(imports, SYSTEM_DLLS)
        name_table = dump.split("[Ordinal/Name Pointer] Table\n", 1)[1].split("\n\n", 1)[0]
        exports = set(re.findall(r"\[\s*\d+\] (\S+)", name_table))
        self.assertEqual(exports, EXPORTS)
        self.assertIn("(Windows GUI)", dump)


if __name__ == "__main__":
    unittest.main()
