"""startqvl.exe updating an installation end to end under Wine: archives made
with Debian's arj and served by the loopback service, unpacked by Arj32.exe
from the installation's Tools folder, a library registered with regsvr32, the
versions recorded and the main client started; cancel, faults and refusals."""
import hashlib
import os
import shutil
import subprocess
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[3] / "testbed" / "e2e"))
import winharness as h  # noqa: E402

CUSTOMER = "School01"
SALT = "quor.vel.salts"
UPDATE_ERROR = "系统文件升级出现错误。"
NETWORK_UNSTABLE = "可能网络不稳定，目前无法下载文件。"
RUNNING = "系统需要升级，请先关闭正在运行中的Quorvel（及其子程序）后重新启动。"
CANCEL_QUESTION = "真的要取消升级吗？"
OLD_VERSIONS = "quorvel.exe=1\r\nregmarker.dll=1\r\nLumen_Data.dat=1\r\n"
# Many 4096-byte blocks, so that the throttled transfer lasts seconds.
DATA_SIZE = 600 * 1024


def catalogue(download_base="{base}/download", digests=None, files=None):
    """files: (name, version, registered) in the service's order; the three of this suite without them."""
    digests = digests or {}
    files = files or [("quorvel.exe", 2, 0), ("regmarker.dll", 2, 1), ("Lumen_Data.dat", 2, 0)]
    entries = "".join(
        "<File><cFileName>%s</cFileName><cVersion>%d</cVersion><cFilePath>[CUR_PATH]</cFilePath>"
        "<cDownLoadPath>%s</cDownLoadPath><cIfReg>%d</cIfReg><cIfPrivate>0</cIfPrivate>%s</File>"
        % (name, version, download_base, reg,
           "<cSHA256>%s</cSHA256>" % digests[name] if name in digests else "")
        for name, version, reg in files)
    return '<catalogue customer="%s" salt="%s">%s</catalogue>' % (CUSTOMER, SALT, entries)


def data_bytes():
    # Random, so that the archive stays as big as the file.
    return os.urandom(DATA_SIZE)


def sources():
    """The new program files and their archives."""
    return h.UpdateSources({"quorvel.exe": (h.BIN / "quorvel.exe").read_bytes(),
                            "regmarker.dll": (h.BIN / "regmarker.dll").read_bytes(),
                            "Lumen_Data.dat": data_bytes()})


class DownloadTest(unittest.TestCase):
    faults = ()

    @classmethod
    def setUpClass(cls):
        h.end_strays("quorvel.exe", "startqvl.exe")
        cls.sources = sources()

    def serve(self, faults=(), xml=None, **options):
        """options: further arguments of h.UpdateService (downloads, sign_key, tls)."""
        if getattr(self, "service", None):
            self.service.__exit__(None, None, None)
        if "downloads" not in options:
            options["downloads"] = self.sources.archives
        self.service = h.UpdateService(xml or catalogue(), faults=faults, **options)
        self.service.__enter__()
        self.addCleanup(self.service.__exit__, None, None, None)  # this service, also after a restart

    def setUp(self):
        self.service = None
        self.serve(self.faults)
        self.folder = h.scratch_folder("install") / "Quorvel Client"
        (self.folder / "Tools").mkdir(parents=True)
        h.copy_program("startqvl.exe", self.folder)
        h.copy_program("wait.avi", self.folder)
        h.copy_program("Arj32.exe", self.folder / "Tools")
        h.copy_program("quorvel.exe", self.folder)  # the old client
        h.write_ansi(self.folder / "FileVersion.cfg", OLD_VERSIONS)
        self.addCleanup(self.stop_client)

    def write_settings(self):
        (self.folder / "startqvl.ini").write_text(
            "[Update]\r\nServiceUrl=%s\r\nCustomerCode=%s\r\nSigningSalt=%s\r\n" % (self.service.url, CUSTOMER, SALT))

    def run_launcher(self, answers=(), during=None, arguments=(), env=None):
        self.write_settings()
        with h.UiDriver(answers=answers, watch=("QuorvelDownloadWindow",)) as ui:
            launcher = h.wine_start(self.folder / "startqvl.exe", *arguments, timeout=120, env=env)
            self.addCleanup(h.end_process, launcher, 1)
            if during:
                during(ui)
            self.assertTrue(h.wait_until(lambda: launcher.poll() is not None, 120), "the launcher did not end")
        self.exit_status = launcher.returncode
        return ui

    @property
    def client_log(self):
        return self.folder / "quorvel.started.log"

    def client_started(self, timeout=20):
        return h.wait_until(lambda: self.client_log.exists() and "started" in self.client_log.read_text("utf-8"),
                            timeout)

    def stop_client(self):
        if self.client_log.exists():
            (self.folder / "quorvel.exit").touch()
            h.wait_until(lambda: "exited" in self.client_log.read_text(encoding="utf-8"), 10)

    def versions(self):
        return h.read_ansi(self.folder / "FileVersion.cfg")

    def archives_left(self):
        return sorted(p.name for p in self.folder.glob("*.comps"))

    def assertInstalled(self):
        for name in ["quorvel.exe", "regmarker.dll", "Lumen_Data.dat"]:
            self.assertEqual((self.folder / name).read_bytes(), (self.sources.files / name).read_bytes(), name)
        self.assertEqual(self.archives_left(), [])
        self.assertTrue(h.wait_until(lambda: (self.folder / "regmarker.dll.registered").exists(), 20),
                        "regsvr32 was not started on the unpacked library")
        self.assertEqual(self.versions(), "quorvel.exe=2\r\nregmarker.dll=2\r\nLumen_Data.dat=2\r\n")
        self.assertTrue(self.client_started(), "the main client was not started")
        self.assertEqual(self.exit_status, 0)

    def assertNothingChanged(self, ui, box, status=16):
        """status: the run's exit status (16: download not completed)."""
        self.assertEqual(self.exit_status, status)
        self.assertEqual([b["text"] for b in ui.boxes()], [box])
        self.assertEqual(self.versions(), OLD_VERSIONS)
        self.assertEqual(self.archives_left(), [])
        self.assertFalse(self.client_started(timeout=1), "the main client was started")


