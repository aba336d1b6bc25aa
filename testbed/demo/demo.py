"""The demo: a school client computer's launcher start, for real under Wine.

Starts the update service stand-in on 127.0.0.1 with a sample catalogue and
archives made with arj, lays out an installation folder whose files are out of
date, runs startqvl.exe, which downloads, unpacks and registers them (the
control library among them), takes screenshots of the wait window, the
download window and the main client it starts: a form with the library's boxes
and the connectivity monitor's events from two simulated terminals, one of
which drops off. Then it tells what happened.

As a school should run it: the publisher's key is made with qv-publisher, the
service signs its catalogue with it, the installation's settings name the
public key (PublisherKeys), and IT staff check the settings with
"startqvl.exe CHECK" before the first start. The run's log lines and the
launcher's exit status are printed at the end."""
import hashlib
import os
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))
import winharness as h  # noqa: E402
from terminalsim import TerminalSimulator  # noqa: E402

SALT = "quor.vel.salts"
# (name, version, registered): the installation holds version 7 of each.
FILES = [("quorvel.exe", 8, 0), ("regmarker.dll", 8, 1), ("Lumen_Control.ocx", 8, 1), ("Lumen_Data.dat", 8, 0)]
# The main client's form as its designer saved it: texts in both text boxes.
FORM = ("[amount]\nQvPropertyBag 1\nText 8 1280.50\n"
        "[code]\nQvPropertyBag 1\nText 8 class_3_2\n")
PUBLISHER = h.HOST_TESTBED.parent / "publisher" / "qv-publisher"


def catalogue(archives):
    """Every entry with its archive's digest, for the service to sign."""
    return '<catalogue customer="School01" salt="%s">%s</catalogue>' % (SALT, "".join(
        "<File><cFileName>%s</cFileName><cVersion>%d</cVersion><cFilePath>[CUR_PATH]</cFilePath>"
        "<cDownLoadPath>{base}/download</cDownLoadPath><cIfReg>%d</cIfReg><cIfPrivate>0</cIfPrivate>"
        "<cSHA256>%s</cSHA256></File>"
        % (name, version, reg, hashlib.sha256((archives / (name + ".comps")).read_bytes()).hexdigest())
        for name, version, reg in FILES))


def publisher_key(folder):
    """A new publisher key pair: the private key file and the line for the settings."""
    key = folder / "publisher.pem"
    made = subprocess.run([str(PUBLISHER), "keygen", str(key)], capture_output=True, text=True, timeout=30,
                          check=True)
    return key, made.stdout.strip()


def run_check(install):
    """startqvl.exe CHECK, as IT staff run it after an installation: its box and exit status."""
    with h.UiDriver() as ui:
        checked = h.wine(install / "startqvl.exe", "CHECK", timeout=60)
    for box in ui.boxes():
        print("  CHECK box: [%s] %s" % (box.get("title"), box.get("text").replace("\r\n", " | ")))
    print("  CHECK exit status:", checked.returncode)


def make_archives():
    """The new program files, each packed with arj as <name>.comps."""
    return h.UpdateSources({
        "quorvel.exe": (h.BIN / "quorvel.exe").read_bytes(),
        "regmarker.dll": (h.BIN / "regmarker.dll").read_bytes(),
        "Lumen_Control.ocx": (h.BIN / "Lumen_Control.ocx").read_bytes(),
        "Lumen_Data.dat": os.urandom(2 * 1024 * 1024),
    }).archives


def screenshot(path):
    subprocess.run(["import", "-window", "root", str(path)], timeout=30, check=True)
    print("  screenshot:", path)


def form_log(install):
    """The rows of the main client's form log: [kind, pid, text]."""
    log = install / "quorvel.form.log"
    if not log.exists():
        return []
    return [line.split("\t") for line in log.read_text(encoding="utf-8").splitlines()]


def start_monitor_server():
    """The connectivity monitor and the terminal SDK stand-in, registered for the main client."""
    return (h.wine(h.BIN / "qvlCheckCommunicate.exe", "/RegServer", timeout=60).returncode == 0 and
            h.wine("regsvr32", "/s", h.win_path(h.BIN / "zkemkeeper.dll"), timeout=60).returncode == 0)


