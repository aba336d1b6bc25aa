"""qvlUpdateService.exe end to end: the real service under Wine's service
manager (sc create/start/query/stop/delete), its settings in the test prefix's
machine key (32-bit view), and qvlupdclient.exe speaking to its pipe, also
with broken records. Wine enforces no access rights: what the pipe's security
descriptor keeps standard users from doing is not seen here."""
import base64
import json
import subprocess
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[3] / "testbed" / "e2e"))
import winharness as h  # noqa: E402

SERVICE = "qvlUpdateService"
KEY = r"HKLM\SOFTWARE\Quorvel\startqvl"
PARENT_KEY = r"HKLM\SOFTWARE\Quorvel"
LOG = h.WINEPREFIX / "drive_c" / "ProgramData" / "Quorvel" / "qvlUpdateService.log"
PUBLISHER_KEY = base64.b64encode(bytes(range(64))).decode()
SETTINGS = {"ServiceUrl": "http://127.0.0.1:9", "CustomerCode": "School01", "SigningSalt": "quor.vel.salts"}


def run(*args, timeout=60):
    """A Windows command's exit code and output (sc, reg)."""
    result = subprocess.run([h.WINE_RUN, *args], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, timeout=timeout + 15, start_new_session=True,
                            env=dict(h.os.environ, QV_WINE_TIMEOUT=str(timeout)))
    # Console programs write in the prefix's OEM code page, 936 here.
    return result.returncode, result.stdout.decode("gbk", "replace")


def state():
    code, output = run("sc", "query", SERVICE)
    for line in output.splitlines():
        if "STATE" in line:
            return line.split()[-1]
    return None if code else "UNKNOWN"


def create_and_start():
    run("sc", "create", SERVICE, "binPath=", h.win_path(h.BIN / "qvlUpdateService.exe"), "start=", "auto",
        "DisplayName=", "Quorvel 更新服务")
    run("sc", "start", SERVICE)
    return h.wait_until(lambda: state() == "RUNNING", 20, interval=0.5)


def remove_service():
    run("sc", "stop", SERVICE)
    h.wait_until(lambda: state() in ("STOPPED", None), 20, interval=0.5)
    run("sc", "delete", SERVICE)


def set_machine_key(values):
    run("reg", "delete", KEY, "/f", "/reg:32")
    for name, value in values.items():
        run("reg", "add", KEY, "/v", name, "/d", value, "/f", "/reg:32")


def client(*args, pipe=None):
    """qvlupdclient.exe's lines for one connection."""
    out = h.scratch_folder("client") / "out.jsonl"
    extra = ["--pipe", pipe] if pipe else []
    h.wine(h.BIN / "qvlupdclient.exe", "--out", h.win_path(out), *extra, *args, timeout=60)
    return [json.loads(line) for line in out.read_text(encoding="utf-8").splitlines()] if out.exists() else []


def result_of(lines):
    results = [line for line in lines if line.get("record") == "Result"]
    return results[-1] if results else None


def log_lines():
    return LOG.read_text(encoding="utf-8").splitlines() if LOG.exists() else []


class UpdateServiceTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.had_parent_key = run("reg", "query", PARENT_KEY, "/reg:32")[0] == 0
        remove_service()
        set_machine_key({})
        if not create_and_start():
            raise RuntimeError("the service did not start: " + run("sc", "query", SERVICE)[1])

    @classmethod
    def tearDownClass(cls):
        remove_service()
        run("reg", "delete", KEY if cls.had_parent_key else PARENT_KEY, "/f", "/reg:32")

    def setUp(self):
        self.addCleanup(lambda: run("reg", "delete", KEY, "/f", "/reg:32"))

    def assertRefused(self, reason_part):
        result = result_of(client("request"))
        self.assertIsNotNone(result)
        self.assertEqual(result["code"], "Refused")
        self.assertIn(reason_part, result["reason"])
        return result

    def test_the_service_runs_for_automatic_start_under_its_display_name(self):
        self.assertEqual(state(), "RUNNING")
        # Wine's sc has no "qc": the service manager's own key tells the same.
        _, config = run("reg", "query", "HKLM\\System\\CurrentControlSet\\Services\\" + SERVICE)
        self.assertRegex(config, r"Start\s+REG_DWORD\s+0x2\b")
        self.assertRegex(config, r"ImagePath\s+REG_\w+\s+.*qvlUpdateService\.exe")
        self.assertIn("Quorvel 更新服务", config)
        self.assertRegex(config, r"ObjectName\s+REG_SZ\s+LocalSystem")
        self.assertIn("WIN32_OWN_PROCESS", run("sc", "query", SERVICE)[1])

    def test_without_the_machine_key_every_request_is_refused_naming_the_key(self):
        result = self.assertRefused(r"HKEY_LOCAL_MACHINE\SOFTWARE\Quorvel\startqvl 不存在")
        self.assertNotIn("\n", result["reason"])

    def test_without_publisher_keys_the_request_is_refused_naming_them(self):
        set_machine_key(dict(SETTINGS, InstallDir="C:\\Quorvel"))
        self.assertRefused("缺少 PublisherKeys")
        set_machine_key(dict(SETTINGS, InstallDir="C:\\Quorvel", PublisherKeys="not a key"))
        self.assertRefused("PublisherKeys 不是")

    def test_an_install_dir_that_is_not_a_local_absolute_folder_is_refused(self):
        for folder, reason in [("\\\\server\\share\\Quorvel", "UNC"), ("Quorvel", "盘符"),
                               ("C:\\Quorvel\\..\\Windows", "“..”"), ("C:\\", "根目录")]:
            with self.subTest(folder=folder):
                set_machine_key(dict(SETTINGS, PublisherKeys=PUBLISHER_KEY, InstallDir=folder))
                self.assertIn(reason, self.assertRefused("InstallDir 不可用")["reason"])
        set_machine_key(dict(SETTINGS, PublisherKeys=PUBLISHER_KEY))
        self.assertRefused("缺少 InstallDir")

    def test_a_permitted_request_runs_the_launchers_update_and_ends_as_it_does(self):
        folder = h.scratch_folder("install")
        set_machine_key(dict(SETTINGS, PublisherKeys=PUBLISHER_KEY, InstallDir=h.win_path(folder)))
        before = len(log_lines())
        lines = client("request")
        self.assertEqual(lines[-1], {"record": "Result", "code": "Failed", "exitStatus": 11,
                                     "reason": lines[-2]["text"]})
        self.assertIn("找不到%s\\FileVersion.cfg文件" % h.win_path(folder), lines[-2]["text"])

        h.write_ansi(folder / "FileVersion.cfg", "quorvel.exe=1\r\n")
        lines = client("request")
        # Nothing answers on port 9: the launcher's box for an unreachable service, and its status.
        self.assertEqual([line.get("record") for line in lines], [None, None, "WaitText", "WaitText", "Box", "Result"])
        self.assertEqual(lines[2]["text"], "正在连接远程服务...")
        self.assertEqual(lines[3]["text"], "")
        self.assertEqual(lines[4]["text"], "获取服务器信息出错，原因如下：\r\n\r\n网络错误或者升级文件版本信息解析错误。")
        self.assertEqual(lines[4]["title"], "错误")
        self.assertEqual(lines[5], {"record": "Result", "code": "Failed", "exitStatus": 13,
                                    "reason": lines[4]["text"]})
        self.assertEqual(h.read_ansi(folder / "FileVersion.cfg"), "quorvel.exe=1\r\n")

        events = [line.split("\t", 1)[1] for line in log_lines()[before:]]
        updates = [event.split("] update: ", 1)[1] for event in events if "] update: " in event]
        self.assertIn("request GET http://127.0.0.1:9/api/GetProgramFiles.ashx?cid=School01&rnd=", "\n".join(updates))
        self.assertEqual(updates[-1], "end: request failed, exit status 13")
        self.assertNotIn("quor.vel.salts", "\n".join(events))

    def test_broken_records_end_their_own_connection_and_the_service_keeps_answering(self):
        before = len(log_lines())
        cases = [(["garbage"], "标识不是 QVUS"), (["oversized"], "4096"), (["version", "2"], "版本 2 未知"),
                 (["hex", "515655530100010010000000"], "应有 16 字节"), (["hex", "5156555301000900"], "只有 8 字节")]
        for args, reason in cases:
            with self.subTest(args=args):
                result = result_of(client(*args))
                self.assertEqual(result["code"], "BadRecord")
                self.assertIn(reason, result["reason"])
        # Half a record, then gone without reading the answer.
        self.assertEqual(client("half"), [{"connect": "Ok"}, {"sent": "Ok"}])
        self.assertEqual(result_of(client("request"))["code"], "Refused")
        lines = h.wait_until(lambda: log_lines()[before:] if len(log_lines()) >= before + 7 else None, 10)
        self.assertIsNotNone(lines, log_lines()[before:])
        self.assertEqual([line.split("\t")[2] for line in lines], ["BadRecord"] * 6 + ["Refused"])
        self.assertIn("只有 6 字节", lines[5])

    def test_two_clients_at_once_each_get_an_answer_and_never_two_updates(self):
        outs = [h.scratch_folder("client") / "out.jsonl" for _ in range(2)]
        processes = [h.wine_start(h.BIN / "qvlupdclient.exe", "--out", h.win_path(out), "request", timeout=60)
                     for out in outs]
        for process in processes:
            h.end_process(process, grace=60)
        for out in outs:
            result = result_of([json.loads(line) for line in out.read_text(encoding="utf-8").splitlines()])
            self.assertIn(result["code"], ("Refused", "Busy"))

    def test_a_missing_pipe_is_absent_for_the_client_to_fall_back(self):
        self.assertEqual(client("request", pipe="\\\\.\\pipe\\qvlNoSuchService"), [{"connect": "Absent"}])

    def test_stop_ends_it_promptly_and_delete_removes_it(self):
        started = time.monotonic()
        run("sc", "stop", SERVICE)
        self.assertTrue(h.wait_until(lambda: state() == "STOPPED", 15, interval=0.2))
        self.assertLess(time.monotonic() - started, 15)
        self.assertEqual(client("request"), [{"connect": "Absent"}])
        self.assertEqual(run("sc", "delete", SERVICE)[0], 0)
        self.assertIsNone(h.wait_until(lambda: state() is None, 10, interval=0.5) and None)
        self.assertIsNone(state())
        self.assertTrue(create_and_start())


if __name__ == "__main__":
    unittest.main()
