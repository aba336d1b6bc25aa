"""The self-registering libraries of a Windows build export the entry points
that regsvr32 and COM look up by their plain names. At i686 a __stdcall
function's symbol is decorated (DllRegisterServer@0) unless the link drops
the decoration, and GetProcAddress(library, "DllRegisterServer") then finds
nothing. Reads the export tables with the build's objdump; runs no program."""
import os
import subprocess
import unittest
from pathlib import Path

OBJDUMP = os.environ.get("QV_OBJDUMP", "objdump")
BIN = Path(os.environ.get("QV_BIN", "."))
COM_ENTRIES = ["DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer", "DllUnregisterServer"]
LIBRARIES = {
    "Lumen_Control.ocx": COM_ENTRIES,
    "zkemkeeper.dll": COM_ENTRIES,
    "regmarker.dll": ["DllRegisterServer", "DllUnregisterServer"],
}


def exported_names(path):
    text = subprocess.run([OBJDUMP, "-p", str(path)], check=True, stdout=subprocess.PIPE, timeout=60).stdout
    lines = text.decode("utf-8", "replace").splitlines()
    try:
        start = lines.index("[Ordinal/Name Pointer] Table") + 1
    except ValueError:
        return []
    names = []
    for line in lines[start:]:
        if not line.strip():
            break
        names.append(line.split("]", 1)[1].strip())
    return names


class Exports(unittest.TestCase):
    def test_the_entry_points_carry_their_plain_names(self):
        for library, entries in LIBRARIES.items():
            with self.subTest(library=library):
                names = exported_names(BIN / library)
                self.assertEqual([entry for entry in entries if entry not in names], [], names)
                self.assertEqual([name for name in names if "@" in name], [])


if __name__ == "__main__":
    unittest.main()
