"""The installation package under Wine, in a prefix of its own: a throwaway
signing certificate, the package of this build and one of a lower version made
and signed with it (with an update service program of another build); silent
installation with the school's settings, the update service installed, running
and trusting the folder the package recorded, a real update by the installed
launcher against the loopback service, the main client creating the installed
monitor, repair, upgrade (the service stopped and running its new program),
refused downgrade, uninstall back to the registry as it was, without the
service and without the installation folder (sub-folders the launcher made
included, nothing beside it, nothing a link inside it leads to), and an
installation without settings refused.
The steps build on each other and run in the order of their names."""
import hashlib
import json
import ntpath
import os
import re
import shutil
import subprocess
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "testbed" / "e2e"))
sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "launcher" / "win32" / "e2e"))
import winharness as h  # noqa: E402
from test_signed_updates import make_key  # noqa: E402

SOURCE = Path(__file__).resolve().parents[2]
PREFIX = Path(os.environ.get("QV_WINEPREFIX", h.WORK / "wineprefix"))
INPUTS = os.environ.get("QV_PACKAGE_INPUTS", "")
VERSION = os.environ.get("QV_PACKAGE_VERSION", "3.24.0")
LOWER_VERSION = "0.9.0"
CUSTOMER = "School01"
SALT = "quor.vel.salts"
SHORTCUT = "Quorvel 学校管理系统.lnk"
SETTINGS_KEY = r"HKLM\SOFTWARE\Quorvel\startqvl"  # always in the 32-bit view
SERVICE = "qvlUpdateService"
# Where the service manager keeps a service's configuration (Wine's sc has no "qc").
SERVICE_KEY = r"HKLM\System\CurrentControlSet\Services\%s" % SERVICE
SERVICE_LOG = PREFIX / "drive_c" / "ProgramData" / "Quorvel" / "qvlUpdateService.log"
MONITOR_CLSID = "{AEAE7A43-A1BC-4E58-BEB2-64D66C37BE54}"
MONITOR_KEYS = [r"HKCR\CLSID\%s" % MONITOR_CLSID, r"HKCR\qvlCheckCommunicate.clsCheckCommunicate",
                r"HKCR\TypeLib\{DB77B4DF-0688-413C-B038-BC76312EBC4C}",
                r"HKCR\Interface\{2ED84AB2-02AF-4C38-84CB-5EFB1CA3CF9A}",
                r"HKCR\Interface\{75AFE9E2-B06F-482B-9316-175D49D7A5B0}"]
# What the whole registry is compared by: the machine's and the user's software,
# less what others keep there as the test goes: Wine's own record of the menu
# files it made for shortcuts, its list of network cards, and WinINet's
# settings, made when the launcher first goes online.
EXPORTED = [r"HKEY_LOCAL_MACHINE\Software", r"HKEY_CURRENT_USER\Software"]
NOT_COMPARED = [r"HKEY_CURRENT_USER\Software\Wine\MenuFiles",
                r"HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\NetworkCards",
                r"HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Internet Settings"]


def package_arch():
    text = Path(INPUTS).read_text(encoding="utf-8")
    return re.search(r"^ARCH=(\w+)", text, re.M).group(1)


def program_files(arch=None):
    """Each package installs into the program files folder of its own bitness."""
    arch = arch or package_arch()
    return PREFIX / "drive_c" / ("Program Files" if arch == "x64" else "Program Files (x86)")


def install_dir():
    return program_files() / "Quorvel"


def win_install_dir():
    return "C:\\%s\\Quorvel" % program_files().name


