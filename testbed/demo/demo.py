"""The demo: a school client computer's launcher start, for real under Wine.

Starts the update service stand-in on 127.0.0.1 with a sample catalogue,
lays out an installation folder, runs startqvl.exe, takes screenshots of the
wait window and of the main client it starts, and tells what happened."""
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))
import winharness as h  # noqa: E402

SALT = "quor.vel.salts"
CATALOGUE = """<catalogue customer="School01" salt="%s">
  <File><cFileName>quorvel.exe</cFileName><cVersion>7</cVersion><cFilePath>[CUR_PATH]</cFilePath>
        <cDownLoadPath>{base}/download</cDownLoadPath><cIfReg>0</cIfReg><cIfPrivate>0</cIfPrivate></File>
</catalogue>""" % SALT


def screenshot(path):
    subprocess.run(["import", "-window", "root", str(path)], timeout=30, check=True)
    print("  screenshot:", path)


def main():
    out = h.WORK
    out.mkdir(parents=True, exist_ok=True)
    install = h.scratch_folder("install") / "Quorvel Client"
    install.mkdir()
    for name in ("startqvl.exe", "quorvel.exe", "wait.avi"):
        h.copy_program(name, install)
    h.write_ansi(install / "FileVersion.cfg", "# 本机已安装的程序文件版本\r\nquorvel.exe=7\r\n")

    # A short delay on the service keeps the wait window up long enough to see.
    with h.UpdateService(CATALOGUE, faults=["delay:2500"]) as service:
        (install / "startqvl.ini").write_text(
            "[Update]\r\nServiceUrl=%s\r\nCustomerCode=School01\r\nSigningSalt=%s\r\n" % (service.url, SALT))
        print("update service on", service.url)
        print("installation in", install)
        with h.UiDriver() as ui:
            launcher = h.wine_start(install / "startqvl.exe", env={"QV_STANDIN_LIFETIME": "30"})
            shown = h.wait_until(lambda: [w for w in ui.events("window") if w.get("x", -1) >= 0
                                          and "正在连接远程服务..." in w.get("texts", [])], 60)
            if shown:
                screenshot(out / "1-wait-window.png")
            h.end_process(launcher, grace=90)
        for box in ui.boxes():
            print("  message box: [%s] %s" % (box.get("title"), box.get("text")))
        log = install / "quorvel.started.log"
        if not h.wait_until(lambda: log.exists(), 30):
            print("the main client was not started")
            return 1
        time.sleep(2)
        screenshot(out / "2-main-client.png")
        for request in service.requests():
            print("  request: GET %s?%s  (User-Agent: %s)" % (request["path"], request["query"], request["user_agent"]))
    print("  main client started as:", log.read_text(encoding="utf-8").split("\t")[2])
    print("  version file now:", h.read_ansi(install / "FileVersion.cfg").strip())
    (install / "quorvel.exit").touch()
    return 0


if __name__ == "__main__":
    sys.exit(main())
