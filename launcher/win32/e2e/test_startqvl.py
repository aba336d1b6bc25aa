"""startqvl.exe end to end: the real launcher under Wine (code page 936),
a real HTTP update service on 127.0.0.1, the main-client stand-in, and a UI
driver that reads and answers the launcher's message boxes."""
import os
import subprocess
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[3] / "testbed" / "e2e"))
import winharness as h  # noqa: E402

CUSTOMER = "School01"
SALT = "quor.vel.salts"
NETWORK_ERROR = "获取服务器信息出错，原因如下：\r\n\r\n网络错误或者升级文件版本信息解析错误。"


def catalogue(files, customer=CUSTOMER):
    entries = "".join(
        "<File><cFileName>%s</cFileName><cVersion>%s</cVersion><cFilePath>[CUR_PATH]</cFilePath>"
        "<cDownLoadPath>{base}/download</cDownLoadPath><cIfReg>0</cIfReg><cIfPrivate>0</cIfPrivate></File>"
        % (name, version) for name, version in files)
    return '<catalogue customer="%s" salt="%s">%s</catalogue>' % (customer, SALT, entries)


class Installation:
    """A launcher folder (with a blank in its name) holding the launcher, the
    main-client stand-in, the clip, the settings and a version file."""

    def __init__(self, service_url, versions="quorvel.exe=7\r\n", with_client=True):
        self.folder = h.scratch_folder("install") / "Quorvel Client"
        self.folder.mkdir()
        h.copy_program("startqvl.exe", self.folder)
        h.copy_program("wait.avi", self.folder)
        if with_client:
            h.copy_program("quorvel.exe", self.folder)
        (self.folder / "startqvl.ini").write_text(
            "[Update]\r\nServiceUrl=%s\r\nCustomerCode=%s\r\nSigningSalt=%s\r\n" % (service_url, CUSTOMER, SALT))
        if versions is not None:
            h.write_ansi(self.version_file, "# 版本记录，请勿手工修改\r\n" + versions)

    @property
    def version_file(self):
        return self.folder / "FileVersion.cfg"

    @property
    def client_log(self):
        return self.folder / "quorvel.started.log"

    def run(self, arguments=(), timeout=60):
        return h.wine(self.folder / "startqvl.exe", *arguments, timeout=timeout)

    def client_starts(self, timeout=20):
        """The command lines the stand-in recorded, once it has started (or [] after timeout)."""
        def started():
            if not self.client_log.exists():
                return []
            rows = [line.split("\t") for line in self.client_log.read_text(encoding="utf-8").splitlines()]
            # Wine quotes a program path it found by trying each blank; Windows passes it on as given.
            return [row[2].replace('"', "") for row in rows if row[0] == "started"]
        return h.wait_until(started, timeout)

    def stop_client(self):
        if self.client_log.exists():
            (self.folder / "quorvel.exit").touch()
            h.wait_until(lambda: "exited" in self.client_log.read_text(encoding="utf-8"), 10)


class LauncherTest(unittest.TestCase):
    files = [("quorvel.exe", "7"), ("Lumen_Control.ocx", "0")]
    faults = ()

    @classmethod
    def setUpClass(cls):
        h.end_strays("quorvel.exe", "startqvl.exe")

    def setUp(self):
        self.service = None
        self.addCleanup(lambda: self.service.__exit__(None, None, None))
        self.serve(catalogue(self.files), faults=self.faults)

    def serve(self, catalogue_xml, faults=()):
        """(Re)starts the update service with this catalogue and these faults."""
        if self.service:
            self.service.__exit__(None, None, None)
        self.service = h.UpdateService(catalogue_xml, faults=faults)
        self.service.__enter__()

    def install(self, **kwargs):
        installation = Installation(self.service.url, **kwargs)
        self.addCleanup(installation.stop_client)
        return installation

    def run_launcher(self, installation, arguments=(), answers=(), status=0):
        """status: the exit status the run must end with (0: the main client was started)."""
        with h.UiDriver(answers=answers) as ui:
            result = installation.run(arguments)
        self.assertEqual(result.returncode, status, result.stderr[-2000:])
        return ui

    def assertOnlyBox(self, ui, text, title="错误", icon="stop"):
        boxes = ui.boxes()
        self.assertEqual([b["text"] for b in boxes], [text])
        self.assertEqual(boxes[0]["title"], title)
        if boxes[0].get("icon") != "unknown":
            self.assertEqual(boxes[0]["icon"], icon)
        self.assertTrue(boxes[0]["topmost"], "message boxes are system-modal")


