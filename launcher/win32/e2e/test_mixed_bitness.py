"""The 32-bit launcher on 64-bit Windows (the i686 build in a 64-bit prefix):
a [SYS_PATH] entry lands in the folder that 32-bit programs see as the system
folder (SysWOW64), and the regsvr32 the launcher starts registers the 32-bit
control library from there, so that a 32-bit host, the main-client stand-in
the launcher then starts, creates its controls."""
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[3] / "testbed" / "e2e"))
import winharness as h  # noqa: E402

CUSTOMER = "School01"
SALT = "quor.vel.salts"
LIBRARY = "Lumen_Control.ocx"
CATALOGUE = ('<catalogue customer="%s" salt="%s"><File><cFileName>%s</cFileName><cVersion>2</cVersion>'
             "<cFilePath>[SYS_PATH]</cFilePath><cDownLoadPath>{base}/download</cDownLoadPath>"
             "<cIfReg>1</cIfReg><cIfPrivate>0</cIfPrivate></File></catalogue>" % (CUSTOMER, SALT, LIBRARY))


def remove_from_system_folders():
    """Unregisters and deletes the library wherever an earlier run left it."""
    for folder in ("syswow64", "system32"):
        path = h.WINEPREFIX / "drive_c" / "windows" / folder / LIBRARY
        if path.exists():
            h.wine("regsvr32", "/u", "/s", h.win_path(path), timeout=60)
            path.unlink()


class SystemFolderEntry(unittest.TestCase):

    def setUp(self):
        h.end_strays("quorvel.exe", "startqvl.exe")
        remove_from_system_folders()
        self.addCleanup(remove_from_system_folders)
        sources = h.scratch_folder("sources")
        h.copy_program(LIBRARY, sources)
        h.arj_archive(sources, LIBRARY)
        self.service = h.UpdateService(CATALOGUE, downloads=sources)
        self.service.__enter__()
        self.addCleanup(self.service.__exit__, None, None, None)
        self.folder = h.scratch_folder("install") / "Quorvel Client"
        (self.folder / "Tools").mkdir(parents=True)
        for name, target in [("startqvl.exe", self.folder), ("wait.avi", self.folder),
                             ("quorvel.exe", self.folder), ("Arj32.exe", self.folder / "Tools")]:
            h.copy_program(name, target)
        h.write_ansi(self.folder / "FileVersion.cfg", "quorvel.exe=1\r\n")
        (self.folder / "startqvl.ini").write_text("[Update]\r\nServiceUrl=%s\r\nCustomerCode=%s\r\nSigningSalt=%s\r\n"
                                                  % (self.service.url, CUSTOMER, SALT))
        self.addCleanup(lambda: (self.folder / "quorvel.exit").touch())

    def form_log(self):
        log = self.folder / "quorvel.form.log"
        return [line.split("\t") for line in log.read_text(encoding="utf-8").splitlines()] if log.exists() else []

    def test_the_library_lands_in_syswow64_and_the_started_32_bit_client_hosts_its_controls(self):
        with h.UiDriver() as ui:
            launcher = h.wine_start(self.folder / "startqvl.exe", timeout=120)
            self.addCleanup(h.end_process, launcher, 1)
            self.assertTrue(h.wait_until(lambda: launcher.poll() is not None, 120),
                            "the launcher did not end: %s" % ui.boxes())
        self.assertEqual(ui.boxes(), [])
        windows = h.WINEPREFIX / "drive_c" / "windows"
        self.assertEqual((windows / "syswow64" / LIBRARY).read_bytes(), (h.BIN / LIBRARY).read_bytes())
        self.assertFalse((windows / "system32" / LIBRARY).exists(), "written into the 64-bit system folder")
        self.assertIn("%s=2" % LIBRARY, h.read_ansi(self.folder / "FileVersion.cfg"))
        # The stand-in creates the controls by ProgID: only the registration regsvr32 made can give them.
        self.assertTrue(h.wait_until(lambda: any(row[0] == "controls" for row in self.form_log()), 60),
                        self.form_log())
        self.assertEqual([row[2] for row in self.form_log() if row[0] == "controls"], ["hosted 3"])


if __name__ == "__main__":
    unittest.main()
