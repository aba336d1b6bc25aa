"""Publisher-signed answers and HTTPS, end to end under Wine: keys made with
qv-publisher, entries signed by the update service stand-in, the launcher
verifying them with the platform's CNG; a throwaway CA in the test prefix's
machine Root store for the TLS runs of the service and the download server."""
import hashlib
import shutil
import subprocess
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[3] / "testbed" / "e2e"))
sys.path.insert(0, str(Path(__file__).resolve().parent))
import testcerts  # noqa: E402
import winharness as h  # noqa: E402
from test_download import NETWORK_UNSTABLE, OLD_VERSIONS, UPDATE_ERROR, DownloadTest, catalogue  # noqa: E402

REQUEST_ERROR = "获取服务器信息出错，原因如下：\r\n\r\n网络错误或者升级文件版本信息解析错误。"
PUBLISHER = h.HOST_TESTBED.parent / "publisher" / "qv-publisher"
NAMES = ["quorvel.exe", "regmarker.dll", "Lumen_Data.dat"]


def make_key(folder, name):
    """A fresh key pair: its private key file and its PublisherKeys value."""
    key = folder / (name + ".pem")
    made = subprocess.run([str(PUBLISHER), "keygen", str(key)], capture_output=True, text=True, timeout=30,
                          check=True)
    line = made.stdout.strip()
    assert line.startswith("PublisherKeys="), line
    return key, line[len("PublisherKeys="):]


class SignedTest(DownloadTest):
    """An installation whose startqvl.ini holds publisher keys."""
    keys = None

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        folder = h.scratch_folder("keys")
        cls.key_a, cls.public_a = make_key(folder, "a")
        cls.key_b, cls.public_b = make_key(folder, "b")
        cls.digests = {name: hashlib.sha256((cls.sources.archives / (name + ".comps")).read_bytes()).hexdigest()
                       for name in NAMES}

    def signed_catalogue(self):
        return catalogue(digests=self.digests)

    def write_settings(self):
        super().write_settings()
        if self.keys is not None:
            with open(self.folder / "startqvl.ini", "a") as ini:
                ini.write("PublisherKeys=%s\r\n" % self.keys)

    def downloads(self):
        return [r["path"] for r in self.service.requests() if r["path"].startswith("/download/")]

    def assertRefusedBeforeAnything(self, ui):
        """The answer was unreadable: nothing deleted, downloaded, registered or started."""
        self.assertNothingChanged(ui, REQUEST_ERROR, status=14)
        self.assertEqual(self.downloads(), [])
        self.assertEqual((self.folder / "quorvel.exe").read_bytes(), (h.BIN / "quorvel.exe").read_bytes())
        self.assertFalse((self.folder / "regmarker.dll").exists())
        self.assertFalse((self.folder / "regmarker.dll.registered").exists())


class Signed(SignedTest):
    def setUp(self):
        super().setUp()
        self.keys = self.public_a

    def test_a_signed_answer_is_installed(self):
        self.serve(xml=self.signed_catalogue(), sign_key=self.key_a)

        ui = self.run_launcher()

        self.assertEqual(ui.boxes(), [])
        self.assertInstalled()

    def test_any_signed_field_changed_by_one_character_refuses_the_whole_answer(self):
        flipped = self.digests["regmarker.dll"]
        flipped = ("1" if flipped[0] != "1" else "2") + flipped[1:]
        changes = [
            "change:2:cFileName:regmarker.dl1",
            "change:2:cVersion:3",
            "change:3:cFilePath:[CUR_PATH]T",
            "change:2:cFilePath:[SYS_PATH]",
            "change:2:cIfReg:0",
            "change:3:cIfReg:1",
            "change:1:cIfPrivate:1",
            "change:2:cSHA256:" + flipped,
        ]
        for change in changes:
            with self.subTest(change=change):
                self.serve([change], xml=self.signed_catalogue(), sign_key=self.key_a)
                self.assertRefusedBeforeAnything(self.run_launcher())

    def test_another_entrys_signature_or_none_is_refused(self):
        for faults, key in [(["copy-signature:1:2"], self.key_a), ([], None)]:
            with self.subTest(faults=faults, signed=key is not None):
                self.serve(faults, xml=self.signed_catalogue(), sign_key=key)
                self.assertRefusedBeforeAnything(self.run_launcher())

    def test_an_entry_without_its_archive_digest_is_refused_even_when_signed(self):
        self.serve(xml=catalogue(), sign_key=self.key_a)
        self.assertRefusedBeforeAnything(self.run_launcher())

    def test_an_archive_the_answer_does_not_name_is_refused_before_unpacking(self):
        swapped = h.scratch_folder("swapped")
        for name in NAMES:
            shutil.copy(self.sources.archives / (name + ".comps"), swapped)
        # A valid archive of the same name, holding something else.
        shutil.copy(self.sources.archives / "Lumen_Data.dat.comps", swapped / "regmarker.dll.comps")
        self.serve(xml=self.signed_catalogue(), sign_key=self.key_a, downloads=swapped)

        ui = self.run_launcher()

        self.assertNothingChanged(ui, UPDATE_ERROR)
        self.assertFalse((self.folder / "regmarker.dll").exists())
        self.assertFalse((self.folder / "Lumen_Data.dat").exists(), "the swapped archive was unpacked")
        self.assertFalse((self.folder / "regmarker.dll.registered").exists())


