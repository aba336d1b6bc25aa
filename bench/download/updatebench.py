"""What the download benchmarks share: one stored arj archive of random bytes
served by the update-service stand-in on 127.0.0.1, an installation whose
version file makes that one entry out of date, and runs of Windows programs
under Wine with their wall time and the peak resident size (VmHWM) of their
Wine process."""
import hashlib
import os
import shutil
import sys
import threading
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "testbed" / "e2e"))
import winharness as h  # noqa: E402

SALT = "quor.vel.salts"
ENTRY = "Lumen_Big.dat"
MB = 1024 * 1024


class Archive:
    """ENTRY made of `megabytes` random MB, stored (-m0) by Debian's arj as ENTRY.comps
    in a downloads folder; only the archive and the data's digest are kept."""

    def __init__(self, megabytes):
        self.folder = h.scratch_folder("archive-%d" % megabytes)
        self.downloads = self.folder / "downloads"
        self.downloads.mkdir()
        data = self.folder / ENTRY
        digest = hashlib.sha256()
        with open(data, "wb") as out:
            for _ in range(megabytes):
                chunk = os.urandom(MB)
                digest.update(chunk)
                out.write(chunk)
        self.sha256 = digest.hexdigest()
        self.path = h.arj_archive(self.folder, ENTRY, into=self.downloads, stored=True, timeout=900)
        data.unlink()

    def remove(self):
        shutil.rmtree(self.folder, ignore_errors=True)


def catalogue(archive_sha256=None):
    """The one entry; with the archive's digest, as a signed answer must carry it."""
    digest = "<cSHA256>%s</cSHA256>" % archive_sha256 if archive_sha256 else ""
    return ('<catalogue customer="School01" salt="%s"><File><cFileName>%s</cFileName><cVersion>2</cVersion>'
            "<cFilePath>[CUR_PATH]</cFilePath><cDownLoadPath>{base}/download</cDownLoadPath><cIfReg>0</cIfReg>"
            "<cIfPrivate>0</cIfPrivate>%s</File></catalogue>" % (SALT, ENTRY, digest))


class Installation:
    """A launcher folder in which ENTRY is out of date, with the least-work programs beside it."""

    def __init__(self, service):
        self.folder = h.scratch_folder("install") / "Quorvel Client"
        (self.folder / "Tools").mkdir(parents=True)
        for name in ("startqvl.exe", "quorvel.exe", "wait.avi", "bare_download.exe", "baseline_launch.exe"):
            h.copy_program(name, self.folder)
        h.copy_program("Arj32.exe", self.folder / "Tools")
        self.use(service)
        self.reset()

    def use(self, service):
        """The launcher's settings name this service."""
        (self.folder / "startqvl.ini").write_text(
            "[Update]\r\nServiceUrl=%s\r\nCustomerCode=School01\r\nSigningSalt=%s\r\n" % (service.url, SALT))
        self.service = service

    def reset(self):
        h.write_ansi(self.folder / "FileVersion.cfg", "quorvel.exe=1\r\n%s=1\r\n" % ENTRY)
        for name in (ENTRY, ENTRY + ".comps"):
            (self.folder / name).unlink(missing_ok=True)

    def check_updated(self, archive):
        """The launcher's run unpacked the entry intact and recorded its version."""
        digest = hashlib.sha256()
        with open(self.folder / ENTRY, "rb") as data:
            for chunk in iter(lambda: data.read(MB), b""):
                digest.update(chunk)
        if digest.hexdigest() != archive.sha256:
            raise RuntimeError("the unpacked file differs from the original")
        if "%s=2" % ENTRY not in h.read_ansi(self.folder / "FileVersion.cfg"):
            raise RuntimeError("the launcher did not record the new version")

    def remove(self):
        (self.folder / "quorvel.exit").touch()
        shutil.rmtree(self.folder.parent, ignore_errors=True)

    @property
    def archive_url(self):
        return self.service.url + "/download/" + ENTRY + ".comps"

    @property
    def request_url(self):
        return self.service.url + "/api/GetProgramFiles.ashx?cid=School01&rnd=1&db=&sign=x"


class PeakResident:
    """Follows the Wine process named `image` whose command line holds `folder` (other runs
    may use the same program) and keeps the largest VmHWM seen, in bytes."""

    def __init__(self, image, folder):
        self.name = image[:15]  # the kernel keeps 15 characters of a process name
        self.folder = str(folder).encode()
        self.peak = 0
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._watch, daemon=True)

    def __enter__(self):
        self._thread.start()
        return self

    def __exit__(self, *exc):
        self._stop.set()
        self._thread.join(timeout=10)

    def processes(self):
        """The /proc folders of the followed processes."""
        for entry in Path("/proc").iterdir():
            if entry.name.isdigit():
                try:
                    if ((entry / "comm").read_text().strip() == self.name
                            and self.folder in (entry / "cmdline").read_bytes()):
                        yield entry
                except OSError:
                    pass

    def _watch(self):
        while not self._stop.is_set():
            for process in self.processes():
                try:
                    for line in (process / "status").read_text().splitlines():
                        if line.startswith("VmHWM:"):
                            self.peak = max(self.peak, int(line.split()[1]) * 1024)
                except OSError:
                    pass
            self._stop.wait(0.05)


def timed_run(program, *args, timeout=900):
    """Runs a Windows program to its end; (seconds, peak resident bytes of its process)."""
    with PeakResident(Path(program).name, Path(program).parent) as peak:
        started = time.monotonic()
        result = h.wine(program, *args, timeout=timeout, env={"QV_STANDIN_LIFETIME": "2"})
        elapsed = time.monotonic() - started
    if result.returncode != 0:
        raise RuntimeError("%s ended with %d: %s" % (program, result.returncode, result.stderr[-500:]))
    return elapsed, peak.peak


def run_launcher(install, archive):
    install.reset()
    seconds, peak = timed_run(install.folder / "startqvl.exe")
    install.check_updated(archive)
    return seconds, peak


def run_least_work(install, digest=False):
    """The bare transfer (hashing it with `digest`), the same extraction and one request with the
    launch: seconds of each, and the bare transfer's peak."""
    install.reset()
    archive = install.folder / (ENTRY + ".comps")
    transfer, peak = timed_run(install.folder / "bare_download.exe", install.archive_url, h.win_path(archive),
                               *(["sha256"] if digest else []))
    extract, _ = timed_run(install.folder / "Tools" / "Arj32.exe", "e", h.win_path(archive), "-y",
                           h.win_path(install.folder) + "\\ ")
    launch, _ = timed_run(install.folder / "baseline_launch.exe", install.request_url,
                          h.win_path(install.folder / "quorvel.exe"))
    archive.unlink()
    return transfer, extract, launch, peak
