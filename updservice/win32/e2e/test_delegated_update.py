"""startqvl.exe handing its update to qvlUpdateService.exe, end to end under
Wine: the launcher installed where a package puts it, its settings in the
machine key (32-bit view), the real service under Wine's service manager
updating the folder with archives made with arj and entries signed with a key
made by qv-publisher, served by the loopback stand-in; the launcher's own
windows and boxes showing what the service reports, and the launcher starting
the main client. Wine enforces no access rights: that the service writes where
the launcher's user may not is not seen here, only who did the writing."""
import hashlib
import json
import os
import re
import shutil
import subprocess
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[3] / "testbed" / "e2e"))
sys.path.insert(0, str(Path(__file__).resolve().parents[3] / "launcher" / "win32" / "e2e"))
sys.path.insert(0, str(Path(__file__).resolve().parent))
import test_update_service as service  # noqa: E402
import winharness as h  # noqa: E402
from test_download import CANCEL_QUESTION, CUSTOMER, RUNNING, SALT, UPDATE_ERROR  # noqa: E402
from test_signed_updates import REQUEST_ERROR, make_key  # noqa: E402

INSTALL = h.WINEPREFIX / "drive_c" / "Program Files (x86)" / "Quorvel"
WIN_INSTALL = "C:\\Program Files (x86)\\Quorvel"
# The service is a program of this build's bitness; a 32-bit one writes to syswow64.
SYSTEM = h.WINEPREFIX / "drive_c" / "windows" / ("syswow64" if h.ARCH == "i686" else "system32")
SYSTEM_FILE = "qvDelegatedTest.dat"
NAMES = ["quorvel.exe", "regmarker.dll", "Lumen_Data.dat"]
# (name, version, folder, registered), in the service's order.
ENTRIES = [("quorvel.exe", 2, "[CUR_PATH]", 0), ("regmarker.dll", 2, "[CUR_PATH]", 1),
           ("Lumen_Data.dat", 2, "[CUR_PATH]", 0)]
OLD_VERSIONS = "quorvel.exe=1\r\nregmarker.dll=1\r\nLumen_Data.dat=1\r\n"
NEW_VERSIONS = "quorvel.exe=2\r\nregmarker.dll=2\r\nLumen_Data.dat=2\r\n"
LUMEN = "Lumen_Data.dat.comps"
CANCEL_BOX = "取消升级后，系统将退出。\r\n\r\n" + CANCEL_QUESTION
BROKEN_BOX = "与更新服务的连接中断：更新服务关闭了连接。\r\n\r\n本次升级没有完成，请稍后重新启动。"
BUSY = "另一个更新正在进行，请稍后再试。"
# What only an update done in this process would log.
OWN_UPDATE_EVENTS = ("entry ", "transfer ", "archiver ", "switch of ", "regsvr32 ", "version file ")


def digest(path):
    return hashlib.sha256(Path(path).read_bytes()).hexdigest()


class Sources(h.UpdateSources):
    """The new files and their arj archives. The new client differs from the
    installed one by what follows its image, so that a replaced file shows."""

    def __init__(self):
        super().__init__({
            "quorvel.exe": (h.BIN / "quorvel.exe").read_bytes() + b"\0build 2 of the client",
            "regmarker.dll": (h.BIN / "regmarker.dll").read_bytes(),
            # Random, so that the archive stays as big as the file and a transfer can be held halfway.
            "Lumen_Data.dat": os.urandom(600 * 1024),
            SYSTEM_FILE: b"a file for the system folder\r\n",
        })
        self.digests = {p.name[:-len(".comps")]: digest(p) for p in self.archives.iterdir()}

    def catalogue(self, entries=ENTRIES):
        files = "".join(
            "<File><cFileName>%s</cFileName><cVersion>%d</cVersion><cFilePath>%s</cFilePath>"
            "<cDownLoadPath>{base}/download</cDownLoadPath><cIfReg>%d</cIfReg><cIfPrivate>0</cIfPrivate>"
            "<cSHA256>%s</cSHA256></File>" % (name, version, folder, reg, self.digests[name])
            for name, version, folder, reg in entries)
        return '<catalogue customer="%s" salt="%s">%s</catalogue>' % (CUSTOMER, SALT, files)