class Keys(SignedTest):
    def test_the_wrong_key_refuses_and_the_second_of_two_keys_accepts(self):
        self.serve(xml=self.signed_catalogue(), sign_key=self.key_b)
        self.keys = self.public_a
        self.assertRefusedBeforeAnything(self.run_launcher())

        self.keys = "%s, %s" % (self.public_a, self.public_b)
        ui = self.run_launcher()
        self.assertEqual(ui.boxes(), [])
        self.assertInstalled()

    def test_cng_is_loaded_by_the_first_check_not_by_every_start(self):
        # Loading it initialises a whole cryptographic library, which a start without keys would pay for.
        objdump = "%s-w64-mingw32-objdump" % h.ARCH
        headers = subprocess.run([objdump, "-p", str(h.BIN / "startqvl.exe")], capture_output=True, text=True,
                                 timeout=60, check=True).stdout
        imported = [line.split(":", 1)[1].strip().lower() for line in headers.splitlines() if "DLL Name:" in line]
        self.assertIn("kernel32.dll", imported)
        self.assertNotIn("bcrypt.dll", imported)

    def test_without_keys_a_signed_answer_is_taken_as_before(self):
        self.serve(xml=self.signed_catalogue(), sign_key=self.key_a)
        ui = self.run_launcher()
        self.assertEqual(ui.boxes(), [])
        self.assertInstalled()

    def test_a_setting_that_is_no_key_ends_the_launcher_before_any_request(self):
        for value in ["", "abc", self.public_a[:-4], self.public_a + ",", self.public_a + ";" + self.public_b]:
            with self.subTest(value=value):
                self.keys = value
                ui = self.run_launcher()
                boxes = ui.boxes()
                self.assertEqual(len(boxes), 1, boxes)
                self.assertIn("startqvl.ini", boxes[0]["text"])
                self.assertIn("PublisherKeys", boxes[0]["text"])
                self.assertEqual(boxes[0]["title"], "错误")
                self.assertEqual(self.exit_status, 12)
                self.assertEqual(self.service.requests(), [])
                self.assertEqual(self.versions(), OLD_VERSIONS)
                self.assertFalse(self.client_started(timeout=1))


class Https(SignedTest):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.certs = testcerts.TestCertificates(h.scratch_folder("certs"))
        added = h.wine(h.BIN / "rootstore.exe", "add", h.win_path(cls.certs.ca_der), timeout=60)
        assert added.returncode == 0, added.stderr
        cls.addClassCleanup(h.wine, h.BIN / "rootstore.exe", "remove", h.win_path(cls.certs.ca_der), timeout=60)

    def test_a_whole_signed_update_over_tls(self):
        self.keys = self.public_a
        self.serve(xml=self.signed_catalogue(), sign_key=self.key_a, tls=self.certs.good)
        self.assertTrue(self.service.url.startswith("https://"))

        ui = self.run_launcher()

        self.assertEqual(ui.boxes(), [])
        self.assertInstalled()
        self.assertEqual(self.downloads(), ["/download/" + name + ".comps" for name in NAMES])

    def test_a_service_whose_certificate_does_not_verify_is_not_asked(self):
        for fault in ["unknown_ca", "wrong_host", "expired"]:
            with self.subTest(certificate=fault):
                self.serve(tls=getattr(self.certs, fault))
                ui = self.run_launcher()
                self.assertNothingChanged(ui, REQUEST_ERROR, status=13)
                self.assertEqual(self.service.requests(), [], "a request got through")

    def test_a_download_server_whose_certificate_does_not_verify_gets_no_transfer(self):
        for fault in ["unknown_ca", "wrong_host", "expired"]:
            with self.subTest(certificate=fault):
                with h.UpdateService(catalogue(), downloads=self.sources.archives,
                                     tls=getattr(self.certs, fault)) as downloads:
                    self.serve(xml=catalogue(downloads.url + "/download"))
                    ui = self.run_launcher()
                    self.assertNothingChanged(ui, NETWORK_UNSTABLE)
                    self.assertEqual(downloads.requests(), [], "a transfer got through")


if __name__ == "__main__":
    unittest.main()
