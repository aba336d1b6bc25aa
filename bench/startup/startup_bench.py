"""Start-to-launch time of startqvl.exe with nothing to update (50 entries),
with its log and without (no usable log folder), against two baselines: one
MSXML GET and one CreateProcess, and the same after creating and showing one
plain window (the launcher must show its wait window, and under Wine a
process's first window costs about 100 ms). All under Wine in the same run,
the four taking turns each round. Prints the medians and the ratios."""
import statistics
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "testbed" / "e2e"))
import winharness as h  # noqa: E402

SALT = "quor.vel.salts"
ROUNDS = int(sys.argv[1]) if len(sys.argv) > 1 else 7
NAMES = ["quorvel.exe"] + ["module%02d.dll" % i for i in range(49)]


def catalogue():
    files = "".join("<File><cFileName>%s</cFileName><cVersion>5</cVersion><cFilePath>[CUR_PATH]</cFilePath>"
                    "<cDownLoadPath>{base}/download</cDownLoadPath></File>" % n for n in NAMES)
    return '<catalogue customer="School01" salt="%s">%s</catalogue>' % (SALT, files)


def timed(program, *args):
    started = time.monotonic()
    result = h.wine(program, *args, timeout=120, env={"QV_STANDIN_LIFETIME": "2"})
    elapsed = time.monotonic() - started
    if result.returncode != 0:
        raise RuntimeError("%s ended with %d" % (program, result.returncode))
    return elapsed


class LogSwitch:
    """Turns the launcher's log off by putting a file where its folder belongs; puts the folder back."""

    def __init__(self):
        self.folder = h.RunLog().folder
        self.kept = self.folder.with_name("Quorvel.bench-kept")

    def off(self):
        if self.folder.is_dir():
            self.folder.rename(self.kept)
        self.folder.write_text("no log while measuring")

    def on(self):
        if self.folder.is_file():
            self.folder.unlink()
        if self.kept.exists():
            self.kept.rename(self.folder)
        self.folder.mkdir(parents=True, exist_ok=True)


def main():
    install = h.scratch_folder("bench") / "Quorvel Client"
    install.mkdir()
    for name in ("startqvl.exe", "quorvel.exe", "wait.avi", "baseline_launch.exe"):
        h.copy_program(name, install)
    for name in NAMES[1:]:
        (install / name).write_bytes(b"MZ")
    h.write_ansi(install / "FileVersion.cfg", "".join("%s=5\r\n" % n for n in NAMES))
    log = LogSwitch()
    times = {"logged": [], "unlogged": [], "plain": [], "windowed": []}
    with h.UpdateService(catalogue()) as service:
        (install / "startqvl.ini").write_text(
            "[Update]\r\nServiceUrl=%s\r\nCustomerCode=School01\r\nSigningSalt=%s\r\n" % (service.url, SALT))
        url = service.url + "/api/GetProgramFiles.ashx?cid=School01&rnd=1&db=&sign=x"
        client = h.win_path(install / "quorvel.exe")
        try:
            for _ in range(ROUNDS):
                log.on()
                times["logged"].append(timed(install / "startqvl.exe"))
                log.off()
                times["unlogged"].append(timed(install / "startqvl.exe"))
                times["plain"].append(timed(install / "baseline_launch.exe", url, client))
                times["windowed"].append(timed(install / "baseline_launch.exe", "--window", url, client))
        finally:
            log.on()
    (install / "quorvel.exit").touch()
    median = {kind: statistics.median(values) for kind, values in times.items()}
    print("start to launch, 50 entries, nothing to update (median of %d, under Wine)" % ROUNDS)
    print("  startqvl.exe, logging     %.3f s" % median["logged"])
    print("  startqvl.exe, no log      %.3f s  (no usable log folder)" % median["unlogged"])
    print("  baseline                  %.3f s  (one MSXML GET + CreateProcess)" % median["plain"])
    print("  baseline with a window    %.3f s  (one plain window shown first)" % median["windowed"])
    print("  logging / no log          %.3f  (goal: at most 1.02)" % (median["logged"] / median["unlogged"]))
    print("  ratio to the baseline     %.2f" % (median["logged"] / median["plain"]))
    print("  ratio to the windowed one %.2f  (goal: at most 1.10)" % (median["logged"] / median["windowed"]))


if __name__ == "__main__":
    main()
