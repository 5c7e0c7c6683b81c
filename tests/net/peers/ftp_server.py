#!/usr/bin/python3
"""An FTP server on 127.0.0.1 for the FTP client tests and benchmark.

Usage: ftp_server.py ROOT USER PASSWORD [RATE]
Serves ROOT to USER (full rights) on a free port and prints the port on the
first line. RATE (bytes per second, 0 = none) throttles every data
connection. Ends when stdin closes, on SIGTERM, or after 300 s.
"""
import logging
import os
import signal
import socket
import sys
import threading
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer

root, user, password = sys.argv[1], sys.argv[2], sys.argv[3]
rate = int(sys.argv[4]) if len(sys.argv) > 4 else 0

logging.basicConfig(level=logging.CRITICAL)

authorizer = DummyAuthorizer()
authorizer.add_user(user, password, root, perm="elradfmwMT")


class Handler(FTPHandler):
    pass


Handler.authorizer = authorizer
Handler.banner = "test server ready"
Handler.timeout = 60
Handler.auth_failed_timeout = 0.1


class Steady(ThrottledDTPHandler):
    """Throttled in short pauses (a quarter second at most), not in the
    one-second bursts of the library's own throttle."""
    read_limit = rate
    write_limit = rate

    def __init__(self, sock, cmd_channel):
        # A server at the end of a slow line holds a quarter second of data
        # unread: loopback's buffers of megabytes would have its kernel take
        # the client's bytes in gulps seconds apart, however steady the pace.
        sock.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, max(rate // 4, 4096))
        super().__init__(sock, cmd_channel)

    def _throttle_bandwidth(self, len_chunk, max_speed):
        now = time.monotonic()
        if not hasattr(self, "steady_start"):
            self.steady_start, self.steady_bytes = now, 0
        self.steady_bytes += len_chunk
        pause = self.steady_start + self.steady_bytes / max_speed - now
        if pause > 0.01:
            def wake():
                self.add_channel(events=self.ioloop.READ if self.receive else self.ioloop.WRITE)
            self.del_channel()
            self._cancel_throttler()
            self._throttler = self.ioloop.call_later(pause, wake, _errback=self.handle_error)


if rate > 0:
    Handler.dtp_handler = Steady

server = FTPServer(("127.0.0.1", 0), Handler)
server.max_cons = 64
print(server.socket.getsockname()[1], flush=True)


def watch_stdin():
    sys.stdin.read()
    os.kill(os.getpid(), signal.SIGTERM)


threading.Thread(target=watch_stdin, daemon=True).start()
threading.Timer(300, lambda: os.kill(os.getpid(), signal.SIGTERM)).start()
signal.signal(signal.SIGTERM, lambda *_: os._exit(0))
server.serve_forever(timeout=0.2)
