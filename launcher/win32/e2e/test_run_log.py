"""What IT staff read after a run: startqvl.exe's log in the user's local
application-data folder, its exit status, and its CHECK switch, end to end
under Wine with the loopback service, archives made with arj and keys made
with qv-publisher."""
import hashlib
import shutil
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[3] / "testbed" / "e2e"))
sys.path.insert(0, str(Path(__file__).resolve().parent))
import winharness as h  # noqa: E402
from test_download import CUSTOMER, OLD_VERSIONS, SALT, UPDATE_ERROR, catalogue  # noqa: E402
from test_signed_updates import NAMES, REQUEST_ERROR, SignedTest  # noqa: E402

WRONG_SALT = "not.the.salt"


class LogTest(SignedTest):
    salt = SALT

    def setUp(self):
        super().setUp()
        self.log = h.RunLog()

    def write_settings(self):
        super().write_settings()
        ini = self.folder / "startqvl.ini"
        ini.write_text(ini.read_text().replace("SigningSalt=%s" % SALT, "SigningSalt=%s" % self.salt))

    def events(self):
        return self.log.last_run(self.folder)

    def assertLogged(self, *parts):
        events = self.events()
        for part in parts:
            self.assertTrue([e for e in events if part in e], "%r not logged in:\n%s" % (part, "\n".join(events)))

    def assertNoSecrets(self):
        """Neither salt, nor a request's sign= value, nor any key material is in the log."""
        text = self.log.text()
        for secret in [SALT, WRONG_SALT, self.public_a, self.public_b, self.public_a[:20], self.public_b[:20]]:
            self.assertNotIn(secret, text)
        for request in self.service.requests():
            sign = request["query"].partition("sign=")[2]
            if sign:
                self.assertNotIn(sign, text)

    def win(self, *parts):
        return h.win_path(self.folder.joinpath(*parts))


class Update(LogTest):
    def test_a_signed_update_is_recorded_fact_by_fact(self):
        self.keys = self.public_a
        self.serve(xml=self.signed_catalogue(), sign_key=self.key_a)

        self.run_launcher()

        self.assertInstalled()
        events = self.events()
        self.assertTrue(events[0].startswith("startqvl 3.24 in %s, mode normal" % self.win()), events[0])
        self.assertLogged(
            "settings from file %s: ServiceUrl %s, CustomerCode %s, SigningSalt present, PublisherKeys present "
            "(1 key)" % (self.win("startqvl.ini"), self.service.url, CUSTOMER),
            "request GET %s/api/GetProgramFiles.ashx?cid=%s&rnd=" % (self.service.url, CUSTOMER),
            "&db=&sign=***",
            "answer: HTTP status 200, ",
            'answer read: errorCode 1, errorMessage "", 3 entries, every entry signed by a publisher key',
            'entry "quorvel.exe" version 2: to update (recorded version "1")',
            "3 of 3 files to update",
            "version file %s written with 3 versions" % self.win("FileVersion.cfg"),
            "main client started: %s" % self.win("quorvel.exe"))
        for position, name in enumerate(NAMES, 1):
            size = (self.sources.archives / (name + ".comps")).stat().st_size
            staged = self.win(".update", str(position))
            self.assertLogged("transfer %s/download/%s.comps to %s\\%s.comps: complete, %d bytes of %d announced, "
                              % (self.service.url, name, staged, name, size, size),
                              '"%s" e "%s\\%s.comps" -y "%s\\ " ended, exit code 0'
                              % (self.win("Tools", "Arj32.exe"), staged, name, staged))
        transfer = [e for e in events if e.startswith("transfer ")][0]
        self.assertRegex(transfer, r", \d+ ms, \d+ bytes/s, digest matches cSHA256$")
        registration = 'regsvr32 /s "%s"' % self.win("regmarker.dll")
        self.assertEqual(len([e for e in events if e.startswith(registration + " ended, exit code 0")]), 1, events)
        self.assertEqual(events[-1], "end: main client started, exit status 0")
        self.assertNoSecrets()


