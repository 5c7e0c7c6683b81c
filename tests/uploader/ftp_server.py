#!/usr/bin/python3
# A pyftpdlib server on 127.0.0.1 for the uploader's tests: one user with full
# rights on a folder, the chosen port written to a file once it listens.
#   --quota N      the stored bytes of all files together may not exceed N
#   --die-after N  the server process ends while the N-th STOR is running
import argparse
import errno
import os
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import DTPHandler, FTPHandler
from pyftpdlib.log import logger
from pyftpdlib.servers import FTPServer

parser = argparse.ArgumentParser()
parser.add_argument("--root", required=True)
parser.add_argument("--port-file", required=True)
parser.add_argument("--user", default="anna")
parser.add_argument("--password", default="secret")
parser.add_argument("--quota", type=int, default=-1)
parser.add_argument("--die-after", type=int, default=-1)
args = parser.parse_args()

stored = {"bytes": 0, "stors": 0}


class QuotaFile:
    def __init__(self, f):
        self.f = f

    def write(self, data):
        if args.quota >= 0 and stored["bytes"] + len(data) > args.quota:
            raise OSError(errno.ENOSPC, os.strerror(errno.ENOSPC))
        stored["bytes"] += len(data)
        return self.f.write(data)

    def __getattr__(self, name):
        return getattr(self.f, name)


class QuotaFS(AbstractedFS):
    def open(self, filename, mode):
        f = super().open(filename, mode)
        return QuotaFile(f) if "w" in mode or "a" in mode else f


class DTP(DTPHandler):
    # The library's own answer loses the reason of a failed write.
    def handle_error(self):
        err = sys.exc_info()[1]
        inner = err.args[0] if err is not None and err.args else None
        if isinstance(inner, OSError) and inner.errno == errno.ENOSPC:
            self._resp = ("452 Insufficient storage space; transfer aborted.", logger.warning)
            self.close()
            return
        return super().handle_error()


class Handler(FTPHandler):
    abstracted_fs = QuotaFS
    dtp_handler = DTP

    def ftp_STOR(self, file, mode="w"):
        stored["stors"] += 1
        if stored["stors"] == args.die_after:
            os._exit(3)
        return super().ftp_STOR(file, mode)


authorizer = DummyAuthorizer()
authorizer.add_user(args.user, args.password, args.root, perm="elradfmwMT")
Handler.authorizer = authorizer
Handler.passive_ports = None
server = FTPServer(("127.0.0.1", 0), Handler)
port = server.socket.getsockname()[1]
with open(args.port_file + ".new", "w") as f:
    f.write(str(port))
os.rename(args.port_file + ".new", args.port_file)
sys.stdout.flush()
server.serve_forever(timeout=0.2)
