"""Start-to-launch time of startqvl.exe with nothing to update (50 entries),
against a baseline that does one MSXML GET and one CreateProcess, both under
Wine in the same run. Prints the medians and the ratio (launcher / baseline)."""
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


def main():
    install = h.scratch_folder("bench") / "Quorvel Client"
    install.mkdir()
    for name in ("startqvl.exe", "quorvel.exe", "wait.avi", "baseline_launch.exe"):
        h.copy_program(name, install)
    for name in NAMES[1:]:
        (install / name).write_bytes(b"MZ")
    h.write_ansi(install / "FileVersion.cfg", "".join("%s=5\r\n" % n for n in NAMES))
    with h.UpdateService(catalogue()) as service:
        (install / "startqvl.ini").write_text(
            "[Update]\r\nServiceUrl=%s\r\nCustomerCode=School01\r\nSigningSalt=%s\r\n" % (service.url, SALT))
        url = service.url + "/api/GetProgramFiles.ashx?cid=School01&rnd=1&db=&sign=x"
        client = h.win_path(install / "quorvel.exe")
        launcher_times, baseline_times = [], []
        for _ in range(ROUNDS):
            launcher_times.append(timed(install / "startqvl.exe"))
            baseline_times.append(timed(install / "baseline_launch.exe", url, client))
    (install / "quorvel.exit").touch()
    launcher = statistics.median(launcher_times)
    baseline = statistics.median(baseline_times)
    print("start to launch, 50 entries, nothing to update (median of %d, under Wine)" % ROUNDS)
    print("  startqvl.exe      %.3f s" % launcher)
    print("  baseline          %.3f s  (one MSXML GET + CreateProcess)" % baseline)
    print("  ratio             %.2f" % (launcher / baseline))


if __name__ == "__main__":
    main()
