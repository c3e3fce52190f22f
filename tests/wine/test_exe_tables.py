"""The executable as shipped: imports only DLLs that ship with Windows,
exports the log's five functions by name, and carries its manifest and
version resource."""

import os
import re
import struct
import subprocess
import unittest
import xml.etree.ElementTree as ET
from pathlib import Path

SYSTEM_DLLS = {"kernel32.dll", "advapi32.dll", "shell32.dll", "msvcrt.dll", "ole32.dll"}
EXPORTS = {"setLogFilename", "enableLogFile", "disableLogFile", "getCurrentDateAndTime",
           "qel_log"}
VISTA_TO_11 = {"{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
               "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
               "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}
LAUNCHER = os.environ["STARTPOINT_LAUNCHER"]


def utf16(text):
    return text.encode("utf-16-le")


class ExeTables(unittest.TestCase):
    def test_imports_and_exports(self):
        dump = subprocess.run([os.environ["STARTPOINT_OBJDUMP"], "-p", LAUNCHER],
                              capture_output=True, text=True, check=True).stdout
        imports = {name.lower() for name in re.findall(r"DLL Name: (\S+)", dump)}
        self.assertTrue(imports, "no import table found")
        self.assertLessEqual(imports, SYSTEM_DLLS)
        name_table = dump.split("[Ordinal/Name Pointer] Table\n", 1)[1].split("\n\n", 1)[0]
        exports = set(re.findall(r"\[\s*\d+\] (\S+)", name_table))
        self.assertEqual(exports, EXPORTS)
        self.assertIn("(Windows GUI)", dump)


class Resources(unittest.TestCase):
    image = Path(LAUNCHER).read_bytes()

    def test_manifest_runs_as_invoker_on_vista_to_11(self):
        start, end = self.image.find(b"<assembly"), self.image.find(b"</assembly>")
        self.assertGreaterEqual(start, 0, "no manifest")
        manifest = ET.fromstring(self.image[start:end + len(b"</assembly>")])
        levels = [e.get("level") for e in manifest.iter()
                  if e.tag.endswith("requestedExecutionLevel")]
        self.assertEqual(levels, ["asInvoker"])
        supported = {e.get("Id") for e in manifest.iter() if e.tag.endswith("supportedOS")}
        self.assertEqual(supported, VISTA_TO_11)

    def test_version_resource_carries_the_project_version(self):
        version = os.environ["STARTPOINT_VERSION"]
        fixed = self.image.find(struct.pack("<I", 0xFEEF04BD))
        self.assertGreaterEqual(fixed, 0, "no VS_FIXEDFILEINFO")
        ms, ls = struct.unpack_from("<II", self.image, fixed + 8)
        self.assertEqual(f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}", version)
        for name, value in (("ProductName", "startpoint"), ("FileVersion", version),
                            ("FileDescription", "Windowless launcher for install media")):
            self.assertRegex(self.image, re.escape(utf16(name + "\0")) + b"(\0\0)*"
                             + re.escape(utf16(value + "\0")))


if __name__ == "__main__":
    unittest.main()
