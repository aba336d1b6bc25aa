"""Updating one out-of-date file through startqvl.exe (transfer of its stored
archive, extraction with Arj32.exe, version file, launch) against the least
the same work takes, in the same run under Wine: a bare loop of 4096-byte
InternetReadFile calls into a file, the same Arj32.exe extraction, and one
MSXML GET with CreateProcess. Prints the medians and the ratio least/launcher.

Arguments: [megabytes (200)] [rounds (3)]."""
import statistics
import sys

import updatebench as u

MEGABYTES = int(sys.argv[1]) if len(sys.argv) > 1 else 200
ROUNDS = int(sys.argv[2]) if len(sys.argv) > 2 else 3


def main():
    archive = u.Archive(MEGABYTES)
    try:
        with u.h.UpdateService(u.catalogue(), downloads=archive.downloads) as service:
            install = u.Installation(service)
            launcher, transfer, extract, launch = [], [], [], []
            for _ in range(ROUNDS):
                launcher.append(u.run_launcher(install, archive)[0])
                t, e, l, _ = u.run_least_work(install)
                transfer.append(t)
                extract.append(e)
                launch.append(l)
            install.remove()
    finally:
        archive.remove()
    med = statistics.median
    least = med(transfer) + med(extract) + med(launch)
    print("update of one %d MB file, stored archive (median of %d, under Wine)" % (MEGABYTES, ROUNDS))
    print("  startqvl.exe           %7.2f s" % med(launcher))
    print("  least work             %7.2f s" % least)
    print("    4096-byte read loop  %7.2f s" % med(transfer))
    print("    Arj32.exe            %7.2f s" % med(extract))
    print("    MSXML GET + launch   %7.2f s" % med(launch))
    print("  ratio least/launcher   %7.2f  (goal >= 0.90)" % (least / med(launcher)))


if __name__ == "__main__":
    main()