def build_package(version, output, signing=None, service=None):
    """The package of this build's programs; with `service`, that program stands in for the update service's."""
    env = dict(os.environ)
    env.pop("QV_SIGN_CERT", None)
    env.pop("QV_SIGN_KEY", None)
    if signing:
        env.update(QV_SIGN_CERT=str(signing[0]), QV_SIGN_KEY=str(signing[1]))
    inputs = INPUTS
    if service:
        inputs = output.parent / "package-inputs.sh"
        inputs.parent.mkdir(parents=True, exist_ok=True)
        text = Path(INPUTS).read_text(encoding="utf-8")
        inputs.write_text(re.sub(r"^SERVICE=.*$", lambda _: "SERVICE='%s'" % service, text, flags=re.M),
                          encoding="utf-8")
    subprocess.run([str(SOURCE / "packaging" / "build-msi.sh"), str(inputs), version, str(output)], env=env,
                   check=True, stdin=subprocess.DEVNULL, timeout=300)
    return output


def another_build_of(program, output):
    """The program as another build of the same sources would differ: another link time stamp."""
    data = bytearray(Path(program).read_bytes())
    stamp = int.from_bytes(data[0x3C:0x40], "little") + 8  # COFF header after "PE\0\0": machine, sections, time
    data[stamp:stamp + 4] = (int.from_bytes(data[stamp:stamp + 4], "little") ^ 0x5A5A5A5A).to_bytes(4, "little")
    output.parent.mkdir(parents=True, exist_ok=True)
    output.write_bytes(bytes(data))
    return output


def package_service_program(package):
    """The update service program that `package` installs, as build-msi.sh left it beside the package."""
    return package.parent / (package.stem + "-files") / "qvlUpdateService.exe"


def msiexec(*args, timeout=240):
    return h.wine("msiexec", *args, timeout=timeout).returncode


def read_log(path):
    """msiexec's log, written in the ANSI code page (936 here) or, by some versions, UTF-16."""
    data = Path(path).read_bytes()
    if data.startswith(b"\xff\xfe"):
        return data.decode("utf-16")
    return data.decode("gbk", "replace")


def reg_query(key, *args, view=None):
    """The text of "reg query" for the key, or None when the key is absent; in the
    package's view of the registry unless another is asked for."""
    view = view or ("64" if package_arch() == "x64" else "32")
    output = h.WORK / "reg-query.txt"
    with open(output, "wb") as out:
        code = subprocess.run([h.WINE_RUN, "reg", "query", key, "/reg:" + view, *args], stdout=out,
                              stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL, timeout=120).returncode
    return output.read_bytes().decode("gbk", "replace") if code == 0 else None


def sc(*args):
    """sc's exit code and output. Wine's sc names a failure's error code only on its
    debug channel (Windows' prints it), so that channel is read too."""
    result = subprocess.run([h.WINE_RUN, "sc", *args], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, timeout=75, start_new_session=True,
                            env=dict(os.environ, QV_WINE_TIMEOUT="60", QV_WINEDEBUG="err+sc"))
    return result.returncode, result.stdout.decode("gbk", "replace")


def service_state():
    """The STATE word of "sc query" (RUNNING, STOPPED, ...), or None when sc fails."""
    code, output = sc("query", SERVICE)
    match = re.search(r"STATE\s*:\s*\d+\s+(\w+)", output)
    return match.group(1) if code == 0 and match else None


def wait_for_service_state(state, timeout=30):
    return h.wait_until(lambda: service_state() == state, timeout, interval=0.5)


def service_log():
    return SERVICE_LOG.read_text(encoding="utf-8").splitlines() if SERVICE_LOG.exists() else []


def service_events():
    """The service's own start and stop lines, oldest first."""
    return [line.split("\t", 1)[1] for line in service_log() if re.search(r"\tservice (started|stopped)", line)]


def installed_service_program():
    return install_dir() / "qvlUpdateService.exe"


def sha256(path):
    return hashlib.sha256(Path(path).read_bytes()).hexdigest()


def ask_service():
    """The result record that the installed service gives a request (qvlupdclient.exe), or None."""
    out = State.folder / "client.jsonl"
    out.unlink(missing_ok=True)
    h.wine(h.BIN / "qvlupdclient.exe", "--out", h.win_path(out), "request", timeout=60)
    lines = out.read_text(encoding="utf-8").splitlines() if out.exists() else []
    results = [json.loads(line) for line in lines if '"Result"' in line]
    return results[-1] if results else None