class NormalStart(LauncherTest):
    def test_nothing_to_update_starts_the_client_and_records_every_version(self):
        inst = self.install(versions="quorvel.exe=7\r\n")
        (inst.folder / "Lumen_Control.ocx").write_bytes(b"ocx")

        ui = self.run_launcher(inst)

        self.assertEqual(ui.boxes(), [])
        self.assertEqual(inst.client_starts(), [h.win_path(inst.folder / "quorvel.exe")])
        self.assertEqual(h.read_ansi(inst.version_file), "quorvel.exe=7\r\nLumen_Control.ocx=0\r\n")
        requests = [r for r in self.service.requests() if r["path"] == "/api/GetProgramFiles.ashx"]
        self.assertEqual(len(requests), 1)
        self.assertEqual(requests[0]["user_agent"], "Quorvel.client")
        query = requests[0]["query"]
        self.assertRegex(query, r"^cid=School01&rnd=\d{1,7}&db=&sign=[0-9a-f]{32}$")

    def test_debug_in_mixed_case_shows_the_version_and_passes_debug(self):
        inst = self.install()
        (inst.folder / "Lumen_Control.ocx").write_bytes(b"ocx")

        ui = self.run_launcher(inst, ["DeBuG"])

        boxes = ui.boxes()
        self.assertEqual([b["text"] for b in boxes], ["启动程序版本：3.24"])
        self.assertEqual(inst.client_starts(), [h.win_path(inst.folder / "quorvel.exe") + " debug"])

    def test_an_empty_list_still_rewrites_the_version_file_and_starts_the_client(self):
        self.serve(catalogue([]), faults=["empty-list"])
        inst = self.install(versions="x.dll=3\r\n无等号的行\r\n")

        ui = self.run_launcher(inst)

        self.assertEqual(ui.boxes(), [])
        self.assertEqual(h.read_ansi(inst.version_file), "x.dll=3\r\n")
        self.assertEqual(len(inst.client_starts()), 1)

    def test_a_missing_main_client_at_launch_is_reported(self):
        self.serve(catalogue([("Lumen_Control.ocx", "0")]))
        inst = self.install(with_client=False)
        (inst.folder / "Lumen_Control.ocx").write_bytes(b"ocx")

        ui = self.run_launcher(inst, status=19)

        self.assertOnlyBox(ui, "系统主程序文件丢失。")


class Failures(LauncherTest):
    def test_a_missing_version_file_names_the_path_and_asks_nobody(self):
        inst = self.install(versions=None)

        ui = self.run_launcher(inst, status=11)

        boxes = ui.boxes()
        self.assertEqual(len(boxes), 1)
        self.assertIn("错误原因：找不到" + h.win_path(inst.version_file) + "文件", boxes[0]["text"])
        self.assertEqual(self.service.requests(), [])
        self.assertEqual(inst.client_starts(timeout=1), [])

    def test_an_unreachable_service_shows_the_network_error(self):
        inst = self.install()
        self.service.__exit__(None, None, None)  # its port is closed now
        original = inst.version_file.read_bytes()

        ui = self.run_launcher(inst, status=13)

        self.assertOnlyBox(ui, NETWORK_ERROR)
        self.assertEqual(inst.version_file.read_bytes(), original)
        self.assertEqual(inst.client_starts(timeout=1), [])

    def test_a_refusal_shows_the_services_message(self):
        self.serve(catalogue(self.files, customer="OtherSchool"))
        inst = self.install()

        ui = self.run_launcher(inst, status=15)

        self.assertOnlyBox(ui, "客户编号无效。")
        self.assertEqual(inst.client_starts(timeout=1), [])

    def test_http_errors_and_malformed_answers_show_the_network_error(self):
        # No answer (13) or an answer that cannot be read (14).
        for fault, status in [("status:404", 13), ("status:500", 13), ("malformed", 14), ("truncated", 14),
                              ("no-result", 14)]:
            with self.subTest(fault=fault):
                with h.UpdateService(catalogue(self.files), faults=[fault]) as service:
                    inst = Installation(service.url)
                    ui = self.run_launcher(inst, status=status)
                    self.assertOnlyBox(ui, NETWORK_ERROR)
                    self.assertEqual(inst.client_starts(timeout=1), [])
                    self.assertEqual(len(service.requests()), 1)