def setUpModule():
    global SOURCES, KEY_FILE, PUBLIC_KEY, HAD_PARENT_KEY
    h.end_strays("quorvel.exe", "startqvl.exe")
    SOURCES = Sources()
    KEY_FILE, PUBLIC_KEY = make_key(h.scratch_folder("keys"), "publisher")
    HAD_PARENT_KEY = service.run("reg", "query", service.PARENT_KEY, "/reg:32")[0] == 0
    service.remove_service()
    service.set_machine_key({})
    if not service.create_and_start():
        raise RuntimeError("the service did not start: " + service.run("sc", "query", service.SERVICE)[1])


def tearDownModule():
    service.remove_service()
    # Left behind, the key would send every later launcher test to a missing service's settings.
    service.run("reg", "delete", service.KEY if HAD_PARENT_KEY else service.PARENT_KEY, "/f", "/reg:32")
    shutil.rmtree(INSTALL, ignore_errors=True)
    (SYSTEM / SYSTEM_FILE).unlink(missing_ok=True)


class GrowingLog:
    """A log that moves to a second file at a size limit: its lines written since mark()."""

    def __init__(self, path, older):
        self.path, self.older = Path(path), Path(older)
        self.offset = 0

    def mark(self):
        self.offset = self.path.stat().st_size if self.path.exists() else 0

    def lines_since_mark(self):
        current = self.path.read_bytes() if self.path.exists() else b""
        if len(current) < self.offset:  # moved aside meanwhile
            older = self.older.read_bytes() if self.older.exists() else b""
            text = older[self.offset:] + current
        else:
            text = current[self.offset:]
        return text.decode("utf-8").splitlines()

    def rows(self, pattern):
        """(pid, event) of each line since the mark that matches pattern (groups: pid, event)."""
        matches = (re.match(pattern, line) for line in self.lines_since_mark())
        return [(int(match[1]), match[2]) for match in matches if match]


LAUNCHER_LOG = GrowingLog(h.RunLog().path, h.RunLog().older)
SERVICE_LOG = GrowingLog(service.LOG, service.LOG.with_name("qvlUpdateService.1.log"))