def export_registry(name):
    """Every value under the exported keys, as a set of (key, value line) pairs; keys
    that hold no value (empty containers) do not count."""
    values = set()
    for index, key in enumerate(EXPORTED):
        path = h.WORK / ("%s-%d.reg" % (name, index))
        result = h.wine("regedit", "/E", h.win_path(path), key, timeout=180)
        if result.returncode != 0 or not path.exists():
            raise RuntimeError("regedit /E %s failed" % key)
        current = None
        text = path.read_bytes().decode("utf-16").replace("\\\r\n", "").replace("\\\n", "")
        for line in text.splitlines():
            line = line.strip()
            if line.startswith("[") and line.endswith("]"):
                current = line[1:-1]
            elif line and current and not line.startswith(";") and "=" in line:
                if not any(current.lower().startswith(k.lower()) for k in NOT_COMPARED):
                    values.add((current, line))
    return values


def start_menu_shortcuts():
    # Wine puts a per-machine package's menu entries into the user's menu.
    places = [PREFIX / "drive_c" / "ProgramData" / "Microsoft" / "Windows" / "Start Menu" / "Programs"]
    places += list((PREFIX / "drive_c" / "users").glob("*/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"))
    return [p / SHORTCUT for p in places if (p / SHORTCUT).exists()]


def desktop_shortcuts():
    places = [PREFIX / "drive_c" / "users" / "Public" / "Desktop"] + list((PREFIX / "drive_c" / "users").glob("*/Desktop"))
    return [p / SHORTCUT for p in places if (p / SHORTCUT).exists()]


# What the service delivers: the main client, and two files into folders the launcher makes.
DELIVERED = [("quorvel.exe", "[CUR_PATH]"), ("report.dat", "[CUR_PATH]lib\\"),
             ("plugin.dat", "[CUR_PATH]lib\\plugins\\")]


def catalogue(downloads):
    """Every delivered file at version 2 with its archive's digest; the stand-in signs each entry."""
    entries = "".join(
        "<File><cFileName>%s</cFileName><cVersion>2</cVersion><cFilePath>%s</cFilePath>"
        "<cDownLoadPath>{base}/download</cDownLoadPath><cIfReg>0</cIfReg><cIfPrivate>0</cIfPrivate>"
        "<cSHA256>%s</cSHA256></File>"
        % (name, path, hashlib.sha256((downloads / (name + ".comps")).read_bytes()).hexdigest())
        for name, path in DELIVERED)
    return '<catalogue customer="%s" salt="%s">%s</catalogue>' % (CUSTOMER, SALT, entries)


def delivered_paths():
    return [install_dir().joinpath(*path[len("[CUR_PATH]"):].split("\\")) / name for name, path in DELIVERED]


class State:
    folder = None
    certificate = None
    key = None
    current = None
    lower = None
    unsigned = None
    service = None
    before = None
    publisher_key = None  # the private key the stand-in signs with
    publisher_keys = None  # its PublisherKeys value