class Refusals(LogTest):
    def test_each_refusal_names_its_check_its_file_and_the_exit_status(self):
        broken = dict(self.digests, **{"Lumen_Data.dat": "0" * 64})
        cases = [
            ("signature", self.public_a, dict(xml=self.signed_catalogue(), sign_key=self.key_a,
                                              faults=["copy-signature:1:2"]), SALT, 14,
             'answer refused at entry 2 "regmarker.dll": signature: valid under none of the 1 publisher keys'),
            ("digest", None, dict(xml=catalogue(digests=broken)), SALT, 16,
             "digest refused: cSHA256 %s, received %s" % ("0" * 64, self.digests["Lumen_Data.dat"])),
            ("name", None, dict(xml=catalogue().replace("<cFileName>regmarker.dll<", "<cFileName>..\\regmarker.dll<")),
             SALT, 14, 'answer refused at entry 2 "..\\regmarker.dll": name: '),
            ("service", None, dict(), WRONG_SALT, 15, 'answer read: errorCode 3, errorMessage "请求签名验证失败。"'),
            ("cut transfer", None, dict(faults=["download-cut:5000"]), SALT, 16,
             "transfer %s/download/quorvel.exe.comps to %s: broken off, 5000 bytes of "),
        ]
        for kind, keys, service, salt, status, logged in cases:
            with self.subTest(kind=kind):
                self.keys, self.salt = keys, salt
                self.serve(**service)
                self.run_launcher()
                self.assertEqual(self.exit_status, status)
                if "%s" in logged:
                    logged = logged % (self.service.url, self.win(".update", "1", "quorvel.exe.comps"))
                self.assertLogged(logged)
                self.assertEqual(self.events()[-1].rsplit(", exit status ", 1)[1], str(status))
                self.assertEqual(self.versions(), OLD_VERSIONS)
                self.assertNoSecrets()

    def test_a_settings_error_is_recorded_and_ends_with_status_12(self):
        self.write_settings = lambda: (self.folder / "startqvl.ini").write_text(
            "[Update]\r\nServiceUrl=%s\r\nCustomerCode=%s\r\n" % (self.service.url, CUSTOMER))

        ui = self.run_launcher()

        self.assertEqual(self.exit_status, 12)
        self.assertEqual(len(ui.boxes()), 1)
        self.assertLogged("settings error: 设置文件 %s 的 [Update] 节缺少 SigningSalt。" % self.win("startqvl.ini"),
                          "end: settings missing or invalid, exit status 12")
        self.assertEqual(self.service.requests(), [])


class Ends(LogTest):
    def test_a_main_client_that_cannot_be_started_ends_with_status_20(self):
        h.write_ansi(self.folder / "FileVersion.cfg", "quorvel.exe=2\r\nregmarker.dll=2\r\nLumen_Data.dat=2\r\n")
        (self.folder / "quorvel.exe").write_bytes(b"not a program")
        for name in ["regmarker.dll", "Lumen_Data.dat"]:
            (self.folder / name).write_bytes(b"x")

        ui = self.run_launcher()

        self.assertEqual(self.exit_status, 20)
        self.assertEqual(len(ui.boxes()), 1)
        self.assertLogged("0 of 3 files to update", "main client not started: %s: " % self.win("quorvel.exe"))


