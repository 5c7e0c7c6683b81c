#!/usr/bin/python3
"""An HTTP server on 127.0.0.1 for the HTTP client tests, with the replies
python's own file server does not give: Basic authorisation, relocations
(absolute with a port, a loop, to https), an empty body, a body with NUL
bytes, replies without a length, HTTP/1.1 replies, and a path that is
accepted and never answered. Prints its port on the first line; ends when
stdin closes or after 60 s.
"""
import base64
import http.server
import sys
import threading
import time

BINARY = bytes(range(256)) * 40 + b"\0\0end"


class Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def reply(self, code, body=b"", headers=(), length=True):
        self.send_response(code)
        for name, value in headers:
            self.send_header(name, value)
        if length:
            self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        try:
            self.wfile.write(body)
        except OSError:
            pass  # the client may close after the header

    def do_GET(self):
        port = self.server.server_address[1]
        path = self.path
        if path == "/auth":
            expected = "Basic " + base64.b64encode(b"gallery:s3cret").decode()
            if self.headers.get("Authorization") != expected:
                self.reply(401, b"who are you?", [("WWW-Authenticate", 'Basic realm="test"')])
            else:
                self.reply(200, b"welcome")
        elif path == "/absolute":
            self.reply(302, b"", [("Location", "http://127.0.0.1:%d/target" % port)])
        elif path == "/target":
            self.reply(200, b"target reached")
        elif path == "/loop":
            self.reply(302, b"", [("Location", "/loop")])
        elif path == "/tls":
            self.reply(301, b"", [("Location", "https://127.0.0.1:%d/" % port)])
        elif path == "/zero":
            self.reply(200, b"")
        elif path == "/binary":
            self.reply(200, BINARY, [("Content-Type", "application/octet-stream")])
        elif path == "/nolength":
            self.reply(200, b"no length given", length=False)
        elif path == "/silent":
            time.sleep(30)
        else:
            self.reply(404, b"<html>nothing here</html>", [("Content-Type", "text/html")])


class Http11Handler(Handler):
    protocol_version = "HTTP/1.1"


def main():
    handler = Http11Handler if "--http11" in sys.argv else Handler
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    server.daemon_threads = True
    server.handle_error = lambda request, address: None
    print(server.server_address[1], flush=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    reader = threading.Thread(target=sys.stdin.read, daemon=True)
    reader.start()
    reader.join(60)


main()
