#!/usr/bin/env python3
"""An HTTP proxy that lets nothing through, for the network tests. Every request it reads (a CONNECT for
a tunnel, or a plain one) is answered as the first argument says:

  403      "403 Forbidden"
  407      "407 Proxy Authentication Required", asking for basic credentials
  garbage  a line that is not HTTP
  close    nothing: the connection is closed once the request is read

Prints its port on the first line of standard output, then serves until killed (or 120 s pass).
"""
import socketserver
import sys
import threading

ANSWERS = {
    "403": b"HTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\n\r\n",
    "407": b"HTTP/1.1 407 Proxy Authentication Required\r\n"
           b"Proxy-Authenticate: Basic realm=\"proxy\"\r\nContent-Length: 0\r\n\r\n",
    "garbage": b"SSH-2.0-NotAProxy\r\n\r\n",
    "close": b"",
}


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        self.request.settimeout(30)
        data = b""
        try:
            while b"\r\n\r\n" not in data and len(data) < 65536:
                chunk = self.request.recv(4096)
                if not chunk:
                    return
                data += chunk
            self.request.sendall(ANSWERS[sys.argv[1]])
        except OSError:
            pass


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True


def main():
    if len(sys.argv) != 2 or sys.argv[1] not in ANSWERS:
        sys.exit("usage: refusing_proxy.py 403|407|garbage|close")
    server = Server(("127.0.0.1", 0), Handler)
    print(server.server_address[1], flush=True)
    threading.Timer(120, server.shutdown).start()
    server.serve_forever()


if __name__ == "__main__":
    main()