class DelegatedTest(unittest.TestCase):
    def assertNextRunCompletes(self):
        """With the service answering again as it should, the next start updates and starts the client."""
        self.serve()
        self.mark_logs()
        ui = self.run_launcher()
        self.assertEqual(ui.boxes(), [])
        self.assertInstalled()
        self.assertStartedByLauncher()

    def setUp(self):
        shutil.rmtree(INSTALL, ignore_errors=True)
        (INSTALL / "Tools").mkdir(parents=True)
        h.copy_program("startqvl.exe", INSTALL)
        h.copy_program("wait.avi", INSTALL)
        h.copy_program("Arj32.exe", INSTALL / "Tools")
        h.copy_program("quorvel.exe", INSTALL)  # the installed client
        h.write_ansi(INSTALL / "FileVersion.cfg", OLD_VERSIONS)
        self.before = self.fingerprint()
        self.mark_logs()
        self.http = None
        self.addCleanup(self.stop_clients)

    def serve(self, faults=(), entries=ENTRIES, keys=True):
        """The loopback update service, entries signed with the publisher's key, and
        the machine key pointing at it (without PublisherKeys unless keys)."""
        if self.http:
            self.http.__exit__(None, None, None)
        self.http = h.UpdateService(SOURCES.catalogue(entries), downloads=SOURCES.archives, faults=faults,
                                    sign_key=KEY_FILE)
        self.http.__enter__()
        self.addCleanup(self.http.__exit__, None, None, None)
        settings = {"ServiceUrl": self.http.url, "CustomerCode": CUSTOMER, "SigningSalt": SALT,
                    "InstallDir": WIN_INSTALL}
        if keys:
            settings["PublisherKeys"] = PUBLIC_KEY
        service.set_machine_key(settings)
        return self.http

    def start_launcher(self):
        launcher = h.wine_start(INSTALL / "startqvl.exe", timeout=120)
        self.addCleanup(h.end_process, launcher, 1)
        return launcher

    def run_launcher(self, answers=(), during=None):
        """Runs the installed launcher to its end; during(ui, launcher) runs meanwhile."""
        with h.UiDriver(answers=answers, watch=("QuorvelWaitWindow", "QuorvelDownloadWindow")) as ui:
            launcher = self.start_launcher()
            if during:
                during(ui, launcher)
            self.assertTrue(h.wait_until(lambda: launcher.poll() is not None, 120), "the launcher did not end")
        self.exit_status = launcher.returncode
        return ui

    # What the run left behind.

    @staticmethod
    def fingerprint():
        """The installation's files and their digests, less what the client's stand-in records of itself."""
        return {str(p.relative_to(INSTALL)): digest(p) for p in sorted(INSTALL.rglob("*"))
                if p.is_file() and p.name not in ("quorvel.started.log", "quorvel.form.log", "quorvel.exit")}

    @staticmethod
    def versions():
        return h.read_ansi(INSTALL / "FileVersion.cfg")

    @staticmethod
    def client_starts():
        log = INSTALL / "quorvel.started.log"
        rows = [line.split("\t") for line in log.read_text(encoding="utf-8").splitlines()] if log.exists() else []
        return [row for row in rows if row[0] == "started"]

    def stop_clients(self):
        if self.client_starts():
            (INSTALL / "quorvel.exit").touch()
            h.wait_until(lambda: "exited" in (INSTALL / "quorvel.started.log").read_text(encoding="utf-8"), 10)

    @staticmethod
    def mark_logs():
        LAUNCHER_LOG.mark()
        SERVICE_LOG.mark()

    def launcher_runs(self):
        """(pid, events) of each run of the installed launcher since the mark, in the order they began."""
        rows = LAUNCHER_LOG.rows(r"^\S+ \S+ \[(\d+)\] (.*)$")
        starts = [pid for pid, event in rows if event.startswith("startqvl 3.24 in %s," % WIN_INSTALL)]
        return [(pid, [event for row_pid, event in rows if row_pid == pid]) for pid in starts]

    def launcher_run(self):
        """(pid, events) of the one run of the launcher since the mark."""
        runs = self.launcher_runs()
        self.assertEqual(len(runs), 1, runs)
        return runs[0]

    @staticmethod
    def service_lines():
        return SERVICE_LOG.lines_since_mark()

    @staticmethod
    def service_updates():
        """(service pid, event) of each update event the service logged since the mark."""
        return SERVICE_LOG.rows(r"^[^\t]+\t\[(\d+)\] update: (.*)$")

    def connection_results(self):
        """(client pid, result code, reason) of each connection the service ended since the mark."""
        rows = [line.split("\t") for line in self.service_lines()]
        return [tuple(row[1:4]) for row in rows if len(row) > 1 and row[1].startswith("client ")]

    def downloads(self):
        return [r["path"] for r in self.http.requests() if r["path"].startswith("/download/")]

    def assertBoxes(self, ui, *texts):
        self.assertEqual([b["text"] for b in ui.boxes()], list(texts))

    def assertUnchanged(self, status):
        """The run ended with status and left the installation as it was, the client not started."""
        self.assertEqual(self.exit_status, status)
        self.assertEqual(self.versions(), OLD_VERSIONS)
        # What a stopped transfer keeps in the staging folder for the next run does not count.
        after = {name: value for name, value in self.fingerprint().items() if not name.startswith(".update/")}
        self.assertEqual(after, self.before)
        self.assertEqual(self.client_starts(), [])

    def assertInstalled(self):
        for name in NAMES:
            self.assertEqual(digest(INSTALL / name), digest(SOURCES.files / name), name)
        self.assertTrue(h.wait_until(lambda: (INSTALL / "regmarker.dll.registered").exists(), 20),
                        "regsvr32 was not run on the new library")
        self.assertEqual(self.versions(), NEW_VERSIONS)
        self.assertFalse((INSTALL / ".update").exists(), "the staging folder was left")
        self.assertEqual(self.exit_status, 0)

    def assertStartedByLauncher(self):
        """The client was started once, by the launcher (its recorded parent), and no update ran in the launcher."""
        runs = [run for run in self.launcher_runs() if run[1][-1:] == ["end: main client started, exit status 0"]]
        self.assertEqual(len(runs), 1, self.launcher_runs())
        pid, events = runs[0]
        self.assertTrue(h.wait_until(self.client_starts, 20), "the main client was not started")
        starts = self.client_starts()
        self.assertEqual(len(starts), 1, starts)
        self.assertEqual(int(starts[0][4]), pid, "the client's parent is not the launcher")
        self.assertIn("update delegated to the machine's update service", events)
        self.assertIn("main client started: %s\\quorvel.exe" % WIN_INSTALL, events)
        self.assertEqual([e for e in events if e.startswith(OWN_UPDATE_EVENTS)], [])
        return pid


