"""End-to-end test harness: runs the real Windows programs under Wine next to
the test bed's stand-ins. Every wait is bounded; every process started here is
ended by the context manager that started it.

Paths come from the environment that CTest sets:
  QV_WINE_RUN      the build's wine-run.sh (prefix, locale, time limit)
  QV_BIN           folder of the Windows programs of this build
  QV_HOST_TESTBED  folder of the test bed's native Linux programs
  QV_WORK          scratch folder for installations and logs
  QV_ARCH          i686 or x86_64, the bitness of QV_BIN's programs
  QV_WINEPREFIX    the Wine prefix that QV_WINE_RUN uses
  QV_PEER_BIN      folder of the other bitness's programs (the mixed tests)

A suite whose programs cannot run on this machine (an i686 build without the
32-bit side) ends at import with exit code 77 and the reason: CTest's skip.
"""
import getpass
import json
import os
import queue
import threading
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

WINE_RUN = os.environ.get("QV_WINE_RUN", "")
BIN = Path(os.environ.get("QV_BIN", "."))
HOST_TESTBED = Path(os.environ.get("QV_HOST_TESTBED", "."))
WORK = Path(os.environ.get("QV_WORK", tempfile.gettempdir()))
ARCH = os.environ.get("QV_ARCH", "x86_64")
WINEPREFIX = Path(os.environ.get("QV_WINEPREFIX", "."))
PEER_BIN = Path(os.environ.get("QV_PEER_BIN", "."))
# 32-bit libraries are registered by the 32-bit regsvr32, as on 64-bit Windows.
REGSVR32 = "C:\\windows\\syswow64\\regsvr32.exe" if ARCH == "i686" else "regsvr32"
SKIP = 77


def skip_suite(reason):
    """Ends the suite as skipped (CTest's SKIP_RETURN_CODE), never as passed."""
    print("SKIPPED (%s): %s" % (ARCH, reason), file=sys.stderr)
    sys.exit(SKIP)