class Modes(LauncherTest):
    def test_update_mode_stops_and_deletes_the_running_client(self):
        inst = self.install()
        client = h.wine_start(inst.folder / "quorvel.exe", env={"QV_STANDIN_LIFETIME": "60"})
        self.addCleanup(h.end_process, client, 1)
        self.assertEqual(len(inst.client_starts()), 1)

        ui = self.run_launcher(inst, ["update"], status=16)

        self.assertFalse((inst.folder / "quorvel.exe").exists())
        self.assertTrue(h.wait_until(lambda: client.poll() is not None, 10), "the running client was not stopped")
        # The sequence went on after the stop: the deleted client is due for download
        # (the service has no archive for it here).
        paths = [r["path"] for r in self.service.requests()]
        self.assertEqual(paths, ["/api/GetProgramFiles.ashx", "/download/quorvel.exe.comps"])
        self.assertEqual([b["text"] for b in ui.boxes()], ["系统文件升级出现错误。"])

    def test_a_second_copy_says_so_and_leaves_the_first_alone(self):
        self.serve(catalogue(self.files), faults=["delay:4000"])
        inst = self.install()
        (inst.folder / "Lumen_Control.ocx").write_bytes(b"ocx")

        with h.UiDriver() as ui:
            first = h.wine_start(inst.folder / "startqvl.exe", timeout=60)
            self.addCleanup(h.end_process, first, 1)
            self.assertTrue(h.wait_until(lambda: self.service.requests(), 20), "the first copy never asked")
            second = inst.run()
            self.assertEqual(second.returncode, 10)
            self.assertTrue(h.wait_until(lambda: first.poll() is not None, 30))
        self.assertEqual(first.returncode, 0)

        self.assertEqual([b["text"] for b in ui.boxes()], ["系统已经运行。"])
        self.assertEqual(ui.boxes()[0]["title"], "提示")
        self.assertEqual(len(inst.client_starts()), 1)


class WaitWindow(LauncherTest):
    faults = ("delay:3000",)

    def test_the_wait_window_is_centred_with_its_chinese_prompt(self):
        inst = self.install()
        (inst.folder / "Lumen_Control.ocx").write_bytes(b"ocx")
        shot = Path(os.environ.get("QV_WORK", "/tmp")) / "wait-window.png"

        with h.UiDriver() as ui:
            launcher = h.wine_start(inst.folder / "startqvl.exe", timeout=60)
            self.addCleanup(h.end_process, launcher, 1)
            shown = h.wait_until(lambda: [w for w in ui.events("window")
                                          if "正在连接远程服务..." in w.get("texts", []) and w["x"] >= 0], 20)
            self.assertTrue(shown, "the wait window never showed the request prompt")
            subprocess.run(["import", "-window", "root", str(shot)], timeout=30, check=True)
            h.wait_until(lambda: launcher.poll() is not None, 30)

        window = shown[-1]
        self.assertEqual((window["width"], window["height"]), (350, 97))
        self.assertEqual(window["x"], (window["screenWidth"] - 350) // 2)
        self.assertEqual(window["y"], (window["screenHeight"] - 97) // 2)
        self.assertTrue(window["topmost"])
        self.assertTrue(shot.exists())


if __name__ == "__main__":
    unittest.main()