class Update(DelegatedTest):
    def test_the_service_updates_the_folder_and_the_launcher_starts_the_client(self):
        self.serve()

        ui = self.run_launcher()

        self.assertEqual(ui.boxes(), [])
        self.assertInstalled()
        launcher_pid = self.assertStartedByLauncher()
        self.assertIn("update service result: Done", self.launcher_run()[1])

        updates = self.service_updates()
        self.assertTrue(updates, self.service_lines())
        service_pids = {pid for pid, _ in updates}
        self.assertEqual(len(service_pids), 1, updates)
        self.assertNotIn(launcher_pid, service_pids)
        events = [event for _, event in updates]
        self.assertEqual(events[0], 'startqvl 3.24 in %s, mode service, arguments ""' % WIN_INSTALL)
        for name in NAMES:
            self.assertTrue([e for e in events if e.startswith('entry "%s" version 2: to update (' % name)], events)
            self.assertTrue([e for e in events if e.startswith("transfer %s/download/%s.comps to %s\\.update\\"
                                                               % (self.http.url, name, WIN_INSTALL))], events)
        self.assertIn("switch of 3 staged files begins", events)
        self.assertIn('regsvr32 /s "%s\\regmarker.dll" ended, exit code 0' % WIN_INSTALL, events)
        self.assertIn("version file %s\\FileVersion.cfg written with 3 versions" % WIN_INSTALL, events)
        self.assertEqual(events[-1], "end: installation up to date, exit status 0")
        self.assertEqual(self.connection_results(), [("client %d" % launcher_pid, "Done", "")])
        self.assertNotIn(SALT, "\n".join(self.service_lines()))

        # The wait window and the download window were the launcher's own.
        windows = ui.events("window")
        self.assertTrue([w for w in windows if w["class"] == "QuorvelWaitWindow" and w.get("pid") == launcher_pid
                         and "正在连接远程服务..." in w["texts"]], windows)
        self.assertTrue([w for w in windows if w["class"] == "QuorvelDownloadWindow" and w.get("pid") == launcher_pid
                         and "正在升级第 3/3 个文件（***Data.dat)..." in w["texts"]], windows)

    def test_a_held_transfer_shows_its_progress_in_the_launchers_download_window(self):
        held_at = 300000
        archive_size = (SOURCES.archives / LUMEN).stat().st_size
        self.serve(["download-rate:200000@" + LUMEN, "download-hold:%d@%s" % (held_at, LUMEN)])
        shot = h.WORK / "delegated-download-window.png"
        seen = {}

        def look(ui, launcher):
            self.assertTrue(h.wait_until(self.http.hold_marker.exists, 60), "the transfer was never held")
            line = "正在升级第 3/3 个文件（***Data.dat)..."
            windows = h.wait_until(lambda: [w for w in ui.events("window") if line in w.get("texts", [])
                                            and any(t.startswith("已下载 ") for t in w["texts"])], 20)
            self.assertTrue(windows, ui.events("window"))
            subprocess.run(["import", "-window", "root", str(shot)], timeout=30, check=True)
            seen["window"] = windows[-1]
            seen["file"] = self.bar_filled(shot, windows[-1], top=94)
            seen["overall"] = self.bar_filled(shot, windows[-1], top=158)
            self.http.hold_marker.unlink()

        ui = self.run_launcher(during=look)

        self.assertEqual(ui.boxes(), [])
        self.assertInstalled()
        launcher_pid = self.assertStartedByLauncher()
        window = seen["window"]
        self.assertEqual(window["title"], "系统升级")
        self.assertEqual(window["pid"], launcher_pid)
        self.assertTrue(window["visible"] and window["topmost"])
        self.assertIn("取消", window["texts"])
        # On the screen the file bar stands partway, never beyond where the transfer is held (the service
        # sends a state at most every 100 ms, so it may show a little less), and the overall bar at two
        # files done plus the file bar's share of the third.
        self.assertIsNotNone(seen["file"], "the file bar is not shown partly filled")
        self.assertIsNotNone(seen["overall"], "the overall bar is not shown partly filled")
        self.assertGreater(seen["file"], 0.2)
        self.assertLessEqual(seen["file"], held_at / archive_size + 0.02)
        self.assertAlmostEqual(seen["overall"], (2 + seen["file"]) / 3, delta=0.02)

    @staticmethod
    def bar_filled(shot, window, top, left=24, width=392, height=16):
        """How far along a partly filled progress bar at (left, top) of the window's client
        area the screenshot shows it: 0 to 1, by the last pixel in the colour its left end
        has; None when the bar shows one colour only (empty or full)."""
        border = (window["width"] - window["clientWidth"]) // 2
        x = window["x"] + border + left
        y = window["y"] + window["height"] - window["clientHeight"] - border + top + height // 2
        row = subprocess.run(["convert", str(shot), "-crop", "%dx1+%d+%d" % (width, x, y), "-depth", "8", "txt:-"],
                             capture_output=True, text=True, timeout=30, check=True).stdout
        inner = re.findall(r"#([0-9A-Fa-f]{6})", row)[2:-2]  # inside the bar's edge
        if len(inner) < width // 2 or inner[0] == inner[-1]:
            return None
        filled = [i for i, colour in enumerate(inner) if colour == inner[0]]
        return (filled[-1] + 1) / len(inner)

    def test_a_system_folder_entry_is_installed_there_by_the_service(self):
        (SYSTEM / SYSTEM_FILE).unlink(missing_ok=True)
        self.addCleanup((SYSTEM / SYSTEM_FILE).unlink, missing_ok=True)
        self.serve(entries=ENTRIES + [(SYSTEM_FILE, 2, "[SYS_PATH]", 0)])

        ui = self.run_launcher()

        self.assertEqual(ui.boxes(), [])
        self.assertEqual(self.exit_status, 0)
        self.assertEqual(digest(SYSTEM / SYSTEM_FILE), digest(SOURCES.files / SYSTEM_FILE))
        self.assertFalse((INSTALL / SYSTEM_FILE).exists())
        self.assertEqual(self.versions(), NEW_VERSIONS + SYSTEM_FILE + "=2\r\n")
        self.assertStartedByLauncher()
        events = [event for _, event in self.service_updates()]
        self.assertIn("switch of 4 staged files begins", events)


