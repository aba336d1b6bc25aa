"""What a cut transfer costs the next run: an update of one file whose stored
archive the service cuts after `cut` MB, then the next run of startqvl.exe
against a service on the same address without the fault. Prints the body
bytes the service sent in each run and the second run's share of the archive
(goal: at most 55 MB for a 200 MB archive cut at 150 MB).

Arguments: [megabytes (200)] [cut at megabytes (150)]."""
import sys

import updatebench as u

MEGABYTES = int(sys.argv[1]) if len(sys.argv) > 1 else 200
CUT = int(sys.argv[2]) if len(sys.argv) > 2 else 150


def served_in_one_run(install, archive, faults, port):
    """Runs the launcher against a service with these faults on this port (0: any); the port
    and the body bytes served. The error box of a failed run is answered by the UI driver."""
    with u.h.UpdateService(u.catalogue(), downloads=archive.downloads, faults=faults, port=port) as service:
        install.use(service)
        with u.h.UiDriver(timeout=900):
            u.h.wine(install.folder / "startqvl.exe", timeout=900, env={"QV_STANDIN_LIFETIME": "2"})
        served = u.h.wait_until(service.served, 10) or []
        return service.port, sum(row["bytes"] for row in served)


def main():
    archive = u.Archive(MEGABYTES)
    try:
        size = archive.path.stat().st_size
        with u.h.UpdateService(u.catalogue(), downloads=archive.downloads) as placeholder:
            install = u.Installation(placeholder)
        port, cut_run = served_in_one_run(install, archive, ["download-cut:%d" % (CUT * u.MB)], 0)
        _, next_run = served_in_one_run(install, archive, [], port)
        install.check_updated(archive)
        install.remove()
    finally:
        archive.remove()
    print("update of one %d MB file cut at %d MB, then the next run (under Wine)" % (MEGABYTES, CUT))
    print("  served in the cut run   %7.1f MB" % (cut_run / u.MB))
    print("  served in the next run  %7.1f MB  (goal <= 55 MB)" % (next_run / u.MB))
    print("  next run / archive      %7.3f" % (next_run / size))


if __name__ == "__main__":
    main()
