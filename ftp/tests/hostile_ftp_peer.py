"""An FTP server that never finishes a reply: python3 hostile_ftp_peer.py PORT MODE [INTERVAL].

Every connection gets its own thread; MODE says how its replies go wrong (INTERVAL, in seconds,
paces the slow ones):
  flood         a multi-line greeting of short "220-" lines, as fast as the client takes them
  floodlong     the same with 3000-byte lines
  slow          one "220-" line every INTERVAL, for ever
  dripgreeting  a greeting sent one byte every INTERVAL
  dripreply     a prompt greeting; USER is answered one byte every INTERVAL
It stops by itself after ten minutes.
"""
import socket
import sys
import threading
import time

GREETING = b"220 A greeting that comes one byte at a time, far too slowly.\r\n"
PROMPT = b"331 A password is due, but this line is in no hurry to say so.\r\n"


def drip(conn, data, interval):
    for i in range(len(data)):
        conn.sendall(data[i:i + 1])
        time.sleep(interval)


def serve(conn, mode, interval):
    try:
        if mode in ("flood", "floodlong"):
            line = b"220-" + (b"f" * (3000 if mode == "floodlong" else 40)) + b"\r\n"
            block = line * max(1, 65536 // len(line))
            while True:
                conn.sendall(block)
        elif mode == "slow":
            n = 0
            while True:
                conn.sendall(b"220-still greeting, line %d\r\n" % n)
                n += 1
                time.sleep(interval)
        elif mode == "dripgreeting":
            drip(conn, GREETING, interval)
        elif mode == "dripreply":
            conn.sendall(b"220 ready\r\n")
            data = b""
            while b"\n" not in data:
                chunk = conn.recv(1024)
                if not chunk:
                    return
                data += chunk
            drip(conn, PROMPT, interval)
        # Whatever was sent, the connection stays open until the client goes.
        while conn.recv(1024):
            pass
    except OSError:
        pass
    finally:
        conn.close()


def main():
    port, mode = int(sys.argv[1]), sys.argv[2]
    interval = float(sys.argv[3]) if len(sys.argv) > 3 else 1.0
    listener = socket.socket()
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", port))
    listener.listen(16)
    threading.Timer(600, lambda: __import__("os")._exit(0)).start()
    while True:
        conn, _ = listener.accept()
        threading.Thread(target=serve, args=(conn, mode, interval), daemon=True).start()


main()