class Update(DownloadTest):
    faults = ("download-rate:400000",)

    def test_three_files_are_unpacked_registered_recorded_and_the_client_started(self):
        shot = Path(os.environ.get("QV_WORK", "/tmp")) / "download-window.png"

        def screenshot(ui):
            if h.wait_until(lambda: [w for w in ui.events("window")
                                     if any(t.startswith("已下载") for t in w.get("texts", []))], 60):
                subprocess.run(["import", "-window", "root", str(shot)], timeout=30, check=False)

        ui = self.run_launcher(during=screenshot)

        self.assertEqual(ui.boxes(), [])
        self.assertInstalled()
        texts = [t for w in ui.events("window") for t in w.get("texts", [])]
        self.assertIn("“Quorvel”正在升级，请稍候...", texts)
        self.assertIn("正在升级第 3/3 个文件（***Data.dat)...", texts)
        self.assertTrue([t for t in texts if t.startswith("已下载 ") and t.endswith("KB /秒")], texts)
        self.assertTrue(any(w["topmost"] for w in ui.events("window")))
        downloads = [r for r in self.service.requests() if r["path"].startswith("/download/")]
        self.assertEqual([r["path"] for r in downloads],
                         ["/download/quorvel.exe.comps", "/download/regmarker.dll.comps",
                          "/download/Lumen_Data.dat.comps"])
        self.assertTrue(all(r["user_agent"].startswith("Mozilla/4.0 (compatible; MSIE 8.0") for r in downloads))
        self.assertTrue(shot.exists())


class Cancel(DownloadTest):
    faults = ("download-rate:100000",)

    def click_cancel(self, ui):
        clicker = h.wine(h.BIN / "clickcancel.exe", "90", timeout=100)
        self.assertEqual(clicker.returncode, 0, "the transfer was never seen")

    def test_yes_stops_the_update_and_leaves_the_version_file(self):
        ui = self.run_launcher(answers=[(CANCEL_QUESTION, 6)], during=self.click_cancel)

        self.assertNothingChanged(ui, "取消升级后，系统将退出。\r\n\r\n" + CANCEL_QUESTION, status=17)
        self.assertEqual(ui.boxes()[0]["title"], "请确认")

    def test_no_lets_the_update_go_on(self):
        ui = self.run_launcher(answers=[(CANCEL_QUESTION, 7)], during=self.click_cancel)

        self.assertEqual([b["text"] for b in ui.boxes()], ["取消升级后，系统将退出。\r\n\r\n" + CANCEL_QUESTION])
        self.assertInstalled()


class Faults(DownloadTest):
    def test_broken_transfers_end_with_the_error_box_and_the_next_run_recovers(self):
        for fault in ["download-cut:5000", "download-status:404", "download-status:500"]:
            with self.subTest(fault=fault):
                self.serve([fault])
                ui = self.run_launcher()
                self.assertNothingChanged(ui, UPDATE_ERROR)
                self.assertEqual(ui.boxes()[0]["title"], "提示")

        self.serve(["download-no-length"])
        ui = self.run_launcher()
        self.assertEqual(ui.boxes(), [])
        self.assertInstalled()

    def test_archives_are_checked_against_the_services_digests(self):
        digests = {name: hashlib.sha256((self.sources.archives / (name + ".comps")).read_bytes()).hexdigest()
                   for name in ["quorvel.exe", "regmarker.dll", "Lumen_Data.dat"]}
        digests["quorvel.exe"] = digests["quorvel.exe"].upper()
        self.serve(xml=catalogue(digests=dict(digests, **{"Lumen_Data.dat": "0" * 64})))
        ui = self.run_launcher()
        self.assertEqual([b["text"] for b in ui.boxes()], [UPDATE_ERROR])
        self.assertEqual(self.versions(), OLD_VERSIONS)
        self.assertEqual(self.archives_left(), [])

        self.serve(xml=catalogue(digests=digests))
        ui = self.run_launcher()
        self.assertEqual(ui.boxes(), [])
        self.assertInstalled()

    def test_an_unreachable_download_server_says_the_network_is_unstable(self):
        with h.UpdateService(catalogue()) as closed:
            dead = closed.url
        self.serve(xml=catalogue(dead + "/download"))

        ui = self.run_launcher()

        self.assertNothingChanged(ui, NETWORK_UNSTABLE)

    def test_a_running_program_refuses_the_update(self):
        client = h.wine_start(self.folder / "quorvel.exe", env={"QV_STANDIN_LIFETIME": "60"})
        self.addCleanup(h.end_process, client, 1)
        self.assertTrue(self.client_started())
        self.client_log.unlink()

        ui = self.run_launcher()

        self.assertEqual([b["text"] for b in ui.boxes()], [RUNNING])
        self.assertEqual(self.exit_status, 16)
        self.assertEqual(self.versions(), OLD_VERSIONS)
        self.assertTrue((self.folder / "quorvel.exe").exists(), "the running program's file was touched")
        (self.folder / "quorvel.exit").touch()


if __name__ == "__main__":
    unittest.main()