class Refusals(DelegatedTest):
    def test_a_running_client_is_named_in_the_launchers_box_and_nothing_changes(self):
        self.serve()
        client = h.wine_start(INSTALL / "quorvel.exe", env={"QV_STANDIN_LIFETIME": "60"})
        self.addCleanup(h.end_process, client, 1)
        self.assertTrue(h.wait_until(self.client_starts, 20), "the client to keep running did not start")
        (INSTALL / "quorvel.started.log").unlink()

        ui = self.run_launcher()

        self.assertBoxes(ui, RUNNING)
        self.assertEqual(ui.boxes()[0]["title"], "提示")
        self.assertUnchanged(16)
        self.assertIn("not updated: quorvel.exe is running", [event for _, event in self.service_updates()])
        self.assertEqual(self.downloads(), [])
        (INSTALL / "quorvel.exit").touch()

    def test_without_publisher_keys_the_service_refuses_and_the_launcher_says_why(self):
        self.serve(keys=False)

        ui = self.run_launcher()

        boxes = ui.boxes()
        self.assertEqual(len(boxes), 1, boxes)
        self.assertTrue(boxes[0]["text"].startswith("更新服务拒绝为本机更新：注册表项 "
                                                    r"HKEY_LOCAL_MACHINE\SOFTWARE\Quorvel\startqvl 中缺少 PublisherKeys"),
                        boxes[0]["text"])
        self.assertEqual(boxes[0]["title"], "错误")
        self.assertUnchanged(12)
        self.assertEqual(self.http.requests(), [])
        self.assertEqual(self.service_updates(), [])
        self.assertEqual([result[1] for result in self.connection_results()], ["Refused"])

    def test_a_transfer_broken_off_mid_file_ends_with_the_services_box_over_the_download_window(self):
        self.serve(["download-cut:100000@" + LUMEN])

        ui = self.run_launcher()

        self.assertBoxes(ui, UPDATE_ERROR)
        self.assertEqual(ui.boxes()[0]["title"], "提示")
        self.assertUnchanged(16)
        self.assertIn("update service result: Failed: " + UPDATE_ERROR, self.launcher_run()[1])
        self.assertTrue([w for w in ui.events("window") if w["class"] == "QuorvelDownloadWindow"
                         and "正在升级第 3/3 个文件（***Data.dat)..." in w.get("texts", [])], "no download window")

    def test_an_entry_changed_after_signing_refuses_the_whole_answer(self):
        self.serve(["change:2:cVersion:3"])

        ui = self.run_launcher()

        self.assertBoxes(ui, REQUEST_ERROR)
        self.assertUnchanged(14)
        self.assertEqual(self.downloads(), [])
        events = [event for _, event in self.service_updates()]
        self.assertTrue([e for e in events if e.startswith('answer refused at entry 2 "regmarker.dll": signature')],
                        events)
        self.assertIn("update service result: Failed: " + REQUEST_ERROR.replace("\r\n", "\\r\\n"),
                      self.launcher_run()[1])


