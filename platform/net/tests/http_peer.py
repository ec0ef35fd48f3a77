#!/usr/bin/env python3
"""A small HTTP server for the network tests: the faults a real server can show, on demand.

Prints its port on the first line of standard output, then serves until killed (or 120 s pass).
"""
import base64
import html
import http.server
import socket
import sys
import threading
import time
import urllib.parse

# Requests seen, by path and query: /hits?of=<path and query> answers the count.
hits = {}
hits_lock = threading.Lock()
# Blocks of the endless answers written, by path and query, and whether the answer has ended (all of it
# written, or the client gone): /sent?of=<path and query> answers "<blocks> <1 when ended>".
endless_written = {}


def note_sent(key, blocks, ended):
    with hits_lock:
        endless_written[key] = (blocks, ended)


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def send_body(self, code, body, ctype="text/html", extra=()):
        self.send_response(code)
        self.send_header("Content-Type", ctype)
        self.send_header("Content-Length", str(len(body)))
        for name, value in extra:
            self.send_header(name, value)
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def do_POST(self):
        length = int(self.headers.get("Content-Length", "0"))
        data = self.rfile.read(length)
        if getattr(self, "timed_out", False) or self.path.startswith("/redirect-then-408"):
            # Answered as a GET is: with a 408 on a connection timed out, with a redirect.
            return self.do_GET()
        with hits_lock:
            hits[self.path] = hits.get(self.path, 0) + 1
        self.served = getattr(self, "served", 0) + 1
        body = (self.headers.get("Content-Type", "") + "\n").encode() + data
        self.send_body(200, body, "text/plain")

    def do_GET(self):
        with hits_lock:
            hits[self.path] = hits.get(self.path, 0) + 1
        self.served = getattr(self, "served", 0) + 1
        if getattr(self, "timed_out", False):
            # The server gave up on this kept connection just as the request came.
            self.wfile.write(b"HTTP/1.1 408 Request Timeout\r\nConnection: close\r\nContent-Length: 0\r\n\r\n")
            self.close_connection = True
            return
        url = urllib.parse.urlsplit(self.path)
        q = urllib.parse.parse_qs(url.query)
        path = url.path
        if path == "/ok":
            n = int(q.get("n", ["1000"])[0])
            body = bytes((i * 7) % 251 for i in range(n))
            self.send_body(200, body, extra=[("Last-Modified", "Tue, 05 Mar 2024 10:20:30 GMT"),
                                              ("ETag", '"abc"'), ("Accept-Ranges", "bytes")]
                           + ([("Connection", "close")] if "close" in q else []))
        elif path == "/echo-request":
            lines = [self.requestline] + [f"{k}: {v}" for k, v in self.headers.items()]
            self.send_body(200, ("\n".join(lines) + "\n").encode(), "text/plain")
        elif path == "/chunked":
            self.send_response(200)
            self.send_header("Content-Type", "text/html")
            self.send_header("Transfer-Encoding", "chunked")
            self.end_headers()
            for part in (b"<html>", b"hello", b"</html>"):
                self.wfile.write(b"%x\r\n%s\r\n" % (len(part), part))
            self.wfile.write(b"0\r\n\r\n")
        elif path == "/short":
            self.send_response(200)
            self.send_header("Content-Type", "text/html")
            self.send_header("Content-Length", "100")
            self.end_headers()
            self.wfile.write(b"x" * 10)
            self.wfile.flush()
            self.close_connection = True
            self.connection.shutdown(socket.SHUT_RDWR)
        elif path == "/close-delimited-reset":
            self.send_response(200)
            self.send_header("Content-Type", "text/html")
            self.send_header("Transfer-Encoding", "chunked")
            self.end_headers()
            self.wfile.write(b"5\r\nhello\r\n")
            self.wfile.flush()
            self.close_connection = True
            self.connection.shutdown(socket.SHUT_RDWR)
        elif path == "/stall":
            self.send_response(200)
            self.send_header("Content-Type", "text/html")
            self.send_header("Content-Length", "100")
            self.end_headers()
            self.wfile.write(b"y" * 10)
            self.wfile.flush()
            time.sleep(float(q.get("s", ["30"])[0]))
            self.close_connection = True
        elif path == "/slow-headers":
            time.sleep(float(q.get("s", ["30"])[0]))
            self.send_body(200, b"late")
        elif path == "/redirect":
            n = int(q.get("n", ["1"])[0])
            target = "/ok?n=5" if n <= 1 else f"/redirect?n={n - 1}"
            self.send_body(302, b"moved", extra=[("Location", target)])
        elif path == "/dir":
            self.send_body(301, b"moved", extra=[("Location", "/dir/")])
        elif path == "/dir/":
            self.send_body(200, b"<a href='page.html'>p</a>")
        elif path == "/redirect-to":
            self.send_body(302, b"moved", extra=[("Location", q.get("u", ["/ok"])[0])])
        elif path == "/loop":
            self.send_body(302, b"again", extra=[("Location", "/loop")])
        elif path == "/to-ftp":
            self.send_body(302, b"elsewhere", extra=[("Location", "ftp://127.0.0.1/file")])
        elif path == "/status":
            code = int(q.get("code", ["404"])[0])
            self.send_body(code, b"status body")
        elif path == "/auth":
            expected = "Basic " + base64.b64encode(b"user:secret").decode()
            if self.headers.get("Authorization") == expected:
                self.send_body(200, b"welcome")
            else:
                self.send_body(401, b"denied", extra=[("WWW-Authenticate", 'Basic realm="Members only"')])
        elif path == "/garbage":
            self.wfile.write(b"this is not http\r\n\r\n")
            self.close_connection = True
        elif path == "/nothing":
            self.close_connection = True
        elif path == "/big":
            n = int(q.get("n", "0")[0]) if "n" in q else 0
            total = n
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Content-Length", str(total))
            self.end_headers()
            chunk = b"z" * 65536
            sent = 0
            try:
                while sent < total:
                    part = chunk[: min(len(chunk), total - sent)]
                    self.wfile.write(part)
                    sent += len(part)
            except (BrokenPipeError, ConnectionResetError):
                pass
        elif path in ("/endless", "/endless.html"):
            self.send_response(200)
            self.send_header("Content-Type", "text/html")
            self.end_headers()
            self.close_connection = True
            chunk = b"e" * 65536
            try:
                for _ in range(2000):
                    self.wfile.write(chunk)
            except (BrokenPipeError, ConnectionResetError):
                pass
        elif path in ("/huge-header", "/many-headers"):
            # One header line of 1 MiB, or 100,000 header lines: an answer too large to take.
            self.close_connection = True
            try:
                self.wfile.write(b"HTTP/1.1 200 OK\r\n")
                if path == "/huge-header":
                    self.wfile.write(b"X-Huge: " + b"h" * (1 << 20) + b"\r\n")
                else:
                    self.wfile.write(b"".join(b"X-Line-%d: v\r\n" % i for i in range(100000)))
                self.wfile.write(b"Content-Length: 2\r\n\r\nok")
            except (BrokenPipeError, ConnectionResetError):
                pass
        elif path == "/range":
            body = bytes(range(256)) * 4
            rng = self.headers.get("Range", "")
            if rng.lower().startswith("bytes="):
                start, _, end = rng[6:].partition("-")
                start = int(start)
                end = int(end) if end else len(body) - 1
                if start >= len(body):
                    self.send_body(416, b"", extra=[("Content-Range", f"bytes */{len(body)}")])
                    return
                part = body[start:end + 1]
                self.send_body(206, part, "application/octet-stream",
                               extra=[("Content-Range", f"bytes {start}-{end}/{len(body)}")])
            else:
                self.send_body(200, body, "application/octet-stream", extra=[("Accept-Ranges", "bytes")])
        elif path == "/dates":
            forms = {"1123": "Sun, 06 Nov 1994 08:49:37 GMT", "850": "Sunday, 06-Nov-94 08:49:37 GMT",
                     "asctime": "Sun Nov  6 08:49:37 1994", "zone": "Sun, 06 Nov 1994 09:49:37 +0100",
                     "garbage": "yesterday"}
            value = forms.get(q.get("form", ["1123"])[0], "0")
            self.send_body(200, b"dated", extra=[("Last-Modified", value), ("Date", value), ("Expires", "0"),
                                                 ("Content-Language", "de"), ("ETag", '"e1"')])
        elif path == "/odd-auth":
            value = q.get("v", ['Basic realm="'])[0]
            self.send_body(401, b"denied", extra=[("WWW-Authenticate", value)])
        elif path == "/slow-body":
            # A body that trickles: n chunks of 100 bytes, one every d seconds.
            n = int(q.get("n", ["100"])[0])
            d = float(q.get("d", ["0.2"])[0])
            self.send_response(200)
            self.send_header("Content-Type", "text/html")
            self.send_header("Content-Length", str(100 * n))
            self.end_headers()
            try:
                for _ in range(n):
                    self.wfile.write(b"s" * 100)
                    self.wfile.flush()
                    time.sleep(d)
            except (BrokenPipeError, ConnectionResetError):
                pass
        elif path in ("/drip", "/drip.html"):
            # Drips its answer: b bytes every d seconds, n bytes of body in all; with part=headers the
            # header lines come that way too, so the body never even starts.
            n = int(q.get("n", ["100000"])[0])
            b = int(q.get("b", ["1"])[0])
            d = float(q.get("d", ["1"])[0])
            head = ("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: %d\r\n\r\n" % n).encode()
            body = (b"<html><body>" + b"d" * n)[:n]
            dripped = body
            self.close_connection = True
            try:
                if q.get("part", ["body"])[0] == "headers":
                    dripped = head + body
                else:
                    self.wfile.write(head)
                for at in range(0, len(dripped), b):
                    self.wfile.write(dripped[at:at + b])
                    self.wfile.flush()
                    time.sleep(d)
            except (BrokenPipeError, ConnectionResetError):
                pass
        elif path in ("/links", "/links.html"):
            # A page that links to each "to" address, for crawls of this server.
            hrefs = q.get("to", [])
            body = "<html><head><title>Links</title></head><body>\n"
            body += "".join('<a href="%s">link</a>\n' % html.escape(h) for h in hrefs)
            self.send_body(200, (body + "</body></html>\n").encode())
        elif path.startswith("/titled/"):
            # A page whose title is its name: /titled/Some-name.html is "Some name".
            title = html.escape(path[len("/titled/"):].rsplit(".", 1)[0].replace("-", " "))
            self.send_body(200, b"<html><head><title>%s</title></head><body></body></html>" % title.encode())
        elif path.startswith("/trap/"):
            # A crawl trap: page n of /trap/k/ links to k pages that no other page links to.
            try:
                k, n = int(path.split("/")[2]), int(path.split("/")[3].split(".")[0])
            except (IndexError, ValueError):
                return self.send_body(404, b"not found")
            body = "<html><head><title>Trap %d</title></head><body>\n" % n
            body += "".join('<a href="/trap/%d/%d.html">p</a>\n' % (k, n * k + i) for i in range(1, k + 1))
            body = (body + "</body></html>\n").encode()
            # In one write: a header sent apart from its body waits for the peer's delayed acknowledgement.
            self.wfile.write(b"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: %d\r\n\r\n%s"
                             % (len(body), body))
        elif path == "/ok-then-drop":
            # Kept alive by its headers, then dropped a moment later: the next request sent on it meets
            # the close instead of an answer.
            self.send_body(200, b"dropped")
            self.wfile.flush()
            time.sleep(0.1)
            self.close_connection = True
        elif path in ("/then-408", "/then-408.html"):
            # Kept alive by its headers; the next request on this connection is answered with a 408.
            self.send_body(200, b"<html><head><title>Before the timeout</title></head><body></body></html>")
            self.timed_out = True
        elif path in ("/redirect-then-408", "/redirect-then-408.html"):
            # A redirect kept alive; on a connection that had answered before (or on any with always),
            # the followed request is answered with a 408.
            self.send_body(302, b"moved", extra=[("Location", q.get("to", ["/ok?n=5"])[0])])
            self.timed_out = self.served > 1 or "always" in q
        elif path in ("/idle-408", "/idle-408.html"):
            # Kept alive by its headers; a moment later the server times the idle connection out with a
            # 408 nobody asked for, and closes it.
            self.send_body(200, b"<html><head><title>Idle</title></head><body></body></html>")
            self.wfile.flush()
            time.sleep(float(q.get("s", ["0.1"])[0]))
            self.wfile.write(b"HTTP/1.1 408 Request Timeout\r\nConnection: close\r\nContent-Length: 0\r\n\r\n")
            self.close_connection = True
        elif path == "/sent":
            with hits_lock:
                blocks, ended = endless_written.get(q.get("of", [""])[0], (0, False))
            self.send_body(200, b"%d %d" % (blocks, ended), "text/plain")
        elif path == "/hits":
            with hits_lock:
                count = hits.get(q.get("of", [""])[0], 0)
            self.send_body(200, str(count).encode(), "text/plain")
        elif path in ("/endless-interim", "/endless-interim.html"):
            # Interim answers of 200 KB each, one after another, for up to n of them before the answer.
            self.close_connection = True
            block = b"HTTP/1.1 102 Processing\r\n" + b"".join(
                b"X-Pad-%d: %s\r\n" % (i, b"p" * 90) for i in range(2000)) + b"\r\n"
            blocks = 0
            try:
                for _ in range(int(q.get("n", ["500"])[0])):
                    self.wfile.write(block)
                    blocks += 1
                    note_sent(self.path, blocks, False)
                self.wfile.write(b"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 2\r\n\r\nok")
            except (BrokenPipeError, ConnectionResetError):
                pass
            finally:
                note_sent(self.path, blocks, True)
        elif path in ("/endless-trailers", "/endless-trailers.html"):
            # A short chunked body, then trailer lines of 100 bytes for up to n MB before their end.
            self.close_connection = True
            head = b"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nTransfer-Encoding: chunked\r\n\r\n"
            lines = b"".join(b"X-Trailer-%05d: %s\r\n" % (i, b"t" * 80) for i in range(10000))
            blocks = 0
            try:
                self.wfile.write(head + b"5\r\nhello\r\n0\r\n")
                for _ in range(int(q.get("n", ["100"])[0])):
                    self.wfile.write(lines)
                    blocks += 1
                    note_sent(self.path, blocks, False)
                self.wfile.write(b"\r\n")
            except (BrokenPipeError, ConnectionResetError):
                pass
            finally:
                note_sent(self.path, blocks, True)
        elif path in ("/two-lengths", "/two-lengths.html"):
            # Two different lengths: the first would cut the page short, the second is what is sent.
            body = b"<html><head><title>Two lengths</title></head><body>" + b"x" * 100 + b"</body></html>"
            self.close_connection = True
            self.wfile.write(b"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 20\r\n"
                             b"Content-Length: %d\r\n\r\n%s" % (len(body), body))
        elif path in ("/listed-lengths", "/listed-lengths.html"):
            # One field that lists two lengths: the first would cut the page short.
            body = b"<html><head><title>Listed lengths</title></head><body>" + b"x" * 100 + b"</body></html>"
            self.close_connection = True
            self.wfile.write(b"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 20, %d\r\n\r\n%s"
                             % (len(body), body))
        elif path in ("/folded", "/folded.html"):
            # The first header line continues a line that is not there.
            self.wfile.write(b"HTTP/1.1 200 OK\r\n X-Folded: a\r\nContent-Length: 2\r\n\r\nok")
        elif path == "/peer-port":
            # The client's port: the same for requests that came on one kept connection.
            self.send_body(200, str(self.client_address[1]).encode(), "text/plain")
        elif path == "/set-cookie":
            self.send_body(200, b"set", extra=[("Set-Cookie", "session=42; Path=/")])
        elif path == "/get-cookie":
            self.send_body(200, (self.headers.get("Cookie") or "none").encode(), "text/plain")
        else:
            self.send_body(404, b"not found")


def main():
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    print(server.server_address[1], flush=True)
    threading.Timer(120, server.shutdown).start()
    server.serve_forever()


if __name__ == "__main__":
    main()
