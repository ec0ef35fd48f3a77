"""A scripted SOCKS proxy for the socket tests: python3 socks_peer.py PORT MODE.

It plays both the proxy and the destination: after a successful handshake it sends the line
"REQ <hex of the connect request>" and then echoes what it receives, so a test can check the bytes
its request carried. MODE chooses the replies:
  ok        SOCKS 4, 4A or 5 (no authentication, or user "alice" password "wonder") answered whole
  split     SOCKS 5 replies sent one byte at a time, the connect reply naming a 200-byte host
  longname  SOCKS 5 connect reply naming a 255-byte host, with the REQ line in the same packet
  badver    SOCKS 5 method reply with version 4
  hangup    closes the connection after reading the method request
  refuse    SOCKS 5 connect request answered "connection refused" (reply code 5)
  onlyfirst a real SOCKS 5 proxy for the first connect request (to the destination it names), and
            "connection refused" for every later one: an FTP session whose data connection is refused
"""
import socket
import sys
import threading
import time

connects = 0
connects_lock = threading.Lock()


def read_exact(conn, n):
    data = b""
    while len(data) < n:
        chunk = conn.recv(n - len(data))
        if not chunk:
            raise EOFError
        data += chunk
    return data


def read_until_nul(conn):
    data = b""
    while True:
        b = read_exact(conn, 1)
        if b == b"\0":
            return data
        data += b


def send(conn, data, split):
    if not split:
        conn.sendall(data)
        return
    for i in range(len(data)):
        conn.sendall(data[i:i + 1])
        time.sleep(0.002)


def socks5(conn, first, mode):
    split = mode == "split"
    count = read_exact(conn, 1)[0]
    methods = read_exact(conn, count)
    if mode == "hangup":
        return None
    if mode == "badver":
        conn.sendall(b"\x04\x00")
        return None
    method = 2 if 2 in methods else 0
    send(conn, bytes([5, method]), split)
    if method == 2:
        read_exact(conn, 1)
        user = read_exact(conn, read_exact(conn, 1)[0])
        password = read_exact(conn, read_exact(conn, 1)[0])
        ok = user == b"alice" and password == b"wonder"
        send(conn, b"\x01" + (b"\x00" if ok else b"\x01"), split)
        if not ok:
            return None
    head = read_exact(conn, 4)
    if head[3] == 3:
        name = read_exact(conn, read_exact(conn, 1)[0])
        request = head + bytes([len(name)]) + name + read_exact(conn, 2)
    else:
        request = head + read_exact(conn, 4) + read_exact(conn, 2)
    if mode == "onlyfirst":
        global connects
        with connects_lock:
            connects += 1
            first_connect = connects == 1
        if first_connect:
            return relay(conn, request)
    if mode in ("refuse", "onlyfirst"):
        conn.sendall(b"\x05\x05\x00\x01\x00\x00\x00\x00\x00\x00")
        return None
    line = b"REQ " + request.hex().encode() + b"\r\n"
    if mode in ("split", "longname"):
        name = b"h" * (200 if split else 255)
        reply = b"\x05\x00\x00\x03" + bytes([len(name)]) + name + b"\x00\x15"
        if split:
            send(conn, reply, True)
            conn.sendall(line)
        else:
            conn.sendall(reply + line)
    else:
        conn.sendall(b"\x05\x00\x00\x01\x7f\x00\x00\x01\x00\x15" + line)
    return True


def relay(conn, request):
    host = request[5:5 + request[4]].decode() if request[3] == 3 else socket.inet_ntoa(request[4:8])
    port = int.from_bytes(request[-2:], "big")
    target = socket.create_connection((host, port))
    conn.sendall(b"\x05\x00\x00\x01\x7f\x00\x00\x01\x00\x15")

    def back():
        try:
            while True:
                data = target.recv(65536)
                if not data:
                    break
                conn.sendall(data)
        except OSError:
            pass
        finally:
            conn.close()

    threading.Thread(target=back, daemon=True).start()
    try:
        while True:
            data = conn.recv(65536)
            if not data:
                break
            target.sendall(data)
    except OSError:
        pass
    finally:
        target.close()
    return None


def socks4(conn):
    rest = read_exact(conn, 7)
    user = read_until_nul(conn)
    request = b"\x04" + rest + user + b"\0"
    if rest[3:7] == b"\0\0\0\x01":
        request += read_until_nul(conn) + b"\0"
    conn.sendall(b"\x00\x5a\x00\x00\x00\x00\x00\x00")
    conn.sendall(b"REQ " + request.hex().encode() + b"\r\n")
    return True


def serve(conn, mode):
    try:
        first = read_exact(conn, 1)
        done = socks4(conn) if first == b"\x04" else socks5(conn, first, mode)
        if not done:
            return
        while True:
            data = conn.recv(65536)
            if not data:
                return
            conn.sendall(data)
    except (EOFError, OSError):
        pass
    finally:
        conn.close()


def main():
    port, mode = int(sys.argv[1]), sys.argv[2]
    listener = socket.socket()
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", port))
    listener.listen(16)
    while True:
        conn, _ = listener.accept()
        threading.Thread(target=serve, args=(conn, mode), daemon=True).start()


main()