class Cancel(DelegatedTest):
    def test_cancel_in_the_download_window_stops_the_services_update_and_the_next_run_completes(self):
        self.serve(["download-rate:100000"])

        def click_cancel(ui, launcher):
            clicker = h.wine(h.BIN / "clickcancel.exe", "60", timeout=70)
            self.assertEqual(clicker.returncode, 0, "no transfer was seen in the download window")

        ui = self.run_launcher(answers=[(CANCEL_QUESTION, 6)], during=click_cancel)

        self.assertBoxes(ui, CANCEL_BOX)
        self.assertEqual(ui.boxes()[0]["title"], "请确认")
        self.assertUnchanged(17)
        events = self.launcher_run()[1]
        self.assertIn("update service: cancel sent", events)
        self.assertIn("update service result: Cancelled", events)
        self.assertEqual([event for _, event in self.service_updates()][-1], "end: cancelled, exit status 17")
        self.assertLess(len(self.downloads()), 3)

        self.assertNextRunCompletes()


class Interruptions(DelegatedTest):
    def test_a_service_killed_mid_transfer_ends_the_launcher_with_the_connection_box(self):
        self.serve(["download-hold:100000@" + LUMEN])

        def kill_service(ui, launcher):
            self.assertTrue(h.wait_until(self.http.hold_marker.exists, 60), "the transfer was never held")
            killed = h.wine("taskkill", "/f", "/im", "qvlUpdateService.exe", timeout=30)
            self.assertEqual(killed.returncode, 0, killed.stderr)

        ui = self.run_launcher(during=kill_service)
        self.http.hold_marker.unlink(missing_ok=True)

        self.assertBoxes(ui, BROKEN_BOX)
        self.assertEqual(ui.boxes()[0]["title"], "错误")
        self.assertUnchanged(16)
        self.assertIn("update service connection broken: 更新服务关闭了连接", self.launcher_run()[1])

        # Gone indeed; Wine's service manager still says RUNNING (Windows' would say STOPPED), and starts it again.
        self.assertTrue(h.wait_until(lambda: service.client("request") == [{"connect": "Absent"}], 10, interval=0.5),
                        "the killed service still answers")
        service.run("sc", "start", service.SERVICE)
        self.assertTrue(h.wait_until(lambda: service.client("request")[0] == {"connect": "Ok"}, 20, interval=0.5),
                        "the service did not start again")
        self.assertNextRunCompletes()


