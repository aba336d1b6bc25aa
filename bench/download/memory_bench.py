"""Peak resident size (VmHWM) of startqvl.exe's Wine process while it updates
one out-of-date file, for a small and a large stored archive, against the bare
4096-byte InternetReadFile loop on the small one, in the same run under Wine.
The peak must not grow with the archive (within 2 MB) and stays under 40 MB.
Every file made here is deleted afterwards.

Arguments: [small megabytes (50)] [large megabytes (1024)]."""
import sys

import updatebench as u

SIZES = [int(sys.argv[1]) if len(sys.argv) > 1 else 50, int(sys.argv[2]) if len(sys.argv) > 2 else 1024]


def peaks(megabytes):
    archive = u.Archive(megabytes)
    try:
        with u.h.UpdateService(u.catalogue(), downloads=archive.downloads) as service:
            install = u.Installation(service)
            try:
                launcher = u.run_launcher(install, archive)[1]
                bare = u.run_least_work(install)[3]
            finally:
                install.remove()
    finally:
        archive.remove()
    return launcher, bare


def main():
    (small, bare), (large, _) = peaks(SIZES[0]), peaks(SIZES[1])
    mb = float(u.MB)
    print("peak resident size of the Wine process while updating one file (VmHWM)")
    print("  startqvl.exe, %4d MB archive   %6.1f MB" % (SIZES[0], small / mb))
    print("  startqvl.exe, %4d MB archive   %6.1f MB" % (SIZES[1], large / mb))
    print("  bare read loop, %4d MB         %6.1f MB" % (SIZES[0], bare / mb))
    print("  growth large - small           %+6.1f MB  (goal within 2 MB)" % ((large - small) / mb))
    print("  ratio large/small              %6.2f" % (large / small))
    print("  ratio launcher/bare loop       %6.2f  (goal: launcher under 40 MB)" % (large / bare))


if __name__ == "__main__":
    main()