class LogFiles(LogTest):
    def test_beyond_one_megabyte_the_log_moves_to_startqvl_1_log(self):
        self.log.folder.mkdir(parents=True, exist_ok=True)
        filler = "2020-01-01 00:00:00.000 [1] an older run's line\r\n"
        self.log.path.write_bytes((filler * (1024 * 1024 // len(filler))).encode("utf-8"))

        self.run_launcher()

        self.assertEqual(self.exit_status, 0)
        older = self.log.older.read_bytes()
        current = self.log.path.read_bytes()
        self.assertTrue(older.startswith(filler.encode("utf-8")))
        self.assertNotIn(filler.encode("utf-8"), current)
        self.assertLessEqual(len(older), 1024 * 1024)
        self.assertEqual(self.events()[-1], "end: main client started, exit status 0")
        self.assertEqual(sorted(p.name for p in self.log.folder.iterdir()), ["startqvl.1.log", "startqvl.log"])

    def block_the_log(self, blocked):
        """Puts a file where the log's folder belongs, or a folder where its file belongs."""
        kept = self.log.folder.with_name("Quorvel.kept")
        if self.log.folder.exists():
            self.log.folder.rename(kept)

        def restore():
            if self.log.folder.is_dir():
                shutil.rmtree(self.log.folder)
            elif self.log.folder.exists():
                self.log.folder.unlink()
            if kept.exists():
                kept.rename(self.log.folder)
        self.addCleanup(restore)
        if blocked == "folder":
            self.log.folder.write_text("in the way")
        else:
            self.log.path.mkdir(parents=True)

    def test_a_file_in_place_of_the_log_folder_changes_nothing_for_the_run(self):
        self.block_the_log("folder")
        ui = self.run_launcher()
        self.assertEqual(ui.boxes(), [])
        self.assertInstalled()
        self.assertTrue(self.log.folder.is_file())

    def test_a_folder_in_place_of_the_log_file_changes_nothing_for_the_run(self):
        self.block_the_log("file")
        ui = self.run_launcher()
        self.assertEqual(ui.boxes(), [])
        self.assertInstalled()
        self.assertEqual(list(self.log.path.iterdir()), [])


class Check(LogTest):
    def fingerprint(self):
        return {str(p.relative_to(self.folder)): hashlib.sha256(p.read_bytes()).hexdigest()
                for p in sorted(self.folder.rglob("*")) if p.is_file()}

    def check(self, status):
        self.write_settings()
        before = self.fingerprint()
        ui = self.run_launcher(arguments=["check"])
        self.assertEqual(self.exit_status, status)
        self.assertEqual(self.fingerprint(), before, "CHECK changed the installation")
        self.assertFalse(self.client_started(timeout=1))
        self.assertFalse([r for r in self.service.requests() if r["path"].startswith("/download/")])
        boxes = ui.boxes()
        self.assertEqual(len(boxes), 1, boxes)
        self.assertLogged("mode CHECK", "check: ")
        return boxes[0]

    def test_a_good_signed_service_passes_with_the_files_that_would_be_updated(self):
        self.keys = self.public_a
        self.serve(xml=self.signed_catalogue(), sign_key=self.key_a)

        box = self.check(0)

        self.assertEqual(box["title"], "提示")
        self.assertIn("设置：file %s，有效。" % self.win("startqvl.ini"), box["text"])
        self.assertIn("发布者公钥：1 个，只接受有效签名的回答。", box["text"])
        self.assertIn("可以连接，回答有效，共 3 个文件，均有发布者的有效签名。", box["text"])
        self.assertIn("需要升级的文件：3 个。", box["text"])
        self.assertIn("检查通过。", box["text"])
        self.assertLogged('entry "Lumen_Data.dat" version 2: to update', "end: check passed, exit status 0")
        self.assertNoSecrets()

    def test_an_unreachable_service_and_a_tampered_answer_fail_with_their_status(self):
        self.keys = self.public_a
        with h.UpdateService(catalogue()) as closed:
            dead = closed.url
        self.write_settings = lambda: (self.folder / "startqvl.ini").write_text(
            "[Update]\r\nServiceUrl=%s\r\nCustomerCode=%s\r\nSigningSalt=%s\r\nPublisherKeys=%s\r\n"
            % (dead, CUSTOMER, SALT, self.public_a))
        box = self.check(13)
        self.assertIn("升级服务 %s：无法连接或没有回答。" % dead, box["text"])
        self.assertEqual(box["title"], "错误")

        del self.write_settings
        self.serve(xml=self.signed_catalogue(), sign_key=self.key_a, faults=["change:3:cVersion:9"])
        box = self.check(14)
        self.assertIn("回答无法读取，或有未经发布者有效签名的项目。", box["text"])
        self.assertLogged('answer refused at entry 3 "Lumen_Data.dat": signature: ', "exit status 14")


if __name__ == "__main__":
    unittest.main()