class TwoClients(DelegatedTest):
    def client_start(self):
        out = h.scratch_folder("client") / "out.jsonl"
        process = h.wine_start(h.BIN / "qvlupdclient.exe", "--out", h.win_path(out), "request", timeout=90)
        self.addCleanup(h.end_process, process, 1)
        return process, out

    @staticmethod
    def records(out):
        return [json.loads(line) for line in out.read_text(encoding="utf-8").splitlines()] if out.exists() else []

    def test_while_a_launcher_updates_another_client_is_told_busy_and_one_update_runs(self):
        self.serve(["download-hold:100000@" + LUMEN])
        other = {}

        def second_clients(ui, launcher):
            self.assertTrue(h.wait_until(self.http.hold_marker.exists, 60), "the transfer was never held")
            process, out = self.client_start()
            h.end_process(process, grace=60)
            other["records"] = self.records(out)
            # The launcher's own lock turns a second copy away before it asks the service.
            other["second"] = h.wine(INSTALL / "startqvl.exe", timeout=60).returncode
            self.http.hold_marker.unlink()

        ui = self.run_launcher(during=second_clients)

        self.assertEqual(service.result_of(other["records"]),
                         {"record": "Result", "code": "Busy", "reason": BUSY, "exitStatus": 0})
        self.assertEqual(other["second"], 10)
        self.assertBoxes(ui, "系统已经运行。")
        turned_away = [events for _, events in self.launcher_runs()
                       if "another copy of the launcher is running" in events]
        self.assertEqual(len(turned_away), 1, self.launcher_runs())
        self.assertFalse([e for e in turned_away[0] if "update service" in e], turned_away[0])
        self.assertInstalled()
        self.assertStartedByLauncher()
        self.assertEqual(self.downloads(), ["/download/%s.comps" % name for name in NAMES])
        events = [event for _, event in self.service_updates()]
        self.assertEqual(len([e for e in events if e.startswith("startqvl 3.24 in ")]), 1, events)
        self.assertEqual(sorted(result[1] for result in self.connection_results()), ["Busy", "Done"])

    def test_while_another_client_updates_the_launcher_says_busy_and_changes_nothing(self):
        self.serve(["download-hold:100000@" + LUMEN])
        process, out = self.client_start()
        self.assertTrue(h.wait_until(self.http.hold_marker.exists, 60), "the other client's transfer was never held")

        ui = self.run_launcher()
        self.http.hold_marker.unlink()

        self.assertBoxes(ui, BUSY)
        self.assertEqual(ui.boxes()[0]["title"], "提示")
        self.assertEqual(self.exit_status, 16)
        self.assertEqual(self.client_starts(), [])
        h.end_process(process, grace=60)
        self.assertEqual(service.result_of(self.records(out))["code"], "Done")
        self.assertEqual(self.versions(), NEW_VERSIONS)
        self.assertEqual(self.client_starts(), [], "the service started the client")


if __name__ == "__main__":
    unittest.main()
