"""startqvl.exe's staged update end to end under Wine: a four-file update
whose second archive fails in any way leaves every installed file as it was;
a switch that fails at its second file puts the first back and registers it
again; a launcher ended while it stages or switches is repaired by the next
start; a cut transfer is continued with one ranged request, restarted when
the server ignores the range or the archive's digest changed."""
import hashlib
import os
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[3] / "testbed" / "e2e"))
import winharness as h  # noqa: E402
import test_download as d  # noqa: E402

MB = 1024 * 1024
FILES = ["quorvel.exe", "regmarker.dll", "Lumen_Data.dat", "Lumen_Text.dat"]
SECOND = "regmarker.dll"
OLD_VERSIONS = "".join("%s=1\r\n" % name for name in FILES)
ARCHIVER_ERROR = "\r\n文件解除压缩时发生错误！"
CANCEL_BOX = "取消升级后，系统将退出。\r\n\r\n" + d.CANCEL_QUESTION


def catalogue(order=FILES, digests=None, download_base="{base}/download"):
    return d.catalogue(download_base, digests, [(name, 2, int(name == SECOND)) for name in order])


def sha256_of(path):
    digest = hashlib.sha256()
    with open(path, "rb") as data:
        for chunk in iter(lambda: data.read(MB), b""):
            digest.update(chunk)
    return digest.hexdigest()


def archive(folder, name, stored=False):
    """name.comps made by Debian's arj from folder/name, in folder."""
    return h.arj_archive(folder, name, stored=stored)


def kill_launcher():
    h.wine("taskkill", "/f", "/im", "startqvl.exe", timeout=30)


class SamePort:
    """Each new service on its predecessor's port: the archives keep their addresses from run to run,
    as a partial archive's record expects."""

    def serve(self, faults=(), xml=None, **options):
        if getattr(self, "service", None):
            options.setdefault("port", self.service.port)
        super().serve(faults, xml, **options)