def main():
    out = h.WORK
    out.mkdir(parents=True, exist_ok=True)
    install = h.scratch_folder("install") / "Quorvel Client"
    install.mkdir()
    for name in ("startqvl.exe", "quorvel.exe", "wait.avi"):
        h.copy_program(name, install)
    (install / "Tools").mkdir()
    h.copy_program("Arj32.exe", install / "Tools")
    h.write_ansi(install / "FileVersion.cfg", "# 本机已安装的程序文件版本\r\n" +
                 "".join("%s=7\r\n" % name for name, _, _ in FILES))
    (install / "quorvel.form").write_text(FORM, encoding="utf-8")
    archives = make_archives()
    key, publisher_keys = publisher_key(h.scratch_folder("publisher"))
    print("publisher key made with qv-publisher:", publisher_keys)
    monitor_ready = start_monitor_server()

    # A short delay on the answer keeps the wait window up long enough to see,
    # and a throttled download the download window.
    with h.UpdateService(catalogue(archives), downloads=archives, faults=["delay:2500", "download-rate:500000"],
                         sign_key=key) as service, TerminalSimulator(2) as terminals:
        (install / "startqvl.ini").write_text(
            "[Update]\r\nServiceUrl=%s\r\nCustomerCode=School01\r\nSigningSalt=%s\r\n%s\r\n"
            % (service.url, SALT, publisher_keys))
        print("update service on", service.url, "(its catalogue signed with the publisher's key)")
        print("installation in", install)
        run_check(install)
        with h.UiDriver(watch=("QuorvelWaitWindow", "QuorvelDownloadWindow")) as ui:
            # The launcher's environment reaches the main client it starts.
            client_env = {"QV_STANDIN_LIFETIME": "90"}
            if monitor_ready:
                client_env.update(QV_TERMINALS="127.0.0.1,127.0.0.1;%d,%d" % tuple(terminals.ports),
                                  QV_MONITOR_POLL_MS="1000")
            launcher = h.wine_start(install / "startqvl.exe", env=client_env)
            shown = h.wait_until(lambda: [w for w in ui.events("window") if w.get("x", -1) >= 0
                                          and "正在连接远程服务..." in w.get("texts", [])], 60)
            if shown:
                screenshot(out / "1-wait-window.png")
            downloading = h.wait_until(lambda: [w for w in ui.events("window") if any(
                t.startswith("已下载") for t in w.get("texts", []))], 60)
            if downloading:
                screenshot(out / "2-download-window.png")
            h.end_process(launcher, grace=90)
        for box in ui.boxes():
            print("  message box: [%s] %s" % (box.get("title"), box.get("text")))
        log = install / "quorvel.started.log"
        if not h.wait_until(lambda: log.exists(), 30):
            print("the main client was not started")
            return 1
        hosted = h.wait_until(lambda: [row[2] for row in form_log(install) if row[0] == "controls"], 30)
        print("  main client's form:", hosted[0] if hosted else "no report")
        if monitor_ready and h.wait_until(lambda: [r for r in form_log(install) if r[0] == "monitor"], 30):
            print("  terminal 2 stopped:", terminals.command("STOP 2"))
            h.wait_until(lambda: [row for row in form_log(install) if row[0] == "event"], 30)
        time.sleep(2)
        screenshot(out / "3-main-client.png")
        for row in form_log(install):
            if row[0] in ("monitor", "event"):
                print("  %s: %s" % (row[0], row[2]))
        for request in service.requests():
            print("  request: GET %s?%s  (User-Agent: %s)" % (request["path"], request["query"], request["user_agent"]))
    print("  main client started as:", log.read_text(encoding="utf-8").split("\t")[2])
    print("  version file now:", h.read_ansi(install / "FileVersion.cfg").strip())
    print("  unpacked:", ", ".join("%s (%d bytes)" % (name, (install / name).stat().st_size) for name, _, _ in FILES))
    registered = h.wait_until(lambda: (install / "regmarker.dll.registered").exists(), 20)
    print("  regmarker.dll registered by regsvr32:", "yes" if registered else "no")
    run_log = h.RunLog()
    print("  the run's log (%s):" % run_log.path)
    for event in run_log.last_run(install):
        print("    " + event)
    print("  startqvl.exe exit status:", launcher.returncode)
    (install / "quorvel.exit").touch()
    saved = h.wait_until(lambda: [row[2] for row in form_log(install) if row[0] == "saved"], 30)
    print("  form saved into quorvel.form on exit:", saved[0] if saved else "no")
    return 0


if __name__ == "__main__":
    sys.exit(main())
