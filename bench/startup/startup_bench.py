"""Start-to-launch time of startqvl.exe with nothing to update (50 entries),
with its log and without (no usable log folder), against two baselines: one
MSXML GET and one CreateProcess, and the same after creating and showing one
plain window (the launcher must show its wait window, and under Wine a
process's first window costs about 100 ms). All under Wine in the same run.

Each run starts the main client's stand-in. Before the next run is timed, that
stand-in is told to end and waited for, untimed: otherwise every run would be
measured while the last run's client starts up or ends on the other core, and
by how much depended on the run's place in the round. The four kinds also take
turns at going first. Prints the medians and the ratios."""
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
    result = h.wine(program, *args, timeout=120, env={"QV_STANDIN_LIFETIME": "60"})
    elapsed = time.monotonic() - started
    if result.returncode != 0:
        raise RuntimeError("%s ended with %d" % (program, result.returncode))
    return elapsed


class ClientStandIns:
    """Ends the stand-in that each run started before the next run is timed."""

    def __init__(self, folder):
        self.log = folder / "quorvel.started.log"
        self.stop = folder / "quorvel.exit"
        self.runs = 0

    def count(self, event):
        if not self.log.exists():
            return 0
        return sum(1 for line in self.log.read_text(encoding="utf-8", errors="replace").splitlines()
                   if line.startswith(event + "\t"))

    def settle(self):
        self.runs += 1
        if not h.wait_until(lambda: self.count("started") >= self.runs, 30):
            raise RuntimeError("run %d started no main client" % self.runs)
        self.stop.touch()
        try:
            if not h.wait_until(lambda: self.count("exited") >= self.runs, 30):
                raise RuntimeError("the main client of run %d did not end" % self.runs)
            time.sleep(0.2)  # "exited" is its last line, not the end of its process
        finally:
            self.stop.unlink()


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
        runs = {
            "logged": (log.on, install / "startqvl.exe", ()),
            "unlogged": (log.off, install / "startqvl.exe", ()),
            "plain": (None, install / "baseline_launch.exe", (url, client)),
            "windowed": (None, install / "baseline_launch.exe", ("--window", url, client)),
        }
        kinds = list(runs)
        clients = ClientStandIns(install)
        try:
            for round_number in range(ROUNDS):
                turn = round_number % len(kinds)
                for kind in kinds[turn:] + kinds[:turn]:
                    prepare, program, arguments = runs[kind]
                    if prepare:
                        prepare()
                    times[kind].append(timed(program, *arguments))
                    clients.settle()
        finally:
            log.on()
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