def setUpModule():
    if not INPUTS or not Path(INPUTS).exists():
        raise unittest.SkipTest("QV_PACKAGE_INPUTS names no package inputs (configure the build)")
    # A new prefix every time: what an earlier run installed would change what this one sees.
    subprocess.run([str(SOURCE / "scripts" / "wine-prefix.sh"), "down", str(PREFIX)], stdin=subprocess.DEVNULL,
                   timeout=120)
    shutil.rmtree(PREFIX, ignore_errors=True)
    subprocess.run([str(SOURCE / "scripts" / "wine-prefix.sh"), "up", str(PREFIX)], check=True,
                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, timeout=600)
    # Shortcuts stay in the prefix: no menu entries for this machine's desktop.
    h.wine("reg", "add", r"HKCU\Software\Wine\DllOverrides", "/v", "winemenubuilder.exe", "/d", "", "/f", timeout=60)
    if package_arch() == "x86" and h.wine(r"C:\windows\syswow64\cmd.exe", "/c", "exit 7", timeout=60).returncode != 7:
        raise unittest.SkipTest("32-bit Windows programs do not run on this machine")
    State.folder = h.scratch_folder("package")
    State.certificate = State.folder / "signer.pem"
    State.key = State.folder / "signer.key"
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                    "-subj", "/CN=Quorvel test signer", "-addext", "extendedKeyUsage=codeSigning",
                    "-addext", "keyUsage=digitalSignature", "-keyout", str(State.key), "-out", str(State.certificate)],
                   check=True, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   timeout=120)
    signing = (State.certificate, State.key)
    State.current = build_package(VERSION, State.folder / "current" / "startqvl.msi", signing)
    # The lower version carries a service program that differs from this build's, so
    # that the upgrade can be seen to replace it.
    built = re.search(r"^SERVICE='(.*)'$", Path(INPUTS).read_text(encoding="utf-8"), re.M).group(1)
    older = another_build_of(built, State.folder / "older" / "qvlUpdateService.exe")
    State.lower = build_package(LOWER_VERSION, State.folder / "lower" / "startqvl.msi", signing, service=older)
    State.unsigned = build_package(VERSION, State.folder / "unsigned" / "startqvl.msi")
    # The terminal SDK stand-in, for the monitor's objects; registered before the
    # registry is taken as it was.
    if h.wine("regsvr32", "/s", h.win_path(h.BIN / "zkemkeeper.dll"), timeout=60).returncode != 0:
        raise RuntimeError("regsvr32 zkemkeeper.dll failed")
    State.publisher_key, State.publisher_keys = make_key(State.folder, "publisher")
    downloads = State.folder / "downloads"
    downloads.mkdir()
    make_archive(downloads)
    State.service = h.UpdateService(catalogue(downloads), downloads=downloads, sign_key=State.publisher_key)
    State.service.__enter__()
    State.before = export_registry("before")


def tearDownModule():
    if State.service:
        State.service.__exit__(None, None, None)
    if State.folder:
        h.end_strays("quorvel.exe", "startqvl.exe", "qvlCheckCommunicate.exe")
    subprocess.run([str(SOURCE / "scripts" / "wine-prefix.sh"), "down", str(PREFIX)], stdin=subprocess.DEVNULL,
                   timeout=120)


def make_archive(downloads):
    files = State.folder / "files"
    files.mkdir()
    h.copy_program("quorvel.exe", files)
    for name, _ in DELIVERED:
        if name != "quorvel.exe":
            (files / name).write_bytes(b"delivered " + name.encode())
        h.arj_archive(files, name, into=downloads)


