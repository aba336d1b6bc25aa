"""Throwaway certificates for the HTTPS tests, made with the openssl command
in a scratch folder: a test CA, a second CA nobody trusts, and server
certificates for 127.0.0.1 that verify, come from the unknown CA, name
another host, or have expired. Wine ignores the IP-address entries of a
certificate, so 127.0.0.1 is named as a DNS name too."""
import subprocess
from pathlib import Path

GOOD_NAMES = "DNS:127.0.0.1,IP:127.0.0.1"


def _openssl(*args, cwd):
    subprocess.run(["openssl", *args], cwd=cwd, check=True, timeout=60,
                   stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


class TestCertificates:
    def __init__(self, folder):
        self.folder = Path(folder)
        self.folder.mkdir(parents=True, exist_ok=True)
        self._ca("ca", "Quorvel Test CA")
        self._ca("other-ca", "Quorvel Unknown CA")
        _openssl("x509", "-in", "ca.pem", "-outform", "DER", "-out", "ca.der", cwd=self.folder)
        self.ca_der = self.folder / "ca.der"
        self.good = self._server("good", "ca", "127.0.0.1", GOOD_NAMES)
        self.unknown_ca = self._server("unknown-ca", "other-ca", "127.0.0.1", GOOD_NAMES)
        self.wrong_host = self._server("wrong-host", "ca", "localhost", "DNS:localhost")
        self.expired = self._server("expired", "ca", "127.0.0.1", GOOD_NAMES, expired=True)

    def _ca(self, name, subject):
        _openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", name + ".key", "-out", name + ".pem",
                 "-days", "3", "-sha256", "-subj", "/CN=" + subject,
                 "-addext", "basicConstraints=critical,CA:TRUE",
                 "-addext", "keyUsage=critical,keyCertSign,cRLSign", cwd=self.folder)

    def _server(self, name, ca, common_name, names, expired=False):
        """(certificate, key) PEM files of a server certificate signed by the CA."""
        (self.folder / (name + ".ext")).write_text(
            "subjectAltName=%s\nbasicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature,keyEncipherment\n"
            "extendedKeyUsage=serverAuth\n" % names)
        _openssl("req", "-new", "-newkey", "rsa:2048", "-nodes", "-keyout", name + ".key", "-out", name + ".csr",
                 "-subj", "/CN=" + common_name, cwd=self.folder)
        if expired:
            self._sign_in_the_past(name, ca)
        else:
            _openssl("x509", "-req", "-in", name + ".csr", "-CA", ca + ".pem", "-CAkey", ca + ".key",
                     "-CAcreateserial", "-days", "2", "-sha256", "-extfile", name + ".ext", "-out", name + ".pem",
                     cwd=self.folder)
        return self.folder / (name + ".pem"), self.folder / (name + ".key")

    def _sign_in_the_past(self, name, ca):
        # Only "openssl ca" sets a validity that has already ended.
        db = self.folder / (name + "-db")
        db.mkdir()
        (db / "index.txt").write_text("")
        (db / "serial").write_text("1000\n")
        (db / "ca.cnf").write_text(
            "[ca]\ndefault_ca=test\n[test]\ndatabase=%(db)s/index.txt\nnew_certs_dir=%(db)s\nserial=%(db)s/serial\n"
            "default_md=sha256\npolicy=any\nunique_subject=no\n[any]\ncommonName=supplied\n" % {"db": db})
        _openssl("ca", "-batch", "-config", str(db / "ca.cnf"), "-cert", ca + ".pem", "-keyfile", ca + ".key",
                 "-in", name + ".csr", "-out", name + ".pem", "-notext", "-extfile", name + ".ext",
                 "-startdate", "20200101000000Z", "-enddate", "20200201000000Z", cwd=self.folder)
