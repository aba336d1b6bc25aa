"""One forced poll (m_oTimer_Timer) of qvlCheckCommunicate over 100 simulated
terminals, all reachable and then with 10 of them down (connection refused on
loopback), against the baseline of one call that does nothing (EndCheck), all
under Wine in the same run. Prints the medians, the ratios and the 0.5 s goal."""
import statistics
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "testbed" / "e2e"))
sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "monitor" / "win32" / "e2e"))
import winharness as h  # noqa: E402
from monitor_test import Client  # noqa: E402
from terminalsim import TerminalSimulator  # noqa: E402

TERMINALS = 100
ROUNDS = int(sys.argv[1]) if len(sys.argv) > 1 else 15


def median_seconds(client, command):
    times = []
    for _ in range(ROUNDS):
        started = time.monotonic()
        answer = client.call(command)
        times.append(time.monotonic() - started)
        if answer["hr"] != "0x00000000":
            raise RuntimeError(answer)
        client.events(0, ms=0)
    return statistics.median(times)


def main():
    if h.wine(h.BIN / "qvlCheckCommunicate.exe", "/RegServer", timeout=60).returncode != 0:
        raise RuntimeError("/RegServer failed")
    if h.wine("regsvr32", "/s", h.win_path(h.BIN / "zkemkeeper.dll"), timeout=60).returncode != 0:
        raise RuntimeError("regsvr32 zkemkeeper.dll failed")
    with TerminalSimulator(TERMINALS) as sim, Client() as client:
        if not client.ready["ready"]:
            raise RuntimeError(client.ready)
        client.ok("set %s %s" % (",".join(["127.0.0.1"] * TERMINALS), ",".join(str(p) for p in sim.ports)))
        client.ok("start")
        baseline = median_seconds(client, "end")
        reachable = median_seconds(client, "poll")
        for terminal in range(1, TERMINALS + 1, TERMINALS // 10):
            sim.command("STOP %d" % terminal)
        client.ok("poll")  # reports the ten; the polls measured below try to connect them
        some_down = median_seconds(client, "poll")
    print("monitor poll, %d terminals, median of %d" % (TERMINALS, ROUNDS))
    print("  baseline call (EndCheck):   %.4f s" % baseline)
    print("  poll, all reachable:        %.4f s  ratio %.1f  goal < 0.5 s: %s"
          % (reachable, reachable / baseline, "met" if reachable < 0.5 else "missed"))
    print("  poll, 10 down:              %.4f s  ratio %.1f" % (some_down, some_down / baseline))


if __name__ == "__main__":
    main()
