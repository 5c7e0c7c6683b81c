#!/usr/bin/python3
"""A plain TCP peer on 127.0.0.1 for the socket tests.

Modes: echo (sends back what it reads), sink (reads and counts; "count" on
stdin asks for the total so far), send N (sends N pattern bytes, then closes).
Prints its port on the first line; ends when stdin closes or after 60 s.
"""
import os
import socket
import sys
import threading

mode = sys.argv[1]
total = 0
lock = threading.Lock()


def pattern(n):
    return bytes((i * 7 + 3) % 251 for i in range(n))


def serve(conn):
    global total
    with conn:
        if mode == "echo":
            while True:
                data = conn.recv(65536)
                if not data:
                    return
                conn.sendall(data)
        elif mode == "sink":
            while True:
                data = conn.recv(1 << 20)
                if not data:
                    return
                with lock:
                    total += len(data)
        elif mode == "send":
            conn.sendall(pattern(int(sys.argv[2])))


listener = socket.socket()
listener.bind(("127.0.0.1", 0))
listener.listen(16)
print(listener.getsockname()[1], flush=True)


def accept_loop():
    while True:
        conn, _ = listener.accept()
        threading.Thread(target=serve, args=(conn,), daemon=True).start()


threading.Thread(target=accept_loop, daemon=True).start()
timer = threading.Timer(60, lambda: os._exit(0))
timer.daemon = True
timer.start()
for line in sys.stdin:
    if line.strip() == "count":
        with lock:
            print(total, flush=True)
