"""Updating one out-of-date file through the update service (startqvl.exe asks
qvlUpdateService.exe, which transfers, checks the signed answer's digest,
unpacks and records the version, relaying its progress to the launcher's
window) against the least work that update takes, in the same run under Wine:
the bare 4096-byte read loop hashing as it goes, the same Arj32.exe
extraction, one MSXML GET with the launch. Also the same launcher updating
in its own process with the service stopped. Then the service's resident
memory: idle, and at its peak while it updates a large archive.

Arguments: [megabytes (200)] [rounds (3)] [large megabytes (1024); 0: no memory run]."""
import hashlib
import statistics
import sys
from pathlib import Path

import updatebench as u

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "launcher" / "win32" / "e2e"))
sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "updservice" / "win32" / "e2e"))
from test_signed_updates import make_key  # noqa: E402
from test_update_service import SERVICE, create_and_start, remove_service, run, set_machine_key  # noqa: E402

MEGABYTES = int(sys.argv[1]) if len(sys.argv) > 1 else 200
ROUNDS = int(sys.argv[2]) if len(sys.argv) > 2 else 3
LARGE = int(sys.argv[3]) if len(sys.argv) > 3 else 1024
SERVICE_IMAGE = "qvlUpdateService.exe"


def archive_digest(archive):
    digest = hashlib.sha256()
    with open(archive.path, "rb") as data:
        for chunk in iter(lambda: data.read(u.MB), b""):
            digest.update(chunk)
    return digest.hexdigest()


def service_resident():
    """VmRSS of the service's Wine process, in bytes (0 when it is not found); there is only one."""
    watcher = u.PeakResident(SERVICE_IMAGE, "")
    for process in watcher.processes():
        for line in (process / "status").read_text().splitlines():
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) * 1024
    return 0


class ServiceInstallation:
    """An installation updated by the running service: the machine key names it and holds the key."""

    def __init__(self, archive, key, public):
        self.archive = archive
        self.key = key
        self.public = public

    def __enter__(self):
        self.server = u.h.UpdateService(u.catalogue(archive_digest(self.archive)), downloads=self.archive.downloads,
                                        sign_key=self.key)
        self.server.__enter__()
        self.install = u.Installation(self.server)
        set_machine_key({"ServiceUrl": self.server.url, "CustomerCode": "School01", "SigningSalt": u.SALT,
                         "PublisherKeys": self.public, "InstallDir": u.h.win_path(self.install.folder)})
        remove_service()
        if not create_and_start():
            raise RuntimeError("the update service did not start: " + run("sc", "query", SERVICE)[1])
        return self

    def __exit__(self, *exc):
        remove_service()
        set_machine_key({})
        run("reg", "delete", r"HKLM\SOFTWARE\Quorvel\startqvl", "/f", "/reg:32")
        self.install.remove()
        self.server.__exit__(*exc)

    def through_service(self):
        seconds, _ = u.run_launcher(self.install, self.archive)
        return seconds

    def in_process(self):
        run("sc", "stop", SERVICE)
        u.h.wait_until(lambda: service_resident() == 0, 20, interval=0.2)
        try:
            seconds, _ = u.run_launcher(self.install, self.archive)
        finally:
            run("sc", "start", SERVICE)
        return seconds


def timings(key, public):
    archive = u.Archive(MEGABYTES)
    try:
        with ServiceInstallation(archive, key, public) as setup:
            service, own, transfer, extract, launch = [], [], [], [], []
            for _ in range(ROUNDS):
                service.append(setup.through_service())
                own.append(setup.in_process())
                t, e, l, _ = u.run_least_work(setup.install, digest=True)
                transfer.append(t)
                extract.append(e)
                launch.append(l)
    finally:
        archive.remove()
    med = statistics.median
    return med(service), med(own), med(transfer), med(extract), med(launch)


def memory(key, public):
    archive = u.Archive(LARGE)
    try:
        with ServiceInstallation(archive, key, public) as setup:
            u.h.wait_until(lambda: service_resident() > 0, 10, interval=0.2)
            idle = service_resident()
            with u.PeakResident(SERVICE_IMAGE, "") as peak:
                setup.through_service()
            after = service_resident()
    finally:
        archive.remove()
    return idle, peak.peak, after


def main():
    key, public = make_key(u.h.scratch_folder("service-bench-key"), "bench")
    service, own, transfer, extract, launch = timings(key, public)
    least = transfer + extract + launch
    print("update of one %d MB file, stored archive, signed answer (median of %d, under Wine)" % (MEGABYTES, ROUNDS))
    print("  through the update service   %7.2f s" % service)
    print("  startqvl.exe on its own      %7.2f s" % own)
    print("  least work                   %7.2f s" % least)
    print("    read loop with SHA-256     %7.2f s" % transfer)
    print("    Arj32.exe                  %7.2f s" % extract)
    print("    MSXML GET + launch         %7.2f s" % launch)
    print("  ratio least/service          %7.2f  (goal >= 0.90)" % (least / service))
    print("  ratio own process/service    %7.2f" % (own / service))
    if LARGE:
        idle, peak, after = memory(key, public)
        mb = float(u.MB)
        print("resident memory of qvlUpdateService.exe's Wine process")
        print("  idle, before any request     %7.1f MB" % (idle / mb))
        print("  peak while updating %4d MB   %7.1f MB (VmHWM)" % (LARGE, peak / mb))
        print("  idle, after the update       %7.1f MB" % (after / mb))


if __name__ == "__main__":
    main()