class Sources(h.UpdateSources):
    """The four new files and their archives; the old copies, which differ from them; a
    downloads folder whose second archive is damaged."""

    def __init__(self):
        sizes = {"Lumen_Data.dat": d.DATA_SIZE, "Lumen_Text.dat": 20000}
        programs = {name: (h.BIN / name).read_bytes() for name in ("quorvel.exe", "regmarker.dll")}
        super().__init__(dict(programs, **{name: os.urandom(size) for name, size in sizes.items()}))
        self.old, self.damaged = self.folder / "old", self.folder / "damaged"
        self.old.mkdir()
        self.damaged.mkdir()
        for name, image in programs.items():
            # A PE file keeps working with bytes after its end: the old copy differs in them.
            (self.old / name).write_bytes(image + b"\0old build")
        for name, size in sizes.items():
            (self.old / name).write_bytes(os.urandom(size // 2))
        for name in FILES:
            bytes_ = bytearray((self.archives / (name + ".comps")).read_bytes())
            if name == SECOND:
                for at in range(len(bytes_) // 2, len(bytes_) // 2 + 64):
                    bytes_[at] ^= 0x5A
            (self.damaged / (name + ".comps")).write_bytes(bytes_)

    def size(self, name, old=False):
        return ((self.old if old else self.files) / name).stat().st_size


class StagedTest(SamePort, d.DownloadTest):
    @classmethod
    def setUpClass(cls):
        h.end_strays("quorvel.exe", "startqvl.exe", "regsvr32.exe")
        cls.sources = Sources()

    def setUp(self):
        self.service = None
        self.serve(xml=catalogue())
        self.folder = h.scratch_folder("install") / "Quorvel Client"
        (self.folder / "Tools").mkdir(parents=True)
        for name in ("startqvl.exe", "wait.avi"):
            h.copy_program(name, self.folder)
        h.copy_program("Arj32.exe", self.folder / "Tools")
        for name in FILES:
            h.copy_program(name, self.folder, self.sources.old)
        h.write_ansi(self.folder / "FileVersion.cfg", OLD_VERSIONS)
        self.addCleanup(self.stop_client)

    def snapshot(self):
        """sha256 of every file of the installation outside the staging folder, but for the
        settings that each run writes afresh (the service's port changes)."""
        return {str(p.relative_to(self.folder)): sha256_of(p) for p in sorted(self.folder.rglob("*"))
                if p.is_file() and ".update" not in p.relative_to(self.folder).parts and p.name != "startqvl.ini"}

    def registrations(self):
        record = self.folder / (SECOND + ".registrations")
        return record.read_text("ascii").splitlines() if record.exists() else []

    def without_registration_marks(self, snapshot):
        return {k: v for k, v in snapshot.items() if not k.startswith(SECOND + ".regist")}

    def assertUntouched(self, before, ui, last_box):
        boxes = [b["text"] for b in ui.boxes()]
        self.assertTrue(boxes and boxes[-1].endswith(last_box), boxes)
        self.assertEqual(self.snapshot(), before)
        self.assertEqual(self.versions(), OLD_VERSIONS)
        self.assertFalse(self.client_started(timeout=1), "the main client was started")

    def assertInstalled(self):
        for name in FILES:
            self.assertEqual(sha256_of(self.folder / name), sha256_of(self.sources.files / name), name)
        self.assertEqual(self.registrations()[-1:], ["register %d" % self.sources.size(SECOND)])
        self.assertEqual(sorted(self.versions().splitlines()), sorted("%s=2" % name for name in FILES))
        self.assertFalse((self.folder / ".update").exists(), "the staging folder was left")
        self.assertTrue(self.client_started(), "the main client was not started")

    def complete(self, order=FILES):
        self.serve(xml=catalogue(order))
        ui = self.run_launcher()
        self.assertEqual(ui.boxes(), [])
        self.assertInstalled()


class SecondArchiveFails(StagedTest):
    def click_cancel_in_second_transfer(self, ui):
        self.assertTrue(h.wait_until(lambda: any(r["path"].endswith(SECOND + ".comps")
                                                 for r in self.service.requests()), 60))
        self.assertEqual(h.wine(h.BIN / "clickcancel.exe", "60", timeout=80).returncode, 0)

    def test_every_way_leaves_the_installation_as_it_was_and_the_next_run_completes(self):
        half = (self.sources.archives / (SECOND + ".comps")).stat().st_size // 2
        digests = {name: sha256_of(self.sources.archives / (name + ".comps")) for name in FILES}
        only_second = "@" + SECOND + ".comps"
        cases = [
            ("connection cut at half", dict(faults=["download-cut:%d%s" % (half, only_second)]), {}, d.UPDATE_ERROR),
            ("HTTP 500", dict(faults=["download-status:500" + only_second]), {}, d.UPDATE_ERROR),
            ("wrong hash", dict(xml=catalogue(digests=dict(digests, **{SECOND: "0" * 64}))), {}, d.UPDATE_ERROR),
            ("damaged archive", dict(downloads=self.sources.damaged), {}, ARCHIVER_ERROR),
            ("archiver exit code", {}, dict(env={"QV_ARJ32_EXIT_CODE": "2@%s.comps" % SECOND}), ARCHIVER_ERROR),
            ("cancel", dict(faults=["download-rate:20000" + only_second]),
             dict(answers=[(d.CANCEL_QUESTION, 6)], during=self.click_cancel_in_second_transfer), CANCEL_BOX),
        ]
        before = self.snapshot()
        for name, service, run, last_box in cases:
            with self.subTest(name):
                service.setdefault("xml", catalogue())
                self.serve(**service)
                ui = self.run_launcher(**run)
                self.assertUntouched(before, ui, last_box)
                self.assertEqual(self.registrations(), [])

        self.complete()


class SwitchFails(StagedTest):
    def test_a_second_target_locked_open_puts_the_first_back_and_registers_it_again(self):
        order = [SECOND, "Lumen_Data.dat", "quorvel.exe", "Lumen_Text.dat"]
        locked = self.folder / "Lumen_Data.dat"
        release = h.scratch_folder("lock") / "release"
        holder = h.wine_start(h.BIN / "holdopen.exe", h.win_path(locked), h.win_path(release), "90", timeout=120)
        self.addCleanup(h.end_process, holder, 30)
        self.addCleanup(release.touch)
        self.assertTrue(h.wait_until(lambda: Path(str(locked) + ".held").exists(), 30), "the file was not opened")
        before = self.snapshot()
        self.serve(xml=catalogue(order))

        ui = self.run_launcher()
        release.touch()

        self.assertEqual([b["text"] for b in ui.boxes()], [d.UPDATE_ERROR])
        self.assertEqual(self.without_registration_marks(self.snapshot()), before)
        self.assertEqual(self.registrations(), ["register %d" % self.sources.size(SECOND),
                                                "register %d" % self.sources.size(SECOND, old=True)])
        self.assertEqual(self.versions(), OLD_VERSIONS)
        self.assertFalse(self.client_started(timeout=1), "the main client was started")

        h.end_process(holder, 30)
        self.complete(order)


class Killed(StagedTest):
    def test_during_staging_nothing_installed_changes_and_the_next_start_updates(self):
        for position in (1, 3):
            with self.subTest(position=position):
                name = FILES[position - 1]
                self.serve(xml=catalogue(), faults=["download-hold:%d@%s.comps" % (
                    (self.sources.archives / (name + ".comps")).stat().st_size // 2, name)])
                before = self.snapshot()

                def kill_when_held(ui):
                    self.assertTrue(h.wait_until(self.service.hold_marker.exists, 60), "the hold was not reached")
                    kill_launcher()
                    self.service.hold_marker.unlink()

                ui = self.run_launcher(during=kill_when_held)
                self.assertEqual(ui.boxes(), [])
                self.assertEqual(self.snapshot(), before)
                self.assertEqual(self.versions(), OLD_VERSIONS)
                self.assertTrue((self.folder / ".update" / str(position) / (name + ".comps.resume")).exists())
                self.assertFalse(self.client_started(timeout=1), "the main client was started")

        self.complete()
        self.assertTrue(h.wait_until(lambda: len(self.service.served()) == len(FILES), 10))
        resumed = [r for r in self.service.served() if r["status"] == 206]
        self.assertEqual([r["path"].rsplit("/", 1)[1] for r in resumed], [FILES[2] + ".comps"])

    def test_during_the_switch_the_next_start_puts_everything_back_then_updates(self):
        for order in ([SECOND, "Lumen_Data.dat", "quorvel.exe", "Lumen_Text.dat"],
                      ["Lumen_Data.dat", SECOND, "quorvel.exe", "Lumen_Text.dat"]):
            with self.subTest(registered_at=order.index(SECOND) + 1):
                self.setUp()
                before = self.snapshot()
                hold = h.scratch_folder("hold") / "hold"
                hold.touch()
                self.addCleanup(hold.unlink, missing_ok=True)
                self.serve(xml=catalogue(order))

                def kill_while_registering(ui):
                    marker = self.folder / (SECOND + ".registered")
                    self.assertTrue(h.wait_until(marker.exists, 60), ui.boxes())
                    for name in order[:order.index(SECOND) + 1]:
                        self.assertEqual(sha256_of(self.folder / name), sha256_of(self.sources.files / name))
                    kill_launcher()
                    hold.unlink()

                ui = self.run_launcher(during=kill_while_registering, env={"QV_REGMARKER_HOLD": h.win_path(hold)})
                self.assertEqual(ui.boxes(), [])
                self.assertTrue((self.folder / ".update" / "journal").exists())
                self.assertNotEqual(self.without_registration_marks(self.snapshot()), before)

                # Downloads refused: what the next start leaves is the repair alone.
                self.serve(xml=catalogue(order), faults=["download-status:500"])
                ui = self.run_launcher()
                self.assertEqual([b["text"] for b in ui.boxes()], [d.UPDATE_ERROR])
                self.assertEqual(self.without_registration_marks(self.snapshot()), before)
                self.assertEqual(self.versions(), OLD_VERSIONS)
                self.assertEqual(self.registrations(), ["register %d" % self.sources.size(SECOND),
                                                        "register %d" % self.sources.size(SECOND, old=True)])
                self.assertFalse(self.client_started(timeout=1), "the main client was started")

                self.complete(order)
                self.stop_client()


BIG = "Lumen_Big.dat"


class Resume(SamePort, d.DownloadTest):
    """One entry, its archive stored (not compressed) so that bytes served are bytes of the file."""

    @classmethod
    def setUpClass(cls):
        h.end_strays("quorvel.exe", "startqvl.exe")
        cls.folders = h.scratch_folder("resume")
        cls.data = {}
        for label, megabytes in (("big", 50), ("small", 4), ("other", 4)):
            folder = cls.folders / label
            folder.mkdir()
            with open(folder / BIG, "wb") as out:
                for _ in range(megabytes):
                    out.write(os.urandom(MB))
            cls.data[label] = sha256_of(folder / BIG)
            archive(folder, BIG, stored=True)
            (folder / BIG).unlink()
        # The same size and time of change, so the same ETag: only the digest tells them apart.
        small, other = (cls.folders / label / (BIG + ".comps") for label in ("small", "other"))
        os.utime(other, ns=(small.stat().st_atime_ns, small.stat().st_mtime_ns))

    def setUp(self):
        self.service = None
        self.folder = h.scratch_folder("install") / "Quorvel Client"
        (self.folder / "Tools").mkdir(parents=True)
        for name in ("startqvl.exe", "wait.avi", "quorvel.exe"):
            h.copy_program(name, self.folder)
        h.copy_program("Arj32.exe", self.folder / "Tools")
        h.write_ansi(self.folder / "FileVersion.cfg", "%s=1\r\n" % BIG)
        self.addCleanup(self.stop_client)

    def serve_archive(self, label, faults=()):
        archive_path = self.folders / label / (BIG + ".comps")
        self.serve(faults, xml=d.catalogue(digests={BIG: sha256_of(archive_path)}, files=[(BIG, 2, 0)]),
                   downloads=archive_path.parent)
        return archive_path.stat().st_size

    def cut_run(self, label, at):
        self.serve_archive(label, ["download-cut:%d" % at])
        ui = self.run_launcher()
        self.assertEqual([b["text"] for b in ui.boxes()], [d.UPDATE_ERROR])
        self.assertEqual((self.folder / ".update" / "1" / (BIG + ".comps")).stat().st_size, at)
        self.assertFalse((self.folder / BIG).exists())

    def second_run(self, label, faults=()):
        """The one download of the next run: status, first byte and bytes served."""
        size = self.serve_archive(label, faults)
        ui = self.run_launcher()
        self.assertEqual(ui.boxes(), [])
        self.assertEqual(sha256_of(self.folder / BIG), self.data[label])
        self.assertEqual(h.read_ansi(self.folder / "FileVersion.cfg"), "%s=2\r\n" % BIG)
        self.assertTrue(self.client_started())
        self.assertTrue(h.wait_until(self.service.served, 10))
        served = self.service.served()
        self.assertEqual(len(served), 1, served)
        return size, served[0]

    def test_a_50_mb_archive_cut_at_30_mb_is_finished_with_one_ranged_request(self):
        self.cut_run("big", 30 * MB)
        size, served = self.second_run("big")
        self.assertEqual((served["range"], served["status"], served["first"], served["bytes"]),
                         ("bytes=%d-" % (30 * MB), 206, 30 * MB, size - 30 * MB))
        self.assertLess(served["bytes"], 21 * MB)

    def test_a_server_that_ignores_the_range_sends_it_all_again(self):
        self.cut_run("small", 2 * MB)
        size, served = self.second_run("small", ["download-ignore-range"])
        self.assertEqual((served["range"], served["status"], served["first"], served["bytes"]),
                         ("bytes=%d-" % (2 * MB), 200, 0, size))

    def test_a_changed_digest_starts_again_from_the_first_byte(self):
        self.cut_run("small", 2 * MB)
        size, served = self.second_run("other")
        self.assertEqual((served["range"], served["status"], served["first"], served["bytes"]), ("", 200, 0, size))


if __name__ == "__main__":
    unittest.main()