class Package(unittest.TestCase):

    def test_1_an_installation_without_the_settings_stops_and_says_why_in_its_log(self):
        cases = [
            (["CUSTOMERCODE=" + CUSTOMER], ["缺少属性 SERVICEURL", "缺少属性 SIGNINGSALT"], ["缺少属性 CUSTOMERCODE"]),
            (["SERVICEURL=ftp://h", "CUSTOMERCODE=#1", "SIGNINGSALT=s"],
             ["SERVICEURL 必须以 http:// 或 https:// 开头", "不能以 # 开头"], ["缺少属性"]),
        ]
        for index, (properties, reasons, absent) in enumerate(cases):
            log = State.folder / ("refused-%d.log" % index)
            code = msiexec("/i", h.win_path(State.current), "/qn", *properties, "/l*v", h.win_path(log))
            self.assertNotEqual(code, 0, properties)
            text = read_log(log)
            for reason in reasons:
                self.assertIn(reason, text, properties)
            for reason in absent:
                self.assertNotIn(reason, text, properties)
            self.assertFalse(install_dir().exists(), properties)
            self.assertIsNone(reg_query(SETTINGS_KEY, view="32"), properties)

    def test_2_the_programs_and_the_package_carry_verifiable_signatures(self):
        signed = [State.current, State.lower] + [State.current.parent / ("startqvl-files/" + name) for name in
                                                 ("startqvl.exe", "qvlCheckCommunicate.exe", "Lumen_Control.ocx",
                                                  "qvlUpdateService.exe")]
        for path in signed:
            self.assertEqual(self.verify(path), 0, path)
        self.assertNotEqual(self.verify(State.unsigned), 0, "an unsigned package passed")
        tampered = State.folder / "tampered.exe"
        data = bytearray(signed[2].read_bytes())
        data[len(data) // 3] ^= 0xFF
        tampered.write_bytes(bytes(data))
        self.assertNotEqual(self.verify(tampered), 0, "a changed program passed")

    def verify(self, path):
        return subprocess.run(["osslsigncode", "verify", "-CAfile", str(State.certificate), "-in", str(path)],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL,
                              timeout=120).returncode

    def test_3_a_silent_installation_lays_out_the_folder_settings_and_shortcuts(self):
        code = msiexec("/i", h.win_path(State.lower), "/qn", "SERVICEURL=" + State.service.url,
                       "CUSTOMERCODE=" + CUSTOMER, "SIGNINGSALT=" + SALT, "DESKTOPSHORTCUT=1",
                       "/l*v", h.win_path(State.folder / "install.log"))
        self.assertEqual(code, 0)
        expected = "C:\\%s\\Quorvel\\" % program_files().name
        self.assertIn("INSTALLDIR = " + expected, read_log(State.folder / "install.log"))
        other = program_files("x86" if package_arch() == "x64" else "x64") / "Quorvel"
        self.assertFalse(other.exists(), "installed into the other program files folder")
        for name in ["startqvl.exe", "wait.avi", "qvlCheckCommunicate.exe", "FileVersion.cfg", "Tools/Arj32.exe"]:
            self.assertTrue((install_dir() / name).is_file(), name)
        self.assertFalse((install_dir() / "quorvel.exe").exists())
        settings = reg_query(SETTINGS_KEY, view="32")
        self.assertIsNotNone(settings, "no settings key in the 32-bit view")
        for name, value in [("ServiceUrl", State.service.url), ("CustomerCode", CUSTOMER), ("SigningSalt", SALT)]:
            self.assertRegex(settings, r"%s\s+REG_SZ\s+%s" % (name, re.escape(value)))
        self.assertNotIn("PublisherKeys", settings)
        recorded = re.search(r"InstallDir\s+REG_SZ\s+(.*\S)", settings)
        self.assertIsNotNone(recorded, "no InstallDir for the update service")
        self.assertEqual(recorded.group(1).rstrip("\\"), win_install_dir())
        self.assertTrue(start_menu_shortcuts(), "no Start-menu shortcut")
        self.assertTrue(desktop_shortcuts(), "no desktop shortcut")

    def test_3a_the_package_installs_and_starts_the_update_service_from_the_installation_folder(self):
        self.assertTrue(wait_for_service_state("RUNNING"), sc("query", SERVICE)[1])
        self.assertIn("WIN32_OWN_PROCESS", sc("query", SERVICE)[1])
        config = reg_query(SERVICE_KEY)
        self.assertIsNotNone(config, "the service manager has no key for the service")
        image = re.search(r"ImagePath\s+REG_\w+\s+(.*\S)", config).group(1).strip('"')
        self.assertEqual(ntpath.dirname(image).lower(), win_install_dir().lower())
        self.assertEqual(ntpath.basename(image).lower(), "qvlupdateservice.exe")
        self.assertRegex(config, r"Start\s+REG_DWORD\s+0x2\b")  # automatic
        self.assertRegex(config, r"ObjectName\s+REG_SZ\s+LocalSystem\b")
        self.assertRegex(config, r"DisplayName\s+REG_SZ\s+Quorvel 更新服务")
        self.assertRegex(config, r"Description\s+REG_SZ\s+.*更新")
        self.assertEqual(service_events(), ["service started"])
        # It reads the settings the package wrote: without PublisherKeys every request is refused.
        result = ask_service()
        self.assertIsNotNone(result, "the service did not answer on its pipe")
        self.assertEqual(result["code"], "Refused")
        self.assertIn("缺少 PublisherKeys", result["reason"])

    def test_4_the_installed_launcher_updates_and_its_main_client_creates_the_installed_monitor(self):
        folder = install_dir()
        # This package was installed without publisher keys, so its service refuses to update;
        # with the service stopped the launcher updates in its own process, as without one.
        sc("stop", SERVICE)
        self.assertTrue(wait_for_service_state("STOPPED"), "the service did not stop")
        self.addCleanup(lambda: (sc("start", SERVICE), wait_for_service_state("RUNNING")))
        # The launcher downloads into the folders an entry names; it makes none of them.
        for path in delivered_paths():
            path.parent.mkdir(parents=True, exist_ok=True)
        with h.UiDriver() as ui:
            launcher = h.wine_start(win_install_dir() + "\\startqvl.exe", timeout=120,
                                    env={"QV_TERMINALS": "127.0.0.1;4370", "QV_STANDIN_LIFETIME": "60"})
            self.addCleanup(h.end_process, launcher, 1)
            self.assertTrue(h.wait_until(lambda: launcher.poll() is not None, 120), "the launcher did not end")
        self.assertEqual(ui.boxes(), [])
        for path in delivered_paths():
            self.assertTrue(path.is_file(), "not unpacked: %s" % path)
        self.assertIn("quorvel.exe=2", h.read_ansi(folder / "FileVersion.cfg"))
        queries = [r["query"] for r in State.service.requests() if r["path"] == "/api/GetProgramFiles.ashx"]
        self.assertTrue(queries and queries[0].startswith("cid=" + CUSTOMER + "&"), queries)
        form_log = folder / "quorvel.form.log"
        started = h.wait_until(lambda: form_log.exists() and "\tstarted" in form_log.read_text("utf-8"), 60)
        (folder / "quorvel.exit").touch()
        self.assertTrue(started, form_log.read_text("utf-8") if form_log.exists() else "the main client did not start")
        h.wait_until(lambda: "exited" in (folder / "quorvel.started.log").read_text("utf-8"), 20)
        h.end_strays("qvlCheckCommunicate.exe")

    def test_5_the_package_registers_the_monitor_as_the_server_registers_itself(self):
        by_package = self.monitor_registration()
        self.assertNotIn(None, by_package)
        server = win_install_dir() + "\\qvlCheckCommunicate.exe"
        self.assertEqual(h.wine(server, "/UnRegServer", timeout=60).returncode, 0)
        self.assertIsNone(reg_query(MONITOR_KEYS[0]))
        self.assertEqual(h.wine(server, "/RegServer", timeout=60).returncode, 0)
        self.assertEqual(self.monitor_registration(), by_package)
        # The server's registration goes again (with what it writes beyond the package's,
        # such as Wine's copies in the 32-bit view); the repair that follows puts the
        # package's back.
        self.assertEqual(h.wine(server, "/UnRegServer", timeout=60).returncode, 0)

    @staticmethod
    def monitor_registration():
        # The package's HELPDIR is the folder with its trailing "\", the system's without.
        texts = [reg_query(key, "/s") for key in MONITOR_KEYS]
        return [re.sub(r"\\(\r?\n)", r"\1", text) if text else text for text in texts]

    def test_6_repair_restores_a_deleted_launcher_and_keeps_the_version_file(self):
        versions = (install_dir() / "FileVersion.cfg").read_bytes()
        (install_dir() / "startqvl.exe").unlink()
        code = msiexec("/i", h.win_path(State.lower), "/qn", "REINSTALL=ALL", "REINSTALLMODE=omus")
        self.assertEqual(code, 0)
        self.assertTrue((install_dir() / "startqvl.exe").is_file())
        self.assertIsNotNone(reg_query(MONITOR_KEYS[0]), "the repair did not restore the registration")
        self.assertEqual((install_dir() / "FileVersion.cfg").read_bytes(), versions)
        self.assertTrue((install_dir() / "quorvel.exe").is_file())
        self.assertTrue(wait_for_service_state("RUNNING"), "the service is not running after the repair")

    def test_7_a_newer_package_replaces_the_older_in_place_and_a_downgrade_is_refused(self):
        versions = (install_dir() / "FileVersion.cfg").read_bytes()
        settings = reg_query(SETTINGS_KEY, view="32")
        older = sha256(installed_service_program())
        self.assertEqual(older, sha256(package_service_program(State.lower)))
        newer = sha256(package_service_program(State.current))
        self.assertNotEqual(older, newer, "both packages carry the same service program")
        events = len(service_events())
        # The settings left out are kept; one given is added.
        self.assertEqual(msiexec("/i", h.win_path(State.current), "/qn", "PUBLISHERKEYS=" + State.publisher_keys,
                                 "/l*v", h.win_path(State.folder / "up.log")), 0)
        self.assertEqual(self.installed_versions(), [VERSION])
        # The old service was stopped before its program went, and the new program runs.
        self.assertTrue(wait_for_service_state("RUNNING"), sc("query", SERVICE)[1])
        self.assertEqual(sha256(installed_service_program()), newer)
        self.assertEqual(service_events()[events:], ["service stopped", "service started"])
        self.assertEqual((install_dir() / "FileVersion.cfg").read_bytes(), versions)
        self.assertTrue((install_dir() / "quorvel.exe").is_file())
        self.assertFalse((install_dir() / "startqvl.upgrading").exists())
        upgraded = reg_query(SETTINGS_KEY, view="32")
        self.assertRegex(upgraded, r"PublisherKeys\s+REG_SZ\s+" + re.escape(State.publisher_keys))
        self.assertEqual(re.sub(r".*PublisherKeys.*\n", "", upgraded), settings)
        settings = upgraded
        self.assertNotEqual(msiexec("/i", h.win_path(State.lower), "/qn", "SERVICEURL=http://h", "CUSTOMERCODE=c",
                                    "SIGNINGSALT=s"), 0)
        self.assertEqual(self.installed_versions(), [VERSION])
        self.assertEqual(reg_query(SETTINGS_KEY, view="32"), settings)
        self.assertEqual(service_state(), "RUNNING")
        # With publisher keys, the folder the package recorded passes the service's checks.
        result = ask_service()
        self.assertIsNotNone(result, "the service did not answer on its pipe")
        self.assertNotIn(result["code"], ("Refused", "BadRecord"), result["reason"])

    def installed_versions(self):
        text = reg_query(r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall", "/s") or ""
        blocks = re.split(r"\r?\n(?=HKEY_)", text)
        return [re.search(r"DisplayVersion\s+REG_SZ\s+(\S+)", b).group(1) for b in blocks
                if "Quorvel" in b and "DisplayVersion" in b]

    def test_7a_with_publisher_keys_the_installed_launcher_updates_through_the_service(self):
        folder = install_dir()
        versions = folder / "FileVersion.cfg"
        h.write_ansi(versions, h.read_ansi(versions).replace("report.dat=2", "report.dat=1"))
        (folder / "lib" / "report.dat").write_bytes(b"old report")
        served = len(State.service.requests())
        log = h.RunLog(PREFIX)
        with h.UiDriver() as ui:
            launcher = h.wine_start(win_install_dir() + "\\startqvl.exe", timeout=120,
                                    env={"QV_STANDIN_LIFETIME": "2"})
            self.addCleanup(h.end_process, launcher, 1)
            self.assertTrue(h.wait_until(lambda: launcher.poll() is not None, 120), "the launcher did not end")
        self.assertEqual(ui.boxes(), [])
        self.assertEqual(launcher.returncode, 0)
        self.assertEqual((folder / "lib" / "report.dat").read_bytes(), b"delivered report.dat")
        self.assertIn("report.dat=2", h.read_ansi(versions))
        self.assertTrue(len(State.service.requests()) > served)
        # The service's process replaced the file; the launcher only handed the update over and started the client.
        starts = re.findall(r"\[(\d+)\] startqvl 3\.24 in " + re.escape(win_install_dir()), log.text())
        self.assertTrue(starts, "the launcher's run is not in its log")
        launcher_pid = starts[-1]
        events = [line for line in log.text().splitlines() if "[%s] " % launcher_pid in line]
        self.assertTrue([e for e in events if "update delegated to the machine's update service" in e], events)
        self.assertTrue([e for e in events if "update service result: Done" in e], events)
        self.assertFalse([e for e in events if "report.dat" in e], events)
        lines = [line for line in service_log() if "] update: " in line and "report.dat" in line]
        self.assertTrue(lines, "the service's log names no report.dat")
        service_pids = {re.search(r"\[(\d+)\] update: ", line).group(1) for line in lines}
        self.assertEqual(len(service_pids), 1, lines)
        self.assertNotIn(launcher_pid, service_pids)
        h.wait_until(lambda: (folder / "quorvel.started.log").exists(), 30)
        (folder / "quorvel.exit").touch()
        h.end_strays("quorvel.exe", "qvlCheckCommunicate.exe")

    def test_8_uninstalling_leaves_neither_files_nor_registry_entries(self):
        self.assertTrue(all(path.is_file() for path in delivered_paths()))
        beside = program_files() / "Quorvel.txt"
        beside.write_text("a school's own file beside the installation folder")
        self.addCleanup(beside.unlink, missing_ok=True)
        self.assertEqual(msiexec("/x", h.win_path(State.current), "/qn"), 0)
        self.assertFalse(program_files().joinpath("Quorvel").exists(), "the installation folder stayed")
        self.assertTrue(beside.is_file(), "a file beside the installation folder went too")
        self.assertEqual(start_menu_shortcuts() + desktop_shortcuts(), [])
        self.assertIsNone(reg_query(SETTINGS_KEY, view="32"))  # InstallDir with the rest
        code, output = sc("query", SERVICE)
        self.assertNotEqual(code, 0)
        self.assertRegex(output, r"\b1060\b", "the service is not reported missing")
        self.assertIsNone(reg_query(SERVICE_KEY))
        self.assertEqual(service_events()[-1], "service stopped")
        for key in MONITOR_KEYS:
            self.assertIsNone(reg_query(key), key)
        after = export_registry("after")
        self.assertEqual(sorted(after - State.before), [], "values added")
        self.assertEqual(sorted(State.before - after), [], "values removed")

    def test_9_uninstalling_never_follows_a_link_out_of_the_installation_folder(self):
        self.assertEqual(msiexec("/i", h.win_path(State.current), "/qn", "SERVICEURL=" + State.service.url,
                                 "CUSTOMERCODE=" + CUSTOMER, "SIGNINGSALT=" + SALT), 0)
        # Wine makes no junctions; a Unix symbolic link is what it shows as a folder leading elsewhere.
        target = program_files() / "School data"
        (target / "marks").mkdir(parents=True)
        (target / "marks" / "term1.xls").write_text("marks")
        self.addCleanup(shutil.rmtree, target, ignore_errors=True)
        (install_dir() / "lib").mkdir()
        (install_dir() / "lib" / "data").symlink_to(target)
        (install_dir() / "notes.txt").symlink_to(target / "marks" / "term1.xls")
        self.addCleanup(shutil.rmtree, install_dir(), ignore_errors=True)
        self.assertEqual(msiexec("/x", h.win_path(State.current), "/qn"), 0)
        self.assertEqual((target / "marks" / "term1.xls").read_text(), "marks", "a link's target was deleted")
        # Under Wine the links themselves stay: removing them would remove what they lead to.
        left = sorted(os.path.relpath(os.path.join(top, name), install_dir())
                      for top, folders, files in os.walk(install_dir()) for name in folders + files)
        self.assertEqual(left, ["lib", "lib/data", "notes.txt"])


if __name__ == "__main__":
    unittest.main()