if WINE_RUN:
    _check = subprocess.run([WINE_RUN, "--check"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE, timeout=60)
    if _check.returncode == SKIP:
        print(_check.stderr.decode("utf-8", "replace").strip(), file=sys.stderr)
        sys.exit(SKIP)


def require_peer_programs(*names):
    """Skips the suite unless the other bitness's build holds these programs."""
    missing = [name for name in names if not (PEER_BIN / name).exists()]
    if missing:
        skip_suite("the other bitness's build is missing %s in %s (build both presets)" % (missing, PEER_BIN))


def win_path(path):
    """The path Wine's programs see for a Linux path (drive Z: is the root)."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def wait_until(condition, timeout, interval=0.05):
    """Polls condition() until it is true or timeout seconds pass; returns its last value."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value or time.monotonic() >= deadline:
            return value
        time.sleep(interval)


class Finished:
    def __init__(self, returncode, stderr):
        self.returncode = returncode
        self.stderr = stderr


def wine(program, *args, timeout=60, env=None, cwd=None):
    """Runs a Windows program to its end. Its output goes to a file, not a pipe:
    programs it starts (the main client) inherit the handles and outlive it."""
    run_env = dict(os.environ, QV_WINE_TIMEOUT=str(int(timeout)))
    run_env.update(env or {})
    program = REGSVR32 if program == "regsvr32" else program
    WORK.mkdir(parents=True, exist_ok=True)
    with tempfile.TemporaryFile(dir=WORK) as errors:
        process = subprocess.Popen([WINE_RUN, str(program), *args], env=run_env, cwd=cwd,
                                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=errors,
                                   start_new_session=True)
        # A blocking wait sees the end at once; Popen.wait with a time limit polls,
        # up to 50 ms late, which the benchmarks would measure.
        expired = threading.Event()

        def kill():
            expired.set()
            try:
                os.killpg(process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass

        watchdog = threading.Timer(timeout + 15, kill)
        watchdog.start()
        try:
            process.wait()
        finally:
            watchdog.cancel()
        if expired.is_set():
            raise subprocess.TimeoutExpired(process.args, timeout + 15)
        errors.seek(0)
        return Finished(process.returncode, errors.read().decode("utf-8", "replace"))


def reg_query(key, name=None, view=64):
    """A text value (the default one without name) of a key in the 64- or 32-bit
    registry view, or None when it is missing."""
    value = ["/v", name] if name else ["/ve"]
    result = subprocess.run([WINE_RUN, "reg", "query", key, *value, "/reg:%d" % view], stdin=subprocess.DEVNULL,
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=60, start_new_session=True)
    for line in result.stdout.decode("utf-8", "replace").splitlines():
        if "REG_SZ" in line:
            return line.split("REG_SZ", 1)[1].strip()
    return None


def wine_start(program, *args, timeout=120, env=None):
    run_env = dict(os.environ, QV_WINE_TIMEOUT=str(int(timeout)))
    run_env.update(env or {})
    return subprocess.Popen([WINE_RUN, str(program), *args], env=run_env, stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                            start_new_session=True)


def end_process(process, grace=5):
    if process.poll() is not None:
        return
    try:
        process.wait(timeout=grace)
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        process.wait(timeout=5)


def end_strays(*images):
    """Ends leftover copies of these programs in the prefix (from earlier tests),
    so that a launcher's running-program check starts from a clean slate."""
    for image in images:
        wine("taskkill", "/f", "/im", image, timeout=30)


def scratch_folder(name):
    WORK.mkdir(parents=True, exist_ok=True)
    return Path(tempfile.mkdtemp(prefix=name + "-", dir=WORK))


class UpdateService:
    """The update and download service stand-in on 127.0.0.1, on a free port."""

    def __init__(self, catalogue_xml, downloads=None, faults=(), folder=None, sign_key=None, tls=None, port=0):
        """sign_key: a publisher's private key (PEM) to sign the entries with;
        tls: (certificate chain, key) PEM files to serve HTTPS with. A download-hold
        fault writes hold_marker and goes on once it is deleted. port: 0 for any free one."""
        self.folder = Path(folder or scratch_folder("service"))
        self.sign_key = sign_key
        self.tls = tls
        self.catalogue = self.folder / "catalogue.xml"
        self.catalogue.write_text(catalogue_xml, encoding="utf-8")
        self.downloads = Path(downloads) if downloads else self.folder / "downloads"
        self.downloads.mkdir(parents=True, exist_ok=True)
        self.log = self.folder / "requests.log"
        self.served_log = self.folder / "served.log"
        self.hold_marker = self.folder / "held"
        self.port_file = self.folder / "port"
        self.faults = list(faults)
        self.process = None
        self.requested_port = port
        self.port = None

    def __enter__(self):
        args = [str(HOST_TESTBED / "update-service" / "update-service"),
                "--port-file", str(self.port_file), "--catalogue", str(self.catalogue),
                "--downloads", str(self.downloads), "--log", str(self.log), "--lifetime", "600",
                "--served", str(self.served_log), "--hold-marker", str(self.hold_marker),
                "--port", str(self.requested_port)]
        for fault in self.faults:
            args += ["--fault", fault]
        if self.sign_key:
            args += ["--sign-key", str(self.sign_key)]
        if self.tls:
            args += ["--tls-cert", str(self.tls[0]), "--tls-key", str(self.tls[1])]
        # Never the caller's pipes: CTest waits until every holder of its pipe has gone.
        with open(self.folder / "service.out", "wb") as output:
            self.process = subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=output, stderr=output,
                                            start_new_session=True)
        text = wait_until(lambda: self.port_file.exists() and self.port_file.read_text().strip(), 10)
        if not text:
            self.__exit__(None, None, None)
            raise RuntimeError("the update service did not start")
        self.port = int(text)
        return self

    def __exit__(self, *exc):
        if self.process and self.process.poll() is None:
            self.process.terminate()
            end_process(self.process)

    @property
    def url(self):
        return "%s://127.0.0.1:%d" % ("https" if self.tls else "http", self.port)

    def requests(self):
        """Every request so far: dicts with method, path, query, user_agent."""
        if not self.log.exists():
            return []
        rows = []
        for line in self.log.read_text(encoding="utf-8").splitlines():
            method, path, query, agent = (line.split("\t") + ["", "", "", ""])[:4]
            rows.append({"method": method, "path": path, "query": query, "user_agent": agent})
        return rows


    def served(self):
        """Every download answered so far: dicts with path, range (the Range asked for, or ""),
        status, first (byte) and bytes (of the body sent). A download's line comes once its
        reply is finished with."""
        if not self.served_log.exists():
            return []
        rows = []
        for line in self.served_log.read_text(encoding="utf-8").splitlines():
            path, asked, status, first, sent = line.split("\t")
            rows.append({"path": path, "range": asked, "status": int(status), "first": int(first),
                         "bytes": int(sent)})
        return rows


class UiDriver:
    """uidriver.exe under Wine: records and answers message boxes, watches windows."""

    def __init__(self, answers=(), watch=("QuorvelWaitWindow",), timeout=90, answer_delay=300):
        self.folder = scratch_folder("uidriver")
        self.log = self.folder / "ui.jsonl"
        self.stop_file = self.folder / "stop"
        self.answers = list(answers)
        self.watch = list(watch)
        self.timeout = timeout
        self.answer_delay = answer_delay
        self.process = None

    def __enter__(self):
        args = ["--log", win_path(self.log), "--stop", win_path(self.stop_file),
                "--timeout", str(self.timeout), "--answer-delay", str(self.answer_delay)]
        for substring, button in self.answers:
            args += ["--answer", "%s=%d" % (substring, button)]
        for window_class in self.watch:
            args += ["--watch", window_class]
        self.process = wine_start(BIN / "uidriver.exe", *args, timeout=self.timeout + 10)
        # It records a start line once it polls; nothing may appear before that.
        if not wait_until(lambda: self.log.exists(), 20):
            self.__exit__(None, None, None)
            raise RuntimeError("the UI driver did not start")
        return self

    def __exit__(self, *exc):
        self.stop_file.touch()
        if self.process:
            end_process(self.process, grace=10)

    def events(self, kind=None):
        if not self.log.exists():
            return []
        rows = []
        for line in self.log.read_text(encoding="utf-8").splitlines():
            if line.strip():
                event = json.loads(line)
                if kind is None or event.get("kind") == kind:
                    rows.append(event)
        return rows

    def boxes(self):
        return self.events("box")


def user_local_app_data(prefix=None):
    """The Wine user's local application-data folder (%LOCALAPPDATA%) in a prefix."""
    users = Path(prefix or WINEPREFIX) / "drive_c" / "users"
    named = users / getpass.getuser()
    if named.is_dir():
        return named / "AppData" / "Local"
    others = sorted(d for d in users.iterdir() if d.is_dir() and d.name != "Public") if users.is_dir() else []
    return (others[0] if others else named) / "AppData" / "Local"


class RunLog:
    """startqvl.exe's log in the prefix (%LOCALAPPDATA%\\Quorvel\\startqvl.log)."""

    def __init__(self, prefix=None):
        self.folder = user_local_app_data(prefix) / "Quorvel"
        self.path = self.folder / "startqvl.log"
        self.older = self.folder / "startqvl.1.log"

    def text(self):
        return "".join(p.read_bytes().decode("utf-8") for p in (self.older, self.path) if p.exists())

    def last_run(self, install_folder):
        """The events (without time and process id) of the last run of the launcher
        in install_folder: from its start line to its end line, that process's only."""
        start = "startqvl 3.24 in %s," % win_path(install_folder)
        lines = [line.split("] ", 1) for line in self.text().split("\r\n") if "] " in line]
        begun = [i for i, (_, event) in enumerate(lines) if event.startswith(start)]
        if not begun:
            return []
        pid = lines[begun[-1]][0].rsplit("[", 1)[1]
        events = []
        for head, event in lines[begun[-1]:]:
            if head.rsplit("[", 1)[1] == pid:
                events.append(event)
                if event.startswith("end: "):
                    break
        return events


def write_ansi(path, text):
    """A text file as the target systems keep them: code page 936, CR LF."""
    Path(path).write_bytes(text.replace("\r\n", "\n").replace("\n", "\r\n").encode("gbk"))


def read_ansi(path):
    return Path(path).read_bytes().decode("gbk")


def copy_program(name, folder, source=None):
    shutil.copy2(Path(source or BIN) / name, Path(folder) / name)


def arj_archive(folder, name, into=None, stored=False, timeout=300):
    """name.comps made by Debian's arj from folder/name, in `into` (default: folder); stored: no compression."""
    target = Path(into or folder) / (name + ".comps")
    subprocess.run(["arj", "a", "-y", *(["-m0"] if stored else []), str(target), name], cwd=folder, check=True,
                   stdout=subprocess.DEVNULL, timeout=timeout)
    return target


class UpdateSources:
    """An update's new files in files/ and their arj archives (<name>.comps) in
    archives/, in a scratch folder; contents maps each file's name to its bytes."""

    def __init__(self, contents, name="sources"):
        self.folder = scratch_folder(name)
        self.files = self.folder / "files"
        self.archives = self.folder / "archives"
        self.files.mkdir()
        self.archives.mkdir()
        for file_name, data in contents.items():
            (self.files / file_name).write_bytes(data)
            arj_archive(self.files, file_name, into=self.archives)


class JsonLineClient:
    """A Windows test client under Wine that takes commands on stdin and
    answers each with one JSON line on stdout; its first line says it is ready."""

    program = None       # file name in `bin`, set by subclasses
    bin = BIN            # PEER_BIN for the other bitness's client
    wine_timeout = 240   # seconds the whole client may live
    line_timeout = 90    # seconds one answer may take

    def __init__(self, **environment):
        self.environment = environment
        self.process = None
        self.lines = queue.Queue()

    def __enter__(self):
        env = dict(os.environ, QV_WINE_TIMEOUT=str(self.wine_timeout), **self.environment)
        self.process = subprocess.Popen([WINE_RUN, str(self.bin / self.program)], env=env,
                                        stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL, start_new_session=True)
        threading.Thread(target=self._read, daemon=True).start()
        self.ready = self.next_line()
        return self

    def _read(self):
        for line in self.process.stdout:
            self.lines.put(line.decode("utf-8", "replace"))
        self.lines.put(None)

    def next_line(self, timeout=None):
        line = self.lines.get(timeout=timeout or self.line_timeout)
        if line is None:
            raise RuntimeError(self.program + " ended")
        return json.loads(line)

    def send(self, command):
        self.process.stdin.write((command + "\n").encode("ascii"))
        self.process.stdin.flush()

    def call(self, command, timeout=None):
        self.send(command)
        return self.next_line(timeout)

    def __exit__(self, *exc):
        try:
            self.send("quit")
            self.process.stdin.close()
        except OSError:
            pass
        end_process(self.process, grace=30)
