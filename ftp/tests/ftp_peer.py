"""An FTP server for the client's tests: python3 ftp_peer.py PORT ROOT MODE (system python, pyftpdlib).

User "tester" with password "secret" and anonymous logins share ROOT. MODE injects a fault:
  normal     none
  hostile227 PASV replies name 10.255.255.1, an address the data must never go to
  dropstor   the control connection closes right after STOR's 150
  silent     USER is never answered
  multiline  a greeting with continuation lines, one of them starting with digits and a blank
  longreply  SYST is answered with a 5000-byte line
  bad227     PASV replies carry no usable address
  pasv200    PASV is answered 200, with no address at all
  cwd200     a folder change is answered 200 rather than 250, as some servers do
"""
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

port, root, mode = int(sys.argv[1]), sys.argv[2], sys.argv[3]


class Handler(FTPHandler):
    def handle(self):
        if mode != "multiline":
            return super().handle()
        self.on_connect()
        self.push("220-Welcome to the test server\r\n")
        self.push("2024 is the year this line starts with\r\n")
        self.push(" indented continuation\r\n")
        self.respond("220 ready")

    def ftp_USER(self, line):
        if mode == "silent":
            return
        return super().ftp_USER(line)

    def ftp_SYST(self, line):
        if mode == "longreply":
            self.respond("215 " + "x" * 5000)
            return
        return super().ftp_SYST(line)

    def ftp_PASV(self, line):
        if mode == "bad227":
            self.respond("227 Entering Passive Mode (127,0,0,1,999,12).")
            return
        if mode == "pasv200":
            self.respond("200 Fine.")
            return
        return super().ftp_PASV(line)

    def ftp_CWD(self, path):
        if mode != "cwd200":
            return super().ftp_CWD(path)
        respond = self.respond
        self.respond = lambda resp, *rest: respond("200" + resp[3:] if resp.startswith("250") else resp, *rest)
        try:
            return super().ftp_CWD(path)
        finally:
            self.respond = respond

    def ftp_STOR(self, file, mode_="w"):
        result = super().ftp_STOR(file, mode_)
        if mode == "dropstor":
            self.close()
        return result


authorizer = DummyAuthorizer()
authorizer.add_user("tester", "secret", root, perm="elradfmwMT")
authorizer.add_anonymous(root, perm="elradfmwMT")
Handler.authorizer = authorizer
Handler.permit_foreign_addresses = False
if mode == "hostile227":
    Handler.masquerade_address = "10.255.255.1"
server = FTPServer(("127.0.0.1", port), Handler)
server.serve_forever(timeout=0.5)
